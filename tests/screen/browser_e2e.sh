#!/usr/bin/env bash
# A child at the program in a real X server (Xvfb), with a real pointer: signs
# in, saves three models, opens the browser and the second model, deletes one
# with the trash can, chooses a background picture and then a colour, and
# watches About turn two pages. A screenshot of each screen is kept in the
# given folder (e2e_*.png) to be looked at; the files on disk and what the
# screen shows are checked.
# Arguments: the program, the kid frame and dialog checkers, a folder.
set -euo pipefail
source "$(dirname "$0")/x_session.sh"
program=$1
frame_show=$2
dialog_show=$3
shots=$4
begin_screen_test "browser e2e" "e2e_" Xvfb xwd xwdtopnm pnmtopng pnmcut pnmnoraw xdotool
start_xvfb 1024x768 "$shots/e2e_xvfb.log" "$test_name"

home="$shots/e2e-home"
rm -rf "$home"
mkdir -p "$home/config/dizado" "$home/data" "$home/runtime"
chmod 700 "$home/runtime"
# New users may delete and hear nothing.
printf '[default]\nFileDelete=1\nSoundOn=0\n' > "$home/config/dizado/dizado.ini"
XDG_RUNTIME_DIR="$home/runtime" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" QT_QPA_PLATFORM=xcb \
  start_program "$shots/e2e_program.log" "$program"

models() {
  find "$home/data" -name '*.brk' | wc -l
}
has_models() {
  [ "$(models)" -eq "$1" ]
}
# A frame button that opens the browser in MODE (models, backgrounds).
open_browser() {
  press_on frame "$1"
  wait_for_dialog 10 "$2" || fail "$1 did not show the browser"
  shot "${3:-}"
}
# OK or Cancel, which close the browser in MODE.
close_browser() {
  press_on "$1" "$2"
  wait_for_close 10 "$1"
  rest_pointer
  shot "${3:-}"
}
thumb() {  # mode, place, shot
  click_changing_on "$1" "IDC_BROWSER_THUMB_FIRST+$2" "${3:-}"
}
# The first place, no picture, is chosen already when the browser opens: a
# click changes nothing to wait for.
no_picture() {
  press_on backgrounds IDC_BROWSER_THUMB_FIRST
  shot "${1:-}"
}
colour() {
  click_changing_on backgrounds "IDC_BROWSER_COLOR_FIRST+$1" "${2:-}"
}
# The colour "R G B" of the pixel at X Y of a PPM.
pixel() {
  pnmcut -left "$2" -top "$3" -width 1 -height 1 "$1" | pnmnoraw | tr -s ' \n' ' ' | awk '{ print $5, $6, $7 }'
}

# The sign-in, centred on the screen.
shot signin
click_on signin IDC_SIGNIN_NAME
xdotool type --delay 20 "Kim"
xdotool key Return
wait_for_close 10 signin
shot frame

# Three models, each with a background of its own (a change worth saving):
# Background, a colour or a picture, OK, Save, New. The screen of each is
# kept to be told again when it is opened.
for model in 1 2 3; do
  open_browser IDM_BACKGROUND backgrounds
  if [ "$model" = 2 ]; then
    thumb backgrounds 3
  else
    colour $((model * 5))
    no_picture
  fi
  close_browser backgrounds IDOK
  cp "$(last_shot)" "$shots/e2e_model_$model.ppm"
  press_on frame IDM_FILE_SAVE
  wait_until 10 has_models "$model" || fail "model $model was not saved"
  # New keeps the background on the screen: nothing to wait for.
  press_on frame IDM_FILE_NEW
done
shot saved
has_models 3 || fail "not three models saved: $(models)"

open_browser IDM_FILE_OPEN models browser
# The next row: disabled with one page.
before=$(cksum < "$(last_shot)")
press_on models IDC_BROWSER_DOWN
! wait_for_change 1 "$before" || fail "the next row, with one page, changed the browser"
thumb models 1 browser_second
close_browser models IDOK opened
cmp -s "$(last_shot)" "$shots/e2e_model_2.ppm" || fail "the second thumbnail did not open the second model"

open_browser IDM_FILE_OPEN models
thumb models 2
click_changing_on models IDC_BROWSER_TRASH trashed
wait_until 5 has_models 2 || fail "the trash can did not remove a model ($(models) left)"
close_browser models IDCANCEL

# A background picture, then a colour (the first place: no picture), which
# the pane shows over its whole background.
cp "$(last_shot)" "$shots/e2e_before_picture.ppm"
open_browser IDM_BACKGROUND backgrounds
thumb backgrounds 1 background_picture
close_browser backgrounds IDOK background_picture_chosen
cmp -s "$(last_shot)" "$shots/e2e_before_picture.ppm" && fail "the picture did not show"
picture=$(cksum < "$(last_shot)")
open_browser IDM_BACKGROUND backgrounds
colour 3
swatch=$("$dialog_show" colour 3)
no_picture background_colour
close_browser backgrounds IDOK background_colour_chosen
[ "$(cksum < "$(last_shot)")" != "$picture" ] || fail "the colour did not take the picture's place"
pane_place
read -r left top width height <<< "$pane"
for corner in "$((left + 4)) $((top + 4))" "$((left + width - 5)) $((top + height - 5))"; do
  # shellcheck disable=SC2086
  shown=$(pixel "$(last_shot)" $corner)
  [ "$shown" = "$swatch" ] || fail "the pane shows $shown at $corner, not the colour chosen ($swatch)"
done

# About from the Help menu of the menu bar (Ctrl+M shows it).
before=$(screen_sum)
xdotool key ctrl+m
wait_for_change 5 "$before" || fail "Ctrl+M did not show the menu bar"
shot
click_on bar IDM_APP_ABOUT
control popup IDM_APP_ABOUT
shot help_menu
read -r _ _ popup_width popup_height <<< "$layout_answer"
press "$control_x" "$control_y"
# The About box: the program's one window besides the frame and the popup.
about_window() {
  program_windows | awk -v w="$screen_width" -v h="$screen_height" -v pw="$popup_width" -v ph="$popup_height" \
    '!(($4 == w && $5 == h) || ($4 == pw && $5 == ph)) { print; exit }'
}
about_shown() { [ -n "$(about_window)" ]; }
wait_until 10 about_shown || fail "About did not open"
shot about_first
# The pages turn by themselves, a few seconds apart.
wait_for_change 12 "$(cksum < "$(last_shot)")" || fail "About did not turn a page"
shot about_second
wait_for_change 12 "$(cksum < "$(last_shot)")" || fail "About did not turn a second page"
shot about_third
# A click closes it.
read -r _ x y w h <<< "$(about_window)"
press $((x + w / 2)) $((y + h / 2))
wait_until 5 eval '! about_shown' || fail "a click did not close About"
echo "browser e2e: screenshots in $shots"
