#!/usr/bin/env bash
# A new child at the program in a real X server (Xvfb), with a real pointer and
# keyboard: signs in, picks a brick further down the brick list and a colour,
# places two bricks on the ground, turns and nudges the last with the direction
# buttons, undoes the nudge, and quits with Exit. The program is started again
# with the same folders; the child signs in under the same name and the model
# is there under its automatic name in the child's own folder. A second start
# while the program runs ends at once. Screenshots (child_*.png) stay in the
# output folder to be looked at.
# Arguments: the program, the mouse test's helper, the kid frame and dialog
# checkers, and a folder for the files.
set -euo pipefail
source "$(dirname "$0")/x_session.sh"
program=$1
checker=$2
frame_show=$3
dialog_show=$4
shots=$5
begin_screen_test "child e2e" "child_" Xvfb xdotool xwd xwdtopnm pnmtopng

start_xvfb 1024x768 "$shots/child_xvfb.log" "$test_name"

home="$shots/child-home"
rm -rf "$home"
mkdir -p "$home/config" "$home/data" "$home/runtime"
chmod 700 "$home/runtime"
export XDG_RUNTIME_DIR="$home/runtime" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" QT_QPA_PLATFORM=xcb
# Its exit status counts, but not what the system's D-Bus and font libraries
# leave unfreed at exit under the leak checker.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

start() {
  start_program "$shots/child_program_$1.log" "$program"
}
# The sign-in: the name field (which shows the last user's name, so it is
# emptied first), and Enter.
sign_in() {
  shot "$1"
  click_on signin IDC_SIGNIN_NAME
  xdotool key End
  xdotool key --repeat 20 --delay 10 BackSpace
  xdotool type --delay 20 "Robin"
  xdotool key Return
  wait_for_close 10 signin
  shot
}
# Exit, under the file buttons at the left edge, saves the model and ends the
# program.
quit() {
  press_on frame IDM_APP_EXIT
  wait_for_exit 10 "Exit"
}
models() {
  find "$home/data" -name '*.brk' | sort
}

start first
sign_in signin
# The third row of the brick list, then the fourth colour.
click_changing_on frame IDM_BRICK_LIST+2 list
colour=3
click_changing_on frame IDM_COLOR_FIRST+$colour

pane_place
at() { "$checker" point $pane "$@"; }
read -r ax ay < <(at 3 3 0)
read -r bx by < <(at 9 5 0)
click_changing "$ax" "$ay"
click_changing "$bx" "$by" placed
# Turn right, back-right, then Undo takes the nudge back.
click_changing_on frame IDM_TURN_RIGHT
click_changing_on frame IDM_MOVE_BACK_RIGHT turned
click_changing_on frame IDM_EDIT_UNDO
rest_pointer
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

# A second start while one runs ends at once with 0 and nothing to say (no
# one waits for its word), and leaves the first running.
began=$SECONDS
"$program" > "$shots/child_program_third.log" 2>&1 &
third=$!
third_ended() { ! kill -0 "$third" 2> /dev/null; }
wait_until 5 third_ended || { kill "$third"; fail "a second start did not end"; }
status=0
wait "$third" || status=$?
echo "child e2e: a second start ended after $((SECONDS - began)) s with status $status"
[ "$status" = 0 ] || { cat "$shots/child_program_third.log"; fail "a second start ended with $status"; }
[ ! -s "$shots/child_program_third.log" ] || { cat "$shots/child_program_third.log"; fail "a second start said something"; }
kill -0 "$program_pid" 2> /dev/null || fail "a second start ended the first"
shot
quit
[ "$(models)" = "$saved" ] || { models; fail "the second run changed the saved models"; }
echo "child e2e: screenshots in $shots"
