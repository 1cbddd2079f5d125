#!/usr/bin/env bash
# A new child at the program in a real X server (Xvfb), with a real pointer and
# keyboard: signs in, picks a brick further down the brick list and a colour,
# places two bricks on the ground, turns and nudges the last with the direction
# buttons, undoes the nudge, and quits with Exit. The program is started again
# with the same folders; the child signs in under the same name and the model
# is there under its automatic name in the child's own folder. A second start
# while the program runs ends at once. Screenshots (child_*.png) stay in the
# output folder to be looked at.
# Arguments: the program, the mouse test's helper, and a folder for the files.
set -euo pipefail
source "$(dirname "$0")/x_session.sh"
program=$1
checker=$2
out=$3
mkdir -p "$out"
require_tools "child e2e" Xvfb xdotool xwd xwdtopnm pnmtopng
fail() {
  echo "child e2e: $*"
  exit 1
}

xvfb_pid=""
program_pid=""
trap end_session EXIT

start_xvfb 1024x768 "$out/child_xvfb.log" "child e2e"

home="$out/child-home"
rm -rf "$home"
mkdir -p "$home/config" "$home/data" "$home/runtime"
chmod 700 "$home/runtime"
export XDG_RUNTIME_DIR="$home/runtime" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" QT_QPA_PLATFORM=xcb
# Its exit status counts, but not what the system's D-Bus and font libraries
# leave unfreed at exit under the leak checker.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

start() {
  log="$out/child_program_$1.log"
  "$program" > "$log" 2>&1 &
  program_pid=$!
  wait_for_drawing "$program_pid" "$log"
}
# Waits until the screen holds still (the program must still run), then keeps
# it as child_$1.png (with no name, keeps nothing).
shot() {
  hold_still "$out/child.ppm" "$log"
  [ -z "${1:-}" ] || pnmtopng < "$out/child.ppm" > "$out/child_$1.png"
}
click() {
  xdotool mousemove "$1" "$2"
  sleep 0.2
  xdotool click 1
  sleep 0.3
  shot "${3:-}"
}
# The sign-in, a 422 by 404 dialog centred on the screen: the name field
# (which shows the last user's name, so it is emptied first), and Enter.
sign_in() {
  shot "$1"
  click 509 442
  xdotool key End
  xdotool key --repeat 20 --delay 10 BackSpace
  xdotool type --delay 20 "Robin"
  xdotool key Return
  shot
}
# Exit, under the file buttons at the left edge, saves the model and ends the
# program.
quit() {
  xdotool mousemove 30 446 click 1
  for _ in $(seq 100); do
    kill -0 "$program_pid" 2> /dev/null || break
    sleep 0.1
  done
  kill -0 "$program_pid" 2> /dev/null && fail "the program did not end on its Exit button"
  wait "$program_pid" || { cat "$out"/child_program_*.log; fail "the program failed"; }
  program_pid=""
}
models() {
  find "$home/data" -name '*.brk' | sort
}

start first
sign_in signin
# The kid frame fills the 1024 by 768 screen. The brick list runs down the
# right edge from (955, 37), 64 wide, rows 40 high: the third row.
click 987 137 list
# The fourth colour button: the colours stand in two columns of 24 by 24 from
# (5, 199).
colour=3
click $((5 + 24 * (colour % 2) + 12)) $((199 + 24 * (colour / 2) + 12))

pane="58 -1 892 713"
at() { "$checker" point $pane "$@"; }
read -r ax ay < <(at 3 3 0)
read -r bx by < <(at 9 5 0)
click "$ax" "$ay"
click "$bx" "$by"
shot placed
# The direction buttons along the bottom, 45 by 45, counted from the right
# edge: turn right at 119, back-right at 344. Undo at 103 from the left.
click $((1024 - 119 + 22)) 740
click $((1024 - 344 + 22)) 740
shot turned
click $((103 + 22)) 740
xdotool mousemove 500 740
shot bricks
quit

[ "$(models | wc -l)" = 1 ] || { models; fail "not one model saved"; }
saved=$(models)
echo "child e2e: saved $saved"
# The user's folder is named by the time the child first signed in, the model
# by the time it was saved: each eight lower-case hexadecimal digits.
[[ "$saved" =~ ^$home/data/dizado/[0-9a-f]{8}/[0-9a-f]{8}\.brk$ ]] || fail "the model is not under its automatic name in a user folder"
# The first brick where it was put; the second turned about its middle, its
# nudge undone.
"$checker" holds "$saved" "$colour" 3 3 0 0 10 4 0 3 || fail "the model does not hold the bricks placed"

start second
sign_in signin_again
[ "$(models)" = "$saved" ] || { models; fail "signing in again did not find the same folder and model"; }
[ "$(ls "$home/data/dizado" | wc -l)" = 1 ] || { ls "$home/data/dizado"; fail "signing in again made a new user folder"; }
grep -q "^Directory=$(basename "$(dirname "$saved")")" "$home/config/dizado/dizado.ini" ||
  { cat "$home/config/dizado/dizado.ini"; fail "the model's folder is not the user's"; }

# A second start while one runs ends at once.
began=$(date +%s)
"$program" > "$out/child_program_third.log" 2>&1 &
third=$!
for _ in $(seq 50); do
  kill -0 "$third" 2> /dev/null || break
  sleep 0.1
done
if kill -0 "$third" 2> /dev/null; then
  kill "$third"
  fail "a second start did not end"
fi
status=0
wait "$third" || status=$?
echo "child e2e: a second start ended after $(($(date +%s) - began)) s with status $status"
shot
quit
[ "$(models)" = "$saved" ] || { models; fail "the second run changed the saved models"; }
echo "child e2e: screenshots in $out"
