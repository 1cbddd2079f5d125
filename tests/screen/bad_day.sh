#!/usr/bin/env bash
# A child's bad day at the real program in a real X server (Xvfb), with a real
# pointer and keyboard and no window manager:
#   1. signs in by typing at once (no click), builds, and the session ends the
#      program with SIGTERM: the model is saved and the program ends with 0;
#   2. a FIFO waits in the child's folder as a model's preview: the sign-in
#      and File Open go on, and the saved model is there;
#   3. the kits are taken away and the model opened from the command line: the
#      program says so, the child builds on and exits; with the kits back
#      every brick is of the class it was first saved with;
#   4. the models folder is full: Exit still closes the program, after it has
#      said where the rescued model is, and the rescued copy holds the model.
# A copy of the program folder is driven, so that its kits can be taken away.
# Screenshots (bad_day_*.png) stay in the output folder to be looked at.
# Arguments: the program, the mouse test's helper, the kid frame and dialog
# checkers, and a folder for the files.
set -euo pipefail
source "$(dirname "$0")/x_session.sh"
program=$1
checker=$2
frame_show=$3
dialog_show=$4
shots=$5
begin_screen_test "bad day" "bad_day_" Xvfb xdotool xwd xwdtopnm pnmtopng mkfifo

home="$shots/bad-day-home"
prog="$shots/bad-day-program"
mounted=""
cleanup() {
  [ -n "$program_pid" ] && kill -KILL "$program_pid" 2> /dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2> /dev/null || true
  [ -n "$mounted" ] && umount "$mounted" 2> /dev/null || true
}
trap cleanup EXIT

rm -rf "$home" "$prog"
mkdir -p "$home/config" "$home/data" "$home/runtime" "$prog"
chmod 700 "$home/runtime"
folder=$(dirname "$program")
cp "$program" "$prog/dizado"
cp -r "$folder/kits" "$folder/backgrnd" "$prog/"
export XDG_RUNTIME_DIR="$home/runtime" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" QT_QPA_PLATFORM=xcb
# Its exit status counts, but not what the system's D-Bus and font libraries
# leave unfreed at exit under the leak checker.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

start_xvfb 1024x768 "$shots/bad_day_xvfb.log" "$test_name"
# Asked once here: the boxes are told from the sign-in by its size in
# command substitutions, which keep no answers.
layout signin IDOK

start() {  # name, arguments...
  local name=$1
  shift
  start_program "$shots/bad_day_program_$name.log" "$prog/dizado" "$@"
}
# The program's visible top-level windows other than the kid frame and the
# sign-in: its message boxes, by id.
box_ids() {
  local signin_width signin_height
  layout signin IDOK
  read -r _ _ signin_width signin_height <<< "$layout_answer"
  program_windows | awk -v fw="$screen_width" -v fh="$screen_height" -v sw="$signin_width" -v sh="$signin_height" \
    '!(($4 == fw && $5 == fh) || ($4 == sw && $5 == sh)) { print $1 }'
}
box_or_end() {
  [ -n "$(box_ids)" ] || ! kill -0 "$program_pid" 2> /dev/null
}
box_gone() {
  ! box_ids | grep -qx "$1"
}
# Answers every box the program shows with its default button, keeping a
# screenshot of the first as bad_day_$1.png; waits up to $2 s for the first.
# Sets answered to the number of boxes answered.
answer_boxes() {
  local name=$1 wait=${2:-5} box
  answered=0
  wait_until "$wait" box_or_end || true
  while kill -0 "$program_pid" 2> /dev/null; do
    box=$(box_ids | head -n 1)
    [ -n "$box" ] || break
    shot
    [ $answered = 0 ] && pnmtopng < "$(last_shot)" > "$shots/bad_day_$name.png"
    xdotool key Return
    answered=$((answered + 1))
    wait_until 5 box_gone "$box" || fail "the box at $name does not go away"
    [ $answered -lt 10 ] || fail "the boxes do not go away"
    # The next one, if any, follows at once.
    wait_until 1 box_or_end || true
  done
  echo "bad day: $answered box(es) answered at $name"
}
# The name field has the focus when the sign-in opens: the child types at
# once (the field may show the last name, which the typing replaces).
sign_in() {
  shot "$1"
  xdotool key ctrl+a
  xdotool type --delay 20 "Mia"
  xdotool key Return
  wait_for_close 10 signin
  shot
}
ended() {  # waits up to 10 s for the program to end; its status must be 0
  wait_for_exit 10 "$1"
}
models() {
  find "$home/data/dizado" -name '*.brk' -not -path '*/rescued/*' 2> /dev/null | sort
}
at() { "$checker" point $pane "$@"; }
build() {  # brick list row, then grid cells x y
  click_on frame "IDM_BRICK_LIST+$1"
  click_on frame IDM_COLOR_FIRST+3
  shift
  pane_place
  while [ $# -ge 2 ]; do
    read -r px py < <(at "$1" "$2" 0)
    click_changing "$px" "$py"
    shift 2
  done
  rest_pointer
}
exit_button() { press_on frame IDM_APP_EXIT; }

# 1. Building, then the session ends the program.
start first
sign_in signin
build 2 3 3 9 5
shot built
kill -TERM "$program_pid"
ended "SIGTERM"
[ "$(models | wc -l)" = 1 ] || { models; fail "SIGTERM did not save the model"; }
saved=$(models)
"$checker" holds "$saved" 3 3 3 0 0 9 5 0 0 || fail "the model saved on SIGTERM does not hold the bricks built"
first_classes=$("$checker" classes "$saved")
echo "bad day: saved on SIGTERM: $saved, classes $first_classes"

# 2. A FIFO as the preview of another model in the child's folder.
user_folder=$(dirname "$saved")
cp "$saved" "$user_folder/fifo.brk"
mkfifo "$user_folder/fifo.pbk"
start second
sign_in signin_again
press_on frame IDM_FILE_OPEN
wait_for_dialog 10 models || fail "File Open did not show the browser with a FIFO in the folder"
shot browser_with_fifo
click_on models IDCANCEL
wait_for_close 5 models
[ "$(models | head -1)" = "$saved" ] || fail "the model is not where it was saved"
exit_button
ended "Exit after File Open"
rm -f "$user_folder/fifo.brk" "$user_folder/fifo.pbk"

# 3. The kits taken away; the model opened from the command line.
mv "$prog/kits" "$prog/kits.away"
start no_kits "$saved"
answer_boxes no_kits_start 5
said=$answered
sign_in signin_no_kits
answer_boxes no_kits_open 1
[ $((said + answered)) -gt 0 ] || fail "nothing said that the kits are missing"
shot no_kits_model
build 0 5 9
exit_button
answer_boxes no_kits_exit 1
ended "Exit without the kits"
mv "$prog/kits.away" "$prog/kits"
back_classes=$("$checker" classes "$saved")
echo "bad day: classes with the kits back: $back_classes"
[ "${back_classes#"$first_classes"}" != "$back_classes" ] ||
  fail "saving without the kits changed the classes: $back_classes, first saved as $first_classes"

# 4. The models folder is full (a small file system of its own where this
# test may mount one; else the folder is made read-only).
kept="$shots/bad-day-kept"
rm -rf "$kept" && cp -r "$user_folder" "$kept"
if mount -t tmpfs -o size=256k tmpfs "$user_folder" 2> /dev/null; then
  mounted=$user_folder
  cp "$kept"/* "$user_folder/"
  dd if=/dev/zero of="$user_folder/filler" bs=4k 2> /dev/null || true
  echo "bad day: the models folder is a full tmpfs"
elif [ "$(id -u)" != 0 ]; then
  chmod a-w "$user_folder"
  echo "bad day: the models folder is read-only"
else
  fail "as root, a full folder needs a tmpfs mount, and it failed"
fi
start full
sign_in signin_full
build 2 12 4
exit_button
answer_boxes full_exit 5
# One box for the save that failed, one for where the model went instead.
[ "$answered" -ge 2 ] || fail "Exit with a full models folder did not say both that it failed and where the model went"
ended "Exit with a full models folder"
rescued=$(find "$home/data/dizado/rescued" -name '*.brk' 2> /dev/null | sort)
[ -n "$rescued" ] || fail "no rescued model under $home/data/dizado/rescued"
echo "bad day: rescued $rescued"
[ "$(echo "$rescued" | wc -l)" = 1 ] || fail "more than one rescued model: $rescued"
"$checker" holds "$rescued" 3 12 4 0 0 || fail "the rescued model does not hold the brick built"
if [ -n "$mounted" ]; then
  umount "$mounted"
  mounted=""
else
  chmod u+w "$user_folder"
fi
echo "bad day: screenshots in $shots"
