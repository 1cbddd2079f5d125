#!/usr/bin/env bash
# The sign-in under a bare X server with no window manager: the child types at
# once, without clicking anywhere, and presses Return. The name lands in the
# name field, and a name typed with spaces around it is the child already
# known, with the same folder and no second entry in the names list.
# Arguments: the program and a folder for the files (sign_in_focus_*.png).
set -euo pipefail
source "$(dirname "$0")/x_session.sh"
program=$1
shots=$2
begin_screen_test "sign-in focus" "sign_in_focus_" Xvfb xdotool xwd xwdtopnm pnmtopng

start_xvfb 1024x768 "$shots/sign_in_focus_xvfb.log" "$test_name"

home="$shots/sign-in-focus-home"
rm -rf "$home"
mkdir -p "$home/config/dizado" "$home/data/dizado/0000abcd" "$home/runtime"
chmod 700 "$home/runtime"
ini="$home/config/dizado/dizado.ini"
printf '[Names]\nname000=Mia\n[Mia]\nDirectory=0000abcd\nSoundOn=0\n' > "$ini"
export XDG_RUNTIME_DIR="$home/runtime" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" QT_QPA_PLATFORM=xcb
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

start_program "$shots/sign_in_focus_program.log" "$program"
shot open
# No click, no window manager to hand out the focus: the keys go where the
# program put the focus.
xdotool type --delay 30 "  Mia "
shot typed
xdotool key Return
signed_in() { grep -q '^LastUser=' "$ini"; }
wait_until 5 signed_in || true
shot signed_in
grep -q '^LastUser=Mia$' "$ini" || { cat "$ini"; fail "Return did not sign in the name typed without a click"; }
[ "$(ls "$home/data/dizado")" = 0000abcd ] || { ls "$home/data/dizado"; fail "Mia got a new folder"; }
grep -q '^name001=' "$ini" && { cat "$ini"; fail "Mia was listed a second time"; }
[ "$(grep -c '^Directory=' "$ini")" = 1 ] || { cat "$ini"; fail "a second user was made"; }
echo "sign-in focus: screenshots in $shots"
