# Sourced by the bus tests: a home of the test's own under OUT (emptied
# first) with its settings, data and runtime folders, and the toolkit
# platform the program runs on. A runtime folder of its own keeps the
# single-instance lock apart from tests run side by side.
private_home() {
  local out=$1 platform=$2
  rm -rf "$out" && mkdir -p "$out/home"
  export HOME="$out/home" XDG_CONFIG_HOME="$out/home/.config" XDG_DATA_HOME="$out/home/.local/share"
  export XDG_RUNTIME_DIR="$out/runtime"
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  export QT_QPA_PLATFORM=$platform
}
