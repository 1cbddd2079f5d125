#!/usr/bin/env bash
# Start-up of the real program from outside: the milliseconds from exec to
# the mapped sign-in window with 20 kits, beside a bare Qt Widgets program
# that shows one window, both started and watched the same way under Xvfb
# on one session bus, alternated. Prints both medians and their ratio
# (goal: 1.6 or less).
# Arguments: the build folder (with program/dizado and the benchmarks'
# helpers) and the number of runs of each (default 10). KITS in the
# environment changes the number of kits (to see what they cost).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tests/screen/x_session.sh"
build=$(cd "$1" && pwd)
runs=${2:-10}
timer="$build/benchmarks/dizado_map_timer"
bare="$build/benchmarks/dizado_bare_window"

work=$(mktemp -d)
xvfb_pid=""
bus_pid=""
cleanup() {
  [ -n "$bus_pid" ] && kill "$bus_pid" 2> /dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2> /dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
start_xvfb 1024x768 "$work/xvfb.log" "startup bench"

kits=${KITS:-20}
# A program folder of its own: the program with copies of the shipped kit.
mkdir -p "$work/program/kits" "$work/config" "$work/data" "$work/runtime"
chmod 700 "$work/runtime"
cp "$build/program/dizado" "$work/program/"
[ -d "$build/program/backgrnd" ] && cp -r "$build/program/backgrnd" "$work/program/"
for i in $(seq "$kits"); do cp "$build/program/kits/basic.bkt" "$work/program/kits/kit$i.bkt"; done
export XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" QT_QPA_PLATFORM=xcb
# A desktop has a session bus; both programs find the same one.
read -r address bus_pid < <(dbus-daemon --session --fork --print-address=1 --print-pid=1 | paste -s -d ' ')
export DBUS_SESSION_BUS_ADDRESS=$address
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

# The sign-in is a 422 by 404 window; the bare program shows one as large.
bare_times=()
program_times=()
for _ in $(seq "$runs"); do
  bare_times+=("$("$timer" 422x404 30 "$bare")")
  program_times+=("$("$timer" 422x404 30 "$work/program/dizado")")
done
median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
bare_median=$(median "${bare_times[@]}")
program_median=$(median "${program_times[@]}")
echo "start-up, exec to mapped window under Xvfb, median of $runs alternated runs:"
echo "  bare Qt Widgets window (reference)   ${bare_median} ms   (runs: ${bare_times[*]})"
echo "  dizado to the sign-in, $kits kits       ${program_median} ms   (runs: ${program_times[*]})"
awk -v p="$program_median" -v b="$bare_median" 'BEGIN {printf "  ratio %.2f (goal: 1.6 or less)\n", p / b}'
