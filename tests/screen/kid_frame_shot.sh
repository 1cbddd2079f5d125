#!/usr/bin/env bash
# Shows the kid frame in a real X server (Xvfb) and keeps a screenshot of it
# (kid_frame.png in the given folder) to be looked at, and one with the menu
# bar shown by Ctrl+M (kid_frame_menu.png), under which the controls move
# down: a tool button shows where the layout with the bar puts it.
# Arguments: the showing program, a folder, optionally a model to show.
set -euo pipefail
source "$(dirname "$0")/x_session.sh"
program=$1
shots=$2
model=${3:-}
frame_show=$program
begin_screen_test "kid frame shot" "kid_frame_" Xvfb xwd xwdtopnm pnmtopng pnmcut xdotool
start_xvfb 1024x768 "$shots/kid_frame_xvfb.log" "$test_name"
QT_QPA_PLATFORM=xcb start_program "$shots/kid_frame_program.log" "$program" $model
shot
pnmtopng < "$(last_shot)" > "$shots/kid_frame.png"
cp "$(last_shot)" "$shots/kid_frame_plain.ppm"
echo "$test_name: $shots/kid_frame.png"

# Ctrl+M shows the menu bar.
window=$(xdotool search --sync --onlyvisible --pid "$program_pid" 2> /dev/null | head -n 1 || true)
[ -n "$window" ] && xdotool windowfocus --sync "$window" 2> /dev/null || true
before=$(screen_sum)
xdotool key ctrl+m
wait_for_change 5 "$before" || fail "Ctrl+M changed nothing on the screen"
shot menu
echo "$test_name: $shots/kid_frame_menu.png"

# The middle of the select tool's button (its edges show the backdrop, which
# does not move), without and with the bar.
button() {
  env -u DISPLAY QT_QPA_PLATFORM=offscreen "$program" rect "$screen_width" "$screen_height" "$1" IDM_TOOL_SELECT \
    2>> "$(layout_log)"
}
read -r left plain_top width height < <(button 0)
read -r _ menu_top _ _ < <(button 1)
[ "$menu_top" -gt "$plain_top" ] || fail "the layout with the bar does not move the buttons down"
middle() {
  pnmcut -left $((left + width / 4)) -top $(($2 + height / 4)) -width $((width / 2)) -height $((height / 2)) "$1" | cksum
}
[ "$(middle "$shots/kid_frame_plain.ppm" "$plain_top")" = "$(middle "$(last_shot)" "$menu_top")" ] ||
  fail "the select tool's button is not $((menu_top - plain_top)) pixels lower under the menu bar"
