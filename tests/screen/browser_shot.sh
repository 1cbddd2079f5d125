#!/usr/bin/env bash
# Shows the file browser (models, the next row of models, backgrounds) and the
# About box (its first page, then its second) in a real X server (Xvfb) and
# keeps a screenshot of each (browser_*.png, about_*.png in the given folder)
# to be looked at. Each scene shows something the one before did not.
# Arguments: the showing program, a folder.
set -euo pipefail
source "$(dirname "$0")/x_session.sh"
program=$1
shots=$2
begin_screen_test "browser shot" "browser_shot_" Xvfb xwd xwdtopnm pnmtopng
start_xvfb 800x600 "$shots/browser_shot_xvfb.log" "$test_name"

# Keeps the still screen as $1.png, which must differ from the last one kept.
previous=""
keep() {
  shot
  pnmtopng < "$(last_shot)" > "$shots/$1.png"
  echo "$test_name: $shots/$1.png"
  local sum
  sum=$(cksum < "$(last_shot)")
  [ "$sum" != "$previous" ] || fail "$1 shows what the scene before it showed"
  previous=$sum
}

for scene in models models-down backgrounds about; do
  home=$(mktemp -d)
  QT_QPA_PLATFORM=xcb start_program "$shots/program_$scene.log" "$program" "$scene" "$home"
  if [ "$scene" = about ]; then
    keep about_first
    # The second page comes by itself a few seconds after the first.
    wait_for_change 12 "$previous" || fail "About did not turn its page"
    keep about_second
  else
    keep "browser_$scene"
  fi
  kill "$program_pid" 2> /dev/null || true
  wait "$program_pid" 2> /dev/null || true
  program_pid=""
  rm -rf "$home"
done
