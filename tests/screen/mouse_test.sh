#!/usr/bin/env bash
# Builds with a real pointer: starts the program on an empty model in a real X
# server (Xvfb), signs in, chooses the new-brick tool, clicks two bricks onto
# the ground with xdotool, places a third by pressing and dragging it before
# the release, takes screenshots (mouse_drag.png half-way through the drag,
# mouse_shot.png at the end; both stay in the output folder to be looked at),
# ends the program with the kid frame's Exit button, and checks the model the
# program saved.
# Arguments: the program, the helper, and a folder for the files.
set -euo pipefail
source "$(dirname "$0")/x_session.sh"
program=$1
checker=$2
out=$3
mkdir -p "$out"
require_tools "mouse test" Xvfb xdotool xwd xwdtopnm pnmtopng

model="$out/mouse.brk"
rm -f "$model" "$out/mouse.pbk"
"$checker" model "$model"

xvfb_pid=""
program_pid=""
trap end_session EXIT

start_xvfb 1024x768 "$out/mouse_xvfb.log" "mouse test"

runtime="$out/mouse_runtime"
mkdir -p "$runtime" && chmod 700 "$runtime"
rm -rf "$out/mouse_config" "$out/mouse_data"
# Its exit status counts, but not what the system's D-Bus and font libraries
# leave unfreed at exit under the leak checker.
ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
XDG_RUNTIME_DIR=$runtime QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$out/mouse_config" XDG_DATA_HOME="$out/mouse_data" \
  "$program" "$model" > "$out/mouse_program.log" 2>&1 &
program_pid=$!
wait_for_drawing "$program_pid" "$out/mouse_program.log"

# Until the screen stays the same for a moment; the program must still run.
settle() {
  local previous="" current
  for _ in $(seq 60); do
    sleep 0.25
    kill -0 "$program_pid" 2> /dev/null || { echo "mouse test: the program ended"; cat "$out/mouse_program.log"; exit 1; }
    xwd -root -silent | xwdtopnm 2> /dev/null > "$1"
    current=$(cksum < "$1")
    [ "$current" = "$previous" ] && return 0
    previous=$current
  done
}

# The sign-in comes first: a name typed into the name field of the centred
# 422 by 404 dialog, and Enter.
settle "$out/mouse_signin.ppm"
xdotool mousemove 509 442 click 1
sleep 0.2
xdotool type --delay 20 "Mouse"
xdotool key Return
# The kid frame fills the screen; the new-brick tool's button is the third
# at its left edge, and the pane is at (58, -1), 132 pixels narrower and 55
# lower than the screen.
xdotool mousemove 29 125 click 1
pane="58 -1 892 713"
settle "$out/mouse_start.ppm"

at() { "$checker" point $pane "$@"; }
read -r ax ay < <(at 3 3 0)
read -r bx by < <(at 9 3 0)
read -r cx cy < <(at 3 9 0)
read -r dx dy < <(at 7 9 0)

xdotool mousemove "$ax" "$ay" && sleep 0.2 && xdotool click 1 && sleep 0.3
xdotool mousemove "$bx" "$by" && sleep 0.2 && xdotool click 1 && sleep 0.3
xdotool mousemove "$cx" "$cy" && sleep 0.2 && xdotool mousedown 1 && sleep 0.2
for i in 1 2 3 4 5 6 7 8; do
  xdotool mousemove $((cx + (dx - cx) * i / 8)) $((cy + (dy - cy) * i / 8))
  sleep 0.05
  # Half-way: the footprint shows on the ground while the button is down.
  if [ "$i" = 4 ]; then
    sleep 0.3
    xwd -root -silent | xwdtopnm 2> /dev/null | pnmtopng > "$out/mouse_drag.png"
  fi
done
xdotool mouseup 1
sleep 0.5

# The screen shows the model as the program will save it.
settle "$out/mouse_shot.ppm"
pnmtopng < "$out/mouse_shot.ppm" > "$out/mouse_shot.png"

# The Exit button, under the file buttons at the left edge, saves the model
# under its name and ends the program.
xdotool mousemove 30 446 click 1
for _ in $(seq 100); do
  kill -0 "$program_pid" 2> /dev/null || break
  sleep 0.1
done
if kill -0 "$program_pid" 2> /dev/null; then
  echo "mouse test: the program did not end on its Exit button"
  exit 1
fi
wait "$program_pid" || { echo "mouse test: the program failed"; cat "$out/mouse_program.log"; exit 1; }
program_pid=""

"$checker" verify "$model" 3 3 0 9 3 0 7 9 0
"$checker" check "$out/mouse_shot.ppm" "$model" $pane "$dx" "$dy"
