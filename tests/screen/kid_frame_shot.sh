#!/usr/bin/env bash
# Shows the kid frame in a real X server (Xvfb) and keeps a screenshot of it
# (kid_frame.png in the given folder) to be looked at, and one with the menu
# shown by Ctrl+M (kid_frame_menu.png).
# Arguments: the showing program, a folder, optionally a model to show.
set -euo pipefail
source "$(dirname "$0")/x_session.sh"
program=$1
out=$2
model=${3:-}
mkdir -p "$out"
require_tools "kid frame shot" Xvfb xwd xwdtopnm pnmtopng xdotool
xvfb_pid=""
program_pid=""
trap end_session EXIT
start_xvfb 1024x768 "$out/xvfb.log" "kid frame shot"
QT_QPA_PLATFORM=xcb "$program" $model > "$out/program.log" 2>&1 &
program_pid=$!
wait_for_drawing "$program_pid" "$out/program.log"
# Takes shots until two in a row are the same; keeps the last as NAME.png.
settled_shot() {
  local name=$1 previous="" current
  for _ in $(seq 40); do
    sleep 0.25
    kill -0 "$program_pid" 2> /dev/null || { echo "kid frame shot: the program ended"; cat "$out/program.log"; exit 1; }
    xwd -root -silent | xwdtopnm 2> /dev/null > "$out/$name.ppm"
    current=$(cksum < "$out/$name.ppm")
    [ "$current" = "$previous" ] && break
    previous=$current
  done
  pnmtopng < "$out/$name.ppm" > "$out/$name.png"
  echo "kid frame shot: $out/$name.png"
}
settled_shot kid_frame
# Ctrl+M shows the menu; the controls move down below it.
window=$(xdotool search --sync --onlyvisible --pid "$program_pid" 2> /dev/null | head -n 1 || true)
[ -n "$window" ] && xdotool windowfocus --sync "$window" 2> /dev/null || true
xdotool key ctrl+m
settled_shot kid_frame_menu
