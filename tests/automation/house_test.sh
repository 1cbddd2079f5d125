#!/usr/bin/env bash
# Drives the program from another program with nothing but gdbus: a new
# document, a small house, a background, saved by making the next new
# document, opened again, read back brick by brick and saved again to the
# same bytes. Run inside
# dbus-run-session. Arguments: the program, a folder for the model.
set -euo pipefail
program=$1
out=$2
rm -rf "$out" && mkdir -p "$out/home"
export HOME="$out/home" XDG_CONFIG_HOME="$out/home/.config" XDG_DATA_HOME="$out/home/.local/share"
export QT_QPA_PLATFORM=offscreen
source "$(dirname "$0")/private_home.sh"

name=dizado.DodezAR
"$program" -Automation > "$out/program.log" 2>&1 &
pid=$!
trap 'kill $pid 2> /dev/null || true' EXIT
wait_for_bus $pid "$out/program.log"

call() {  # object, method, arguments...
  local object=$1 method=$2
  shift 2
  gdbus call --session --dest $name --object-path "$object" --method "dizado.Automation.$method" "$@"
}
path() { sed -E "s/^\(objectpath '([^']*)',\)$/\1/"; }
number() { sed -E 's/^\((int16 |int32 )?(-?[0-9]+),\)$/\2/'; }

# Before a client asks, there is no document and no window.
[ "$(call /DodezAR GetActiveDoc | path)" = / ] || { echo "a document before NewDoc"; exit 1; }

doc=$(call /DodezAR NewDoc | path)
model="$out/house.brk"
call "$doc" SetName "$model" > /dev/null
# class x y z orientation colour selected; -1 takes the document's current.
house=(
  "0 0 0" "4 0 0" "0 4 0" "4 4 0"
  "0 0 3" "4 0 3" "0 4 3" "4 4 3"
  "2 2 6"
)
for at in "${house[@]}"; do
  read -r x y z <<< "$at"
  call "$doc" MakeBrick -- -1 "$x" "$y" "$z" 0 2 false > /dev/null
done
call "$doc" SetBackgroundColor 0x336699 > /dev/null
[ "$(call "$doc" GetBackgroundColor | number)" = $((0x336699)) ] || { echo "background not kept"; exit 1; }

# The document never asks: a new one saves the modified one first.
call /DodezAR NewDoc > /dev/null
[ -s "$model" ] || { echo "the model was not saved"; exit 1; }

again=$(call /DodezAR Open "$model" | path)
[ "$again" != / ] || { echo "the saved model did not open"; exit 1; }
[ "$(call "$again" GetBackgroundColor | number)" = $((0x336699)) ] || { echo "background not read back"; exit 1; }
list=$(call "$again" GetList | path)
count=$(call "$list" GetBrickCount | number)
[ "$count" = ${#house[@]} ] || { echo "read back $count bricks, not ${#house[@]}"; exit 1; }
for ((i = 0; i < count; i++)); do
  brick=$(call "$list" GetBrick -- "$i" | path)
  colour=$(call "$brick" GetColor | number)
  [ "$colour" = 2 ] || { echo "brick $i has colour $colour"; exit 1; }
done

# The model read back, saved again under another name, is the same file.
copy="$out/house-again.brk"
call "$again" SetName "$copy" > /dev/null
call "$again" SetBackgroundColor 0x336699 > /dev/null
call /DodezAR NewDoc > /dev/null
cmp "$model" "$copy" || { echo "the model read back differs from the one saved"; exit 1; }

# Calls the bus cannot carry out are errors, and the program goes on.
! call "$doc" MakeBrick 1 2 > /dev/null 2>&1 || { echo "a short call was taken"; exit 1; }
! call /DodezAR/nothing GetList > /dev/null 2>&1 || { echo "an unknown path answered"; exit 1; }
kill -0 $pid || { echo "the program ended"; exit 1; }

# Without a session bus the program cannot serve and says so.
kill $pid && wait $pid 2> /dev/null || true
if DBUS_SESSION_BUS_ADDRESS="unix:path=$out/no-bus" "$program" -Automation > "$out/no-bus.log" 2>&1; then
  echo "the program served without a bus"; exit 1
fi
grep -q "cannot be driven by other programs" "$out/no-bus.log" || { echo "no message without a bus:"; cat "$out/no-bus.log"; exit 1; }
echo "house built, saved and read back: ${#house[@]} bricks"
