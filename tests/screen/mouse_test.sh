#!/usr/bin/env bash
# Builds with a real pointer: starts the program on an empty model in a real X
# server (Xvfb), signs in, chooses the new-brick tool, clicks two bricks onto
# the ground with xdotool, places a third by pressing and dragging it before
# the release, takes screenshots (mouse_drag.png half-way through the drag,
# mouse_shot.png at the end; both stay in the output folder to be looked at),
# ends the program with the kid frame's Exit button, and checks the model the
# program saved and the last screen.
# Arguments: the program, the helper, the kid frame and dialog checkers, and a folder for
# the files.
set -euo pipefail
source "$(dirname "$0")/x_session.sh"
program=$1
checker=$2
frame_show=$3
dialog_show=$4
shots=$5
begin_screen_test "mouse test" "mouse_" Xvfb xdotool xwd xwdtopnm pnmtopng

model="$shots/mouse.brk"
rm -f "$model" "$shots/mouse.pbk"
"$checker" model "$model"

start_xvfb 1024x768 "$shots/mouse_xvfb.log" "$test_name"

runtime="$shots/mouse_runtime"
mkdir -p "$runtime" && chmod 700 "$runtime"
rm -rf "$shots/mouse_config" "$shots/mouse_data"
# Its exit status counts, but not what the system's D-Bus and font libraries
# leave unfreed at exit under the leak checker.
ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
XDG_RUNTIME_DIR=$runtime QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$shots/mouse_config" XDG_DATA_HOME="$shots/mouse_data" \
  start_program "$shots/mouse_program.log" "$program" "$model"

# The sign-in comes first: a name typed into its name field, and Enter.
shot signin
click_on signin IDC_SIGNIN_NAME
xdotool type --delay 20 "Mouse"
xdotool key Return
wait_for_close 10 signin
press_on frame IDM_TOOL_NEW_BRICK
shot start
pane_place

at() { "$checker" point $pane "$@"; }
read -r ax ay < <(at 3 3 0)
read -r bx by < <(at 9 3 0)
read -r cx cy < <(at 3 9 0)
read -r dx dy < <(at 7 9 0)

click_changing "$ax" "$ay"
click_changing "$bx" "$by"
xdotool mousemove "$cx" "$cy"
before=$(screen_sum)
xdotool mousedown 1
for i in 1 2 3 4 5 6 7 8; do
  xdotool mousemove $((cx + (dx - cx) * i / 8)) $((cy + (dy - cy) * i / 8))
  # Half-way: the footprint shows on the ground while the button is down.
  if [ "$i" = 4 ]; then
    wait_for_change 5 "$before" || fail "pressing and dragging showed nothing"
    shot drag
  fi
done
before=$(screen_sum)
xdotool mouseup 1
wait_for_change 2 "$before" || true

# The screen shows the model as the program will save it.
shot shot

# The Exit button, under the file buttons at the left edge, saves the model
# under its name and ends the program.
press_on frame IDM_APP_EXIT
wait_for_exit 10 "Exit"

"$checker" verify "$model" 3 3 0 9 3 0 7 9 0
"$checker" check "$(last_shot)" "$model" $pane "$dx" "$dy"
