#!/usr/bin/env bash
# With the program's window on a screen, a call's message box stays until it
# is answered, and the calls sent meanwhile wait: thousands of "TestFunc" sent
# without waiting show one box at a time, in order, and never end the program.
# Run inside dbus-run-session. Arguments: the program, the pipelining client,
# a folder for the run.
set -euo pipefail
program=$1
client=$2
out=$3
here=$(cd "$(dirname "$0")" && pwd)
source "$(dirname "$0")/private_home.sh"
private_home "$out" xcb
source "$here/../screen/x_session.sh"
start_xvfb 1024x768 "$out/xvfb.log" boxes
pids=()
# The program before its X server: one that loses its display ends badly.
cleanup() {
  kill "${pids[@]}" 2> /dev/null || true
  wait "${pids[@]}" 2> /dev/null || true
  kill "$xvfb_pid" 2> /dev/null || true
}
trap cleanup EXIT

name=dizado.DodezAR
"$program" -Automation > "$out/program.log" 2>&1 &
pid=$!
pids+=($pid)
gdbus wait --session --timeout 20 $name || { echo "the program took no bus name:"; cat "$out/program.log"; exit 1; }
call() { gdbus call --session --timeout 10 --dest $name --object-path "$1" --method "dizado.Automation.$2" "${@:3}"; }
call /DodezAR NewDoc > /dev/null
call /DodezAR ShowWindow true > /dev/null
wait_for_drawing

boxes() { xdotool search --onlyvisible --name '^dizado$' 2> /dev/null || true; }
count=3300
"$client" $count 120 > "$out/answers.log" 2>&1 &
client_pid=$!
pids+=($client_pid)
for _ in $(seq 100); do [ -n "$(boxes)" ] && break; sleep 0.2; done
# Time for every call to arrive; before they waited, each opened a box inside
# the last one until the stack ran out.
sleep 3
kill -0 $pid 2> /dev/null || { echo "the program ended:"; tail "$out/program.log"; exit 1; }
shown=$(boxes | wc -l)
[ "$shown" -eq 1 ] || { echo "$shown boxes on the screen, not one"; exit 1; }
[ ! -s "$out/answers.log" ] || { echo "answered before the box was:"; head "$out/answers.log"; exit 1; }

# Each box answered lets the next call in, in the order they were sent.
for turn in 1 2 3; do
  box=$(boxes)
  [ -n "$box" ] || { echo "no box for call $turn"; exit 1; }
  timeout 5 xdotool windowfocus --sync "$box" 2> /dev/null || true
  xdotool key Return
  for _ in $(seq 50); do [ "$(wc -l < "$out/answers.log")" -ge $turn ] && break; sleep 0.2; done
  [ "$(sed -n "${turn}p" "$out/answers.log")" = "$turn ok" ] || { echo "answer $turn:"; cat "$out/answers.log"; exit 1; }
  for _ in $(seq 50); do [ -n "$(boxes)" ] && break; sleep 0.2; done
done
[ "$(wc -l < "$out/answers.log")" -eq 3 ] || { echo "more answers than boxes closed:"; cat "$out/answers.log"; exit 1; }
kill -0 $pid 2> /dev/null || { echo "the program ended"; exit 1; }
echo "one box at a time, in order"
