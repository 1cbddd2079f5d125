#!/usr/bin/env bash
# The README's automation script, taken from README.md as it stands and run as
# pasted into a shell, with the program first on the PATH. Run inside
# dbus-run-session. Arguments: the README, the program, a folder for the run.
set -euo pipefail
readme=$1
program=$2
out=$3
source "$(dirname "$0")/private_home.sh"
private_home "$out" offscreen
export PATH="$(dirname "$program"):$PATH"

# The indented block after the line that introduces the script.
script=$(awk '/^A script that builds a small house/ { found = 1 }
              found && /^    / { inside = 1; print substr($0, 5); next }
              inside { exit }' "$readme")
[ -n "$script" ] || { echo "no script in $readme"; exit 1; }
grep -q "^dizado -Automation &" <<< "$script" || { echo "the script does not start the program:"; echo "$script"; exit 1; }

# As pasted: no exit on the first failure. The last background job is the program.
set +e
bash -c "$script"'
kill $! 2> /dev/null; wait $! 2> /dev/null; true' > "$out/script.log" 2>&1
set -e
tail -n 1 "$out/script.log" | grep -qx "(5,)" || { echo "the README's script did not count its house:"; cat "$out/script.log"; exit 1; }
! grep -q "Error" "$out/script.log" || { echo "a call of the README's script failed:"; cat "$out/script.log"; exit 1; }
[ -s "$HOME/house.brk" ] || { echo "the README's house was not saved"; exit 1; }
echo "the README's script built its house"
