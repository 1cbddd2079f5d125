#!/usr/bin/env bash
# Builds with a real pointer: starts the program on an empty model in a real X
# server (Xvfb), clicks two bricks onto the ground with xdotool, places a
# third by pressing and dragging it before the release, takes screenshots
# (mouse_drag.png half-way through the drag, mouse_shot.png at the end; both
# stay in the output folder to be looked at), closes the window as a window
# manager would, and checks the model the program saved.
# Arguments: the program, the helper, and a folder for the files.
set -euo pipefail
program=$1
checker=$2
out=$3
mkdir -p "$out"
for tool in Xvfb xdotool xwd xwdtopnm pnmtopng; do
  command -v "$tool" > /dev/null || { echo "mouse test: $tool is missing (scripts/setup-debian.sh installs it)"; exit 1; }
done

model="$out/mouse.brk"
rm -f "$model" "$out/mouse.pbk"
"$checker" model "$model"

xvfb_pid=""
program_pid=""
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2> /dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2> /dev/null || true
}
trap cleanup EXIT

width=1024
height=768
exec {display_fd}<> <(:)
Xvfb -displayfd "$display_fd" -screen 0 ${width}x${height}x24 -nolisten tcp > "$out/mouse_xvfb.log" 2>&1 &
xvfb_pid=$!
display=""
for _ in $(seq 100); do
  read -r -t 0.1 -u "$display_fd" display && break || true
done
[ -n "$display" ] || { echo "mouse test: Xvfb did not start"; cat "$out/mouse_xvfb.log"; exit 1; }
export DISPLAY=":$display"

runtime="$out/mouse_runtime"
mkdir -p "$runtime" && chmod 700 "$runtime"
XDG_RUNTIME_DIR=$runtime QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$out/mouse_config" "$program" "$model" \
  > "$out/mouse_program.log" 2>&1 &
program_pid=$!

window=$(timeout 20 xdotool search --sync --name "mouse.brk" | head -n 1)
[ -n "$window" ] || { echo "mouse test: no window"; cat "$out/mouse_program.log"; exit 1; }
# Until the program shows its model and the screen stays the same.
previous=""
for _ in $(seq 40); do
  sleep 0.25
  current=$(xwd -root -silent | cksum)
  [ "$current" = "$previous" ] && break
  previous=$current
done

at() { "$checker" point $width $height "$@"; }
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
previous=""
for _ in $(seq 40); do
  sleep 0.25
  xwd -root -silent | xwdtopnm 2> /dev/null > "$out/mouse_shot.ppm"
  current=$(cksum < "$out/mouse_shot.ppm")
  [ "$current" = "$previous" ] && break
  previous=$current
done
pnmtopng < "$out/mouse_shot.ppm" > "$out/mouse_shot.png"

# Asked again if a request arrives before the program can take it.
for _ in $(seq 5); do
  for w in $(xdotool search --name "mouse.brk" 2> /dev/null || true); do
    "$checker" close "$w"
  done
  for _ in $(seq 20); do
    kill -0 "$program_pid" 2> /dev/null || break 2
    sleep 0.1
  done
done
if kill -0 "$program_pid" 2> /dev/null; then
  echo "mouse test: the program did not end when its window was closed"
  exit 1
fi
program_pid=""

"$checker" verify "$model" 3 3 0 9 3 0 7 9 0
"$checker" check "$out/mouse_shot.ppm" "$model" "$dx" "$dy"
