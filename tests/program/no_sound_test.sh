#!/usr/bin/env bash
# The real program on a machine with no sound server: it runs, and says so
# once in plain words on standard error instead of the toolkit's library
# message.
# Arguments: the program and a folder for the files.
set -euo pipefail
program=$1
out=$2
home="$out/no-sound-home"
rm -rf "$home"
mkdir -p "$home/config" "$home/data" "$home/runtime"
chmod 700 "$home/runtime"
export XDG_RUNTIME_DIR="$home/runtime" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data"
export QT_QPA_PLATFORM=offscreen PULSE_SERVER=unix:/nonexistent-sound-server PIPEWIRE_REMOTE=/nonexistent
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
"$program" > "$home/stdout.log" 2> "$home/stderr.log" &
pid=$!
trap 'kill -9 $pid 2> /dev/null || true' EXIT
# The greeting is played at start-up; the sign-in then waits for the child.
for _ in $(seq 150); do
  grep -q "no audio server is running" "$home/stderr.log" && break
  kill -0 "$pid" 2> /dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2> /dev/null || { cat "$home/stderr.log"; echo "no sound: the program ended"; exit 1; }
grep -q "no audio server is running" "$home/stderr.log" || { cat "$home/stderr.log"; echo "no sound: not said"; exit 1; }
[ "$(grep -c "no audio server" "$home/stderr.log")" = 1 ] || { cat "$home/stderr.log"; echo "no sound: said more than once"; exit 1; }
if grep -q "pa_context_connect" "$home/stderr.log"; then
  cat "$home/stderr.log"
  echo "no sound: the toolkit's library message is still shown"
  exit 1
fi
echo "no sound: said plainly"
