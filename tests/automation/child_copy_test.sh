#!/usr/bin/env bash
# A copy a child started (no -Automation) answers other programs on the
# session bus while its sign-in waits, and has written the shell's open
# command. Run inside dbus-run-session. Arguments: the program, a folder.
set -euo pipefail
program=$1
out=$2
source "$(dirname "$0")/private_home.sh"
private_home "$out" offscreen

name=dizado.DodezAR
"$program" > "$out/program.log" 2>&1 &
pid=$!
trap 'kill $pid 2> /dev/null || true' EXIT
wait_for_bus $pid "$out/program.log"

# Its kid frame already holds the first document.
doc=$(gdbus call --session --dest $name --object-path /DodezAR --method dizado.Automation.GetActiveDoc |
      sed -E "s/^\(objectpath '([^']*)',\)$/\1/")
[ "$doc" != / ] || { echo "no active document in the child's copy"; exit 1; }

store="$XDG_CONFIG_HOME/dizado/registry.ini"
[ -f "$store" ] || { echo "no registry store at $store"; ls -R "$out/home"; exit 1; }
grep -qiF "shell\\open\\command" "$store" || { echo "no open command in the store:"; cat "$store"; exit 1; }
grep -qF "@=$(readlink -f "$program") " "$store" || { echo "the open command does not name the program:"; cat "$store"; exit 1; }
echo "child copy: served on the bus, open command written"
