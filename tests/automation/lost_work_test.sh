#!/usr/bin/env bash
# Work that must survive: bricks made only through MakeBrick, a model opened
# and saved while its kit is away, and a program ended by a signal. Drives a
# copy of the program folder (so that its kits can be taken away) over the
# session bus with gdbus. Run inside dbus-run-session. Arguments: the
# program, a folder.
set -euo pipefail
program=$1
out=$2
source "$(dirname "$0")/private_home.sh"
private_home "$out" offscreen
mkdir "$out/prog"
# The exit code is checked: the system font library's own leaks at exit in a
# sanitizer build are not the program's.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
folder=$(dirname "$program")
cp "$program" "$out/prog/dizado"
cp -r "$folder/kits" "$folder/backgrnd" "$out/prog/"
prog="$out/prog/dizado"
name=dizado.DodezAR
pid=""
trap '[ -z "$pid" ] || kill $pid 2> /dev/null || true' EXIT

start() {  # log, arguments...
  local log=$1
  shift
  "$prog" "$@" > "$log" 2>&1 &
  pid=$!
  wait_for_bus $pid "$log"
}
stop() {  # signal; the program must end by itself with 0
  kill -"$1" $pid
  local code=0
  wait $pid || code=$?
  pid=""
  [ $code = 0 ] || { echo "ended by SIG$1 with $code"; exit 1; }
}
call() {  # object, method, arguments...
  local object=$1 method=$2
  shift 2
  gdbus call --session --dest $name --object-path "$object" --method "dizado.Automation.$method" "$@"
}
path() { sed -E "s/^\(objectpath '([^']*)',\)$/\1/"; }
number() { sed -E 's/^\((int16 |int32 |)?(-?[0-9]+),\)$/\2/'; }
answer() { sed -E 's/^\((true|false),\)$/\1/'; }
types() {  # document: the class of every brick, in list order
  local list count i
  list=$(call "$1" GetList | path)
  count=$(call "$list" GetBrickCount | number)
  for ((i = 0; i < count; i++)); do
    call "$(call "$list" GetBrick -- "$i" | path)" GetType | number
  done | tr '\n' ' '
}

# The README's house with no background line: MakeBrick alone leaves the
# document unmodified, yet NewDoc keeps the house. Classes from the basic
# kit and the built-in one.
start "$out/first.log" -Automation
doc=$(call /DodezAR NewDoc | path)
model="$out/house.brk"
call "$doc" SetName "$model" > /dev/null
kinds=(2002 2001 1030 2002 2003)
for i in "${!kinds[@]}"; do
  call "$doc" MakeBrick -- "${kinds[$i]}" $((4 * i)) 0 0 0 2 false > /dev/null
done
[ "$(call "$doc" IsModified | answer)" = false ] || { echo "MakeBrick set the modified flag"; exit 1; }
call /DodezAR NewDoc > /dev/null
[ -s "$model" ] || { echo "NewDoc dropped a house made through MakeBrick"; exit 1; }
saved=$(types "$(call /DodezAR Open "$model" | path)")
[ "$saved" = "${kinds[*]} " ] || { echo "saved classes: $saved"; exit 1; }
stop TERM

# Without the kits: said once at start-up and once at open; the bricks show
# as the built-in class, and a save writes every class back as it was read.
mv "$out/prog/kits" "$out/prog/kits.away"
start "$out/no-kits.log" -Automation
doc=$(call /DodezAR Open "$model" | path)
[ "$(types "$doc")" = "1030 1030 1030 1030 1030 " ] || { echo "without kits: $(types "$doc")"; exit 1; }
copy="$out/house-without-kits.brk"
call "$doc" SetName "$copy" > /dev/null
call "$doc" MakeBrick -- 1030 40 0 0 0 2 false > /dev/null
call /DodezAR NewDoc > /dev/null
stop TERM
[ "$(grep -c "No brick kits were found" "$out/no-kits.log")" = 1 ] || { echo "start-up without kits:"; cat "$out/no-kits.log"; exit 1; }
[ "$(grep -c "kit that is not installed" "$out/no-kits.log")" = 1 ] || { echo "open without kits:"; cat "$out/no-kits.log"; exit 1; }

mv "$out/prog/kits.away" "$out/prog/kits"
start "$out/kits-back.log" -Automation
back=$(types "$(call /DodezAR Open "$copy" | path)")
[ "$back" = "${kinds[*]} 1030 " ] || { echo "with the kits back: $back, saved first as ${kinds[*]}"; exit 1; }
stop TERM
! grep -q "kit" "$out/kits-back.log" || { echo "a kit message with the kits in place:"; cat "$out/kits-back.log"; exit 1; }

# A model with nowhere to go ("Location" gone): NewDoc answers an error and
# the model stays the active document, rescued under the data folder; so
# does Open, after another rescue.
start "$out/rescue.log" -Automation
doc=$(call /DodezAR NewDoc | path)
call "$doc" SetName "$out/gone/castle.brk" > /dev/null
call "$doc" MakeBrick -- 2002 0 0 0 0 1 false > /dev/null
! call /DodezAR NewDoc > "$out/newdoc.txt" 2>&1 || { echo "NewDoc took the place of a model it could not save"; exit 1; }
grep -q "Unable to save the file" "$out/newdoc.txt" || { echo "NewDoc answered:"; cat "$out/newdoc.txt"; exit 1; }
active=$(call /DodezAR GetActiveDoc | path)
[ "$(call "$active" GetName)" = "('$out/gone/castle.brk',)" ] || { echo "another document after a failed NewDoc"; exit 1; }
[ "$(types "$active")" = "2002 " ] || { echo "the model changed after a failed NewDoc: $(types "$active")"; exit 1; }
rescued="$XDG_DATA_HOME/dizado/rescued"
grep -qF "$rescued/castle.brk" "$out/rescue.log" || { echo "the rescue was not told:"; cat "$out/rescue.log"; exit 1; }
! call /DodezAR Open "$model" > "$out/open.txt" 2>&1 || { echo "Open took the place of a model it could not save"; exit 1; }
grep -q "Unable to save the file" "$out/open.txt" || { echo "Open answered:"; cat "$out/open.txt"; exit 1; }
active=$(call /DodezAR GetActiveDoc | path)
[ "$(call "$active" GetName)" = "('$out/gone/castle.brk',)" ] || { echo "another document after a failed Open"; exit 1; }
[ -s "$rescued/castle-2.brk" ] || { echo "Open did not rescue the model it kept"; ls "$rescued"; exit 1; }
stop TERM
start "$out/rescued.log" -Automation
[ "$(types "$(call /DodezAR Open "$rescued/castle.brk" | path)")" = "2002 " ] || { echo "the rescued model is not whole"; exit 1; }
stop TERM

# Logout, a closed terminal, Ctrl+C: each saves the unsaved bricks and ends
# with 0, in automation mode and in a copy a child started (its sign-in
# still waiting).
for mode in -Automation child; do
  for signal in TERM HUP INT; do
    target="$out/ended-$signal$mode.brk"
    if [ $mode = child ]; then
      start "$out/signal.log"
      doc=$(call /DodezAR GetActiveDoc | path)
    else
      start "$out/signal.log" -Automation
      doc=$(call /DodezAR NewDoc | path)
    fi
    call "$doc" SetName "$target" > /dev/null
    call "$doc" MakeBrick -- 2002 0 0 0 0 3 false > /dev/null
    call "$doc" MakeBrick -- 2001 4 0 0 0 3 false > /dev/null
    call "$doc" SetBackgroundColor 0x112233 > /dev/null
    stop $signal
    [ -s "$target" ] || { echo "SIG$signal ($mode) lost the model"; cat "$out/signal.log"; exit 1; }
    start "$out/check.log" -Automation
    got=$(types "$(call /DodezAR Open "$target" | path)")
    stop TERM
    [ "$got" = "2002 2001 " ] || { echo "SIG$signal ($mode) saved: $got"; exit 1; }
  done
done
echo "house kept, classes kept without their kit, signals save"
