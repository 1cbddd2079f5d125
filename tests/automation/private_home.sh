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

# Waits up to 10 s for the program (PID, its output in LOG) to answer on the
# session bus; the test ends, with the log, when it ends first or never
# answers.
wait_for_bus() {
  local pid=$1 log=$2
  for _ in $(seq 100); do
    gdbus introspect --session --dest dizado.DodezAR --object-path /DodezAR > /dev/null 2>&1 && return 0
    kill -0 "$pid" 2> /dev/null || { echo "the program ended:"; cat "$log"; exit 1; }
    sleep 0.1
  done
  echo "the program does not answer on the bus:"
  cat "$log"
  exit 1
}
