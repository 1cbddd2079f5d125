#!/usr/bin/env bash
# Starts the program on a fixture model in a real X server (Xvfb), takes a
# screenshot of the screen, and compares it with the pane's own drawing.
# Arguments: the program, the checker, the kid frame and dialog checkers and a folder for
# the model and the screenshots (signin.png and screenshot.png stay there to
# be looked at).
set -euo pipefail
source "$(dirname "$0")/x_session.sh"
program=$1
checker=$2
frame_show=$3
dialog_show=$4
shots=$5
begin_screen_test "screenshot test" "" Xvfb xwd xwdtopnm pnmtopng xdotool

"$checker" model "$shots/fixture.brk"

start_xvfb 1024x768 "$shots/xvfb.log" "$test_name"

runtime="$shots/runtime"
mkdir -p "$runtime" && chmod 700 "$runtime"
rm -rf "$shots/config" "$shots/data"
XDG_RUNTIME_DIR=$runtime QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$shots/config" XDG_DATA_HOME="$shots/data" \
  start_program "$shots/program.log" "$program" "$shots/fixture.brk"

# The sign-in comes first: a name typed into its name field, and Enter.
shot signin
click_on signin IDC_SIGNIN_NAME
xdotool type --delay 20 "Screen"
xdotool key Return
# Off the pane, so that the new-brick tool shows no outline under the pointer.
rest_pointer
pane_place

# Until the screen holds still showing the model, for up to 15 s.
shows_the_model() {
  shot
  "$checker" check "$(last_shot)" "$shots/fixture.brk" $pane > "$shots/check.log"
}
wait_until 15 shows_the_model || true
pnmtopng < "$(last_shot)" > "$shots/screenshot.png"
"$checker" check "$(last_shot)" "$shots/fixture.brk" $pane
