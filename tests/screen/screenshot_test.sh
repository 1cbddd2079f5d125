#!/usr/bin/env bash
# Starts the program on a fixture model in a real X server (Xvfb), takes a
# screenshot of the screen, and compares it with the pane's own drawing.
# Arguments: the program, the checker, and a folder for the model and the
# screenshot (screenshot.png stays there to be looked at).
set -euo pipefail
source "$(dirname "$0")/x_session.sh"
program=$1
checker=$2
out=$3
mkdir -p "$out"
require_tools "screenshot test" Xvfb xwd xwdtopnm pnmtopng xdotool

"$checker" model "$out/fixture.brk"

xvfb_pid=""
program_pid=""
trap end_session EXIT

start_xvfb 1024x768 "$out/xvfb.log" "screenshot test"

runtime="$out/runtime"
mkdir -p "$runtime" && chmod 700 "$runtime"
rm -rf "$out/config" "$out/data"
XDG_RUNTIME_DIR=$runtime QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$out/config" XDG_DATA_HOME="$out/data" "$program" "$out/fixture.brk" \
  > "$out/program.log" 2>&1 &
program_pid=$!
wait_for_drawing "$program_pid" "$out/program.log"

# The sign-in comes first: once the screen holds still it is saved
# (signin.png), a name is typed into its name field and Enter signs in.
previous=""
for _ in $(seq 40); do
  sleep 0.25
  kill -0 "$program_pid" 2> /dev/null || { echo "screenshot test: the program ended"; cat "$out/program.log"; exit 1; }
  xwd -root -silent | xwdtopnm 2> /dev/null > "$out/signin.ppm"
  current=$(cksum < "$out/signin.ppm")
  [ "$current" = "$previous" ] && break
  previous=$current
done
pnmtopng < "$out/signin.ppm" > "$out/signin.png"
# The name field of the centred 422 by 404 dialog on the 1024 by 768 screen.
xdotool mousemove 509 442 click 1
sleep 0.2
xdotool type --delay 20 "Screen"
xdotool key Return
# Off the pane, so that the new-brick tool shows no outline under the pointer.
xdotool mousemove 1000 760

# The kid frame fills the screen and shows its pane at (58, -1), 132 pixels
# narrower and 55 lower than the screen.
pane="58 -1 892 713"

# Waits until the screen shows the model and stays the same for a moment.
previous=""
for _ in $(seq 60); do
  sleep 0.25
  kill -0 "$program_pid" 2> /dev/null || { echo "screenshot test: the program ended"; cat "$out/program.log"; exit 1; }
  xwd -root -silent | xwdtopnm 2> /dev/null > "$out/screenshot.ppm"
  current=$(cksum < "$out/screenshot.ppm")
  if [ "$current" = "$previous" ] && "$checker" check "$out/screenshot.ppm" "$out/fixture.brk" $pane > "$out/check.log"; then
    break
  fi
  previous=$current
done
pnmtopng < "$out/screenshot.ppm" > "$out/screenshot.png"
"$checker" check "$out/screenshot.ppm" "$out/fixture.brk" $pane
