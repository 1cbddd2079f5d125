#!/usr/bin/env bash
# Shows the file browser (models, the next row of models, backgrounds) and the
# About box (its first page, then its second) in a real X server (Xvfb) and
# keeps a screenshot of each (browser_*.png, about_*.png in the given folder)
# to be looked at.
# Arguments: the showing program, a folder.
set -euo pipefail
source "$(dirname "$0")/x_session.sh"
program=$1
out=$2
mkdir -p "$out"
require_tools "browser shot" Xvfb xwd xwdtopnm pnmtopng
xvfb_pid=""
program_pid=""
trap end_session EXIT
start_xvfb 800x600 "$out/xvfb.log" "browser shot"

# Waits until the screen stops changing, then keeps it as $1.png.
shoot() {
  local previous="" current
  for _ in $(seq 40); do
    sleep 0.25
    kill -0 "$program_pid" 2> /dev/null || { echo "browser shot: the program ended"; cat "$out/program_$scene.log"; exit 1; }
    xwd -root -silent | xwdtopnm 2> /dev/null > "$out/$1.ppm"
    current=$(cksum < "$out/$1.ppm")
    [ "$current" = "$previous" ] && break
    previous=$current
  done
  pnmtopng < "$out/$1.ppm" > "$out/$1.png"
  rm -f "$out/$1.ppm"
  echo "browser shot: $out/$1.png"
}

for scene in models models-down backgrounds about; do
  home=$(mktemp -d)
  QT_QPA_PLATFORM=xcb "$program" "$scene" "$home" > "$out/program_$scene.log" 2>&1 &
  program_pid=$!
  wait_for_drawing "$program_pid" "$out/program.log"
  if [ "$scene" = about ]; then
    shoot about_first
    # The second page comes 8.5 seconds after the first.
    sleep 9
    shoot about_second
  else
    shoot "browser_$scene"
  fi
  kill "$program_pid" 2> /dev/null || true
  wait "$program_pid" 2> /dev/null || true
  program_pid=""
  rm -rf "$home"
done
