#!/usr/bin/env bash
# The real program at rest: `dizado -Automation` under Xvfb shows a model of
# 2,000 bricks made over the session bus, the last one selected and its
# outline blinking, and nothing else happens. Over the window, the program's
# CPU time (every thread, from /proc/PID/task/*/schedstat) as a share of one
# core, and the main thread's wake-ups (voluntary context switches in
# /proc/PID/status) a second. Goals: 0.3 % or less, 10 or fewer a second.
# Arguments: the build folder and the seconds to watch (default 30).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tests/screen/x_session.sh"
build=$(cd "$1" && pwd)
seconds=${2:-30}
bricks=${BRICKS:-2000}

work=$(mktemp -d)
xvfb_pid=""
bus_pid=""
program_pid=""
client_pid=""
cleanup() {
  for pid in "$client_pid" "$program_pid" "$bus_pid" "$xvfb_pid"; do
    [ -n "$pid" ] && kill "$pid" 2> /dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT
start_xvfb 1024x768 "$work/xvfb.log" "idle bench"
mkdir -p "$work/config" "$work/data" "$work/runtime"
chmod 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" QT_QPA_PLATFORM=xcb
read -r address bus_pid < <(dbus-daemon --session --fork --print-address=1 --print-pid=1 | paste -s -d ' ')
export DBUS_SESSION_BUS_ADDRESS=$address
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

"$build/program/dizado" -Automation > "$work/program.log" 2>&1 &
program_pid=$!
"$build/benchmarks/dizado_bus_client" show "$bricks" $((seconds + 60)) > "$work/client.log" 2>&1 &
client_pid=$!
for _ in $(seq 600); do
  grep -q shown "$work/client.log" && break
  kill -0 "$client_pid" 2> /dev/null || { echo "idle bench: the client ended"; cat "$work/client.log" "$work/program.log"; exit 1; }
  sleep 0.1
done
grep -q shown "$work/client.log" || { echo "idle bench: the model was not shown"; exit 1; }
# Let the first paint and the toolkit's start settle.
sleep 2
[ -z "${IDLE_SHOT:-}" ] || xwd -root -silent | xwdtopnm 2> /dev/null | pnmtopng > "$IDLE_SHOT"

cpu_ns() { cat /proc/"$program_pid"/task/*/schedstat | awk '{s += $1} END {print s}'; }
wakes() { awk '/^voluntary_ctxt_switches/ {print $2}' /proc/"$program_pid"/status; }
start_ns=$(date +%s%N)
start_cpu=$(cpu_ns)
start_wakes=$(wakes)
sleep "$seconds"
end_ns=$(date +%s%N)
end_cpu=$(cpu_ns)
end_wakes=$(wakes)
kill -0 "$program_pid" 2> /dev/null || { echo "idle bench: the program ended"; cat "$work/program.log"; exit 1; }
awk -v c=$((end_cpu - start_cpu)) -v w=$((end_wakes - start_wakes)) -v t=$((end_ns - start_ns)) -v n="$bricks" 'BEGIN {
  printf "idle, dizado with %d bricks and a blinking selection under Xvfb, %.1f s:\n", n, t / 1e9
  printf "  CPU %.3f %% of a core (goal: 0.3 or less)\n", 100 * c / t
  printf "  main thread wake-ups %.1f a second (goal: 10 or fewer; one blink flip a tick is about 9.9)\n", w / (t / 1e9)
}'
