#!/usr/bin/env bash
# Speed over the session bus, in the real program: a client process calls a
# fresh `dizado -Automation` (a private bus of dbus-run-session) for each
# figure. 10,000 "MakeBrick" one at a time beside 10,000 round trips of
# org.freedesktop.DBus.Peer.Ping to the program (the bus's own floor; goal:
# 1.5x or less), and 20,000 pipelined beside 10,000 pipelined (linear: goal
# 2.5x or less).
# Arguments: the build folder and the count (default 10000).
set -euo pipefail
build=$(cd "$1" && pwd)
count=${2:-10000}
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ] || [ -z "${BUS_BENCH_SESSION:-}" ]; then
  BUS_BENCH_SESSION=1 exec dbus-run-session -- "$0" "$@"
fi
work=$(mktemp -d)
program_pid=""
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2> /dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/config" "$work/data" "$work/runtime"
chmod 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
export QT_QPA_PLATFORM=offscreen ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

# Seconds for one figure, against a program of its own.
figure() {
  "$build/program/dizado" -Automation > "$work/program.log" 2>&1 &
  program_pid=$!
  local seconds
  seconds=$("$build/benchmarks/dizado_bus_client" "$1" "$2") || { cat "$work/program.log"; exit 1; }
  kill "$program_pid" 2> /dev/null || true
  wait "$program_pid" 2> /dev/null || true
  program_pid=""
  echo "$seconds"
}
ping=$(figure ping "$count")
make=$(figure make "$count")
pipelined=$(figure pipelined "$count")
pipelined2=$(figure pipelined $((count * 2)))
awk -v n="$count" -v p="$ping" -v m="$make" -v a="$pipelined" -v b="$pipelined2" 'BEGIN {
  printf "bus, a client of dizado -Automation on a private session bus:\n"
  printf "  %d Peer.Ping round trips (floor)      %.3f s\n", n, p
  printf "  %d MakeBrick one at a time           %.3f s   ratio to the floor %.2f (goal: 1.5 or less)\n", n, m, m / p
  printf "  %d MakeBrick pipelined               %.3f s\n", n, a
  printf "  %d MakeBrick pipelined               %.3f s   ratio to %d %.2f (goal: 2.5 or less)\n", 2 * n, b, n, b / a
}'
