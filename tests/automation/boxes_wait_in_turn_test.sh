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
box_shown() { [ -n "$(boxes)" ]; }
delivered() { grep -q "delivered" "$out/client.log"; }
answers_at_least() { [ "$(wc -l < "$out/answers.log")" -ge "$1" ]; }
count=3300
"$client" $count 120 > "$out/answers.log" 2> "$out/client.log" &
client_pid=$!
pids+=($client_pid)
wait_until 20 box_shown || { echo "no box came"; exit 1; }
# Every call has arrived; before they waited, each opened a box inside the
# last one until the stack ran out.
wait_until 30 delivered || { echo "the calls were not delivered:"; cat "$out/client.log"; exit 1; }
grep -qx "delivered" "$out/client.log" || { cat "$out/client.log"; exit 1; }
# Read is not yet handled: a second box would follow within moments.
more_boxes() { [ "$(boxes | wc -l)" -ne 1 ] || ! kill -0 $pid 2> /dev/null; }
! wait_until 1 more_boxes || { echo "$(boxes | wc -l) boxes on the screen, not one"; exit 1; }
kill -0 $pid 2> /dev/null || { echo "the program ended:"; tail "$out/program.log"; exit 1; }
[ ! -s "$out/answers.log" ] || { echo "answered before the box was:"; head "$out/answers.log"; exit 1; }

# Each box answered lets the next call in, in the order they were sent.
for turn in 1 2 3; do
  box=$(boxes)
  [ -n "$box" ] || { echo "no box for call $turn"; exit 1; }
  timeout 5 xdotool windowfocus --sync "$box" 2> /dev/null || true
  xdotool key Return
  wait_until 10 answers_at_least $turn || true
  [ "$(sed -n "${turn}p" "$out/answers.log")" = "$turn ok" ] || { echo "answer $turn:"; cat "$out/answers.log"; exit 1; }
  wait_until 10 box_shown || true
done
[ "$(wc -l < "$out/answers.log")" -eq 3 ] || { echo "more answers than boxes closed:"; cat "$out/answers.log"; exit 1; }
kill -0 $pid 2> /dev/null || { echo "the program ended"; exit 1; }
echo "one box at a time, in order"
