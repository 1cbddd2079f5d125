#!/usr/bin/env bash
# A child at the program in a real X server (Xvfb), with a real pointer: signs
# in, saves three models, opens the browser and the second model, deletes one
# with the trash can, chooses a background picture and then a colour, and
# watches About turn two pages. A screenshot of each screen is kept in the
# given folder (e2e_*.png) to be looked at; the files on disk are checked.
# Arguments: the program, a folder.
set -euo pipefail
source "$(dirname "$0")/x_session.sh"
program=$1
out=$2
mkdir -p "$out"
require_tools "browser e2e" Xvfb xwd xwdtopnm pnmtopng xdotool
xvfb_pid=""
program_pid=""
trap end_session EXIT
start_xvfb 1024x768 "$out/xvfb.log" "browser e2e"

home="$out/e2e-home"
rm -rf "$home"
mkdir -p "$home/config/dizado" "$home/data" "$home/runtime"
chmod 700 "$home/runtime"
# New users may delete and hear nothing.
printf '[default]\nFileDelete=1\nSoundOn=0\n' > "$home/config/dizado/dizado.ini"
XDG_RUNTIME_DIR="$home/runtime" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" QT_QPA_PLATFORM=xcb \
  "$program" > "$out/e2e_program.log" 2>&1 &
program_pid=$!
wait_for_drawing "$program_pid" "$out/e2e_program.log"

# Waits until the screen holds still, then keeps it as e2e_$1.png (with no
# name, keeps nothing).
shot() {
  local previous="" current
  for _ in $(seq 60); do
    sleep 0.15
    kill -0 "$program_pid" 2> /dev/null || { echo "browser e2e: the program ended"; cat "$out/e2e_program.log"; exit 1; }
    xwd -root -silent | xwdtopnm 2> /dev/null > "$out/e2e.ppm"
    current=$(cksum < "$out/e2e.ppm")
    [ "$current" = "$previous" ] && break
    previous=$current
  done
  [ -z "${1:-}" ] || pnmtopng < "$out/e2e.ppm" > "$out/e2e_$1.png"
}
# A click, then the screen settles before the next step.
click() {
  xdotool mousemove "$1" "$2"
  sleep 0.1
  xdotool click 1
  shot
}
models() {
  find "$home/data" -name '*.brk' | wc -l
}
fail() {
  echo "browser e2e: $*"
  exit 1
}

# The sign-in, centred on the screen.
shot signin
click 509 442
xdotool type --delay 20 "Kim"
xdotool key Return
shot frame

# The browser, 454 by 412, centred: thumbnail k at (341 + 80 (k % 4), 288 + 60 (k / 4)).
browser_x=285
browser_y=178
thumb() { click $((browser_x + 56 + 80 * ($1 % 4))) $((browser_y + 110 + 60 * ($1 / 4))); }
ok() { click $((browser_x + 280)) $((browser_y + 360)); }
colour() { click $((browser_x + 88 + 16 * ($1 % 8) + 8)) $((browser_y + 344 + 16 * ($1 / 8) + 8)); }

# Three models, each with a background of its own (a change worth saving):
# Background, a colour or a picture, OK, Save, New.
for model in 1 2 3; do
  click 170 740
  if [ "$model" = 2 ]; then
    thumb 3
  else
    colour $((model * 5))
    thumb 0
  fi
  ok
  click 30 417
  sleep 1.1
  click 30 359
done
shot saved
[ "$(models)" -ge 3 ] || fail "three models were not saved"

click 30 388
shot browser
click $((browser_x + 414)) $((browser_y + 234))  # the next row: disabled with one page
thumb 1
shot browser_second
ok
shot opened

click 30 388
thumb 2
click $((browser_x + 40)) $((browser_y + 368))  # the trash can
shot trashed
before=$(models)
click $((browser_x + 360)) $((browser_y + 360))  # Cancel
[ "$(models)" -eq 2 ] || fail "the trash can did not remove a model ($before left)"

# A background picture, then a colour (the first place: no picture).
click 170 740
thumb 1
shot background_picture
ok
shot background_picture_chosen
click 170 740
colour 3
thumb 0
shot background_colour
ok
shot background_colour_chosen

# About from the Help menu of the menu bar (Ctrl+M shows it).
xdotool key ctrl+m
sleep 0.3
click 157 8
shot help_menu
click 212 75
shot about_first
# The second page 8.5 seconds after the first, the third 2.5 seconds later.
sleep 8.6
shot about_second
sleep 2.5
shot about_third
cmp -s "$out/e2e_about_first.png" "$out/e2e_about_second.png" && fail "About did not turn a page"
cmp -s "$out/e2e_about_second.png" "$out/e2e_about_third.png" && fail "About did not turn a second page"
click 512 100
echo "browser e2e: screenshots in $out"
