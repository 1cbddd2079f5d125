#!/usr/bin/env bash
# Calls that would show a message box while no window of the program is on the
# screen (here the offscreen platform, where no one sees anything) answer at
# once with the message as their error; files that are no files are refused
# at once; thousands of calls sent without waiting leave the program running;
# a second copy started for automation says that one already serves.
# Run inside dbus-run-session. Arguments: the program, the pipelining client,
# a folder for the run.
set -euo pipefail
program=$1
client=$2
out=$3
source "$(dirname "$0")/private_home.sh"
private_home "$out" offscreen

name=dizado.DodezAR
"$program" -Automation > "$out/program.log" 2>&1 &
pid=$!
trap 'kill $pid 2> /dev/null || true' EXIT
gdbus wait --session --timeout 20 $name || { echo "the program took no bus name:"; cat "$out/program.log"; exit 1; }

# Answers within 5 s or gdbus gives up; prints the reply or the error.
call() {  # object, method, arguments...
  local object=$1 method=$2
  shift 2
  gdbus call --session --timeout 5 --dest $name --object-path "$object" --method "dizado.Automation.$method" "$@" 2>&1
}
path() { sed -E "s/^\(objectpath '([^']*)',\)$/\1/"; }

fifo="$out/model.brk"
mkfifo "$fifo"
# method, argument, what the error must say
cases=(
  "TestFunc|hello there|hello there"
  "Open|$out/missing.brk|missing.brk: the file was not found"
  "Open|$fifo|model.brk: it is no ordinary file"
  "Open|/dev/zero|/dev/zero: it is no ordinary file"
  "Open|/dev/urandom|/dev/urandom: it is no ordinary file"
  "Open|/proc/self/environ|environ: it is no ordinary file"
)
for entry in "${cases[@]}"; do
  IFS='|' read -r method argument says <<< "$entry"
  answer=$(call /DodezAR "$method" "$argument" || true)
  grep -q "dizado.Error.Message" <<< "$answer" || { echo "$method $argument: no message as the answer: $answer"; exit 1; }
  grep -qF "$says" <<< "$answer" || { echo "$method $argument: the answer does not say $says: $answer"; exit 1; }
  grep -qF "$says" "$out/program.log" || { echo "$method $argument: nothing on standard error"; exit 1; }
  # Nothing was opened in its place.
  [ "$(call /DodezAR GetActiveDoc | path)" = / ] || { echo "$method $argument left a document"; exit 1; }
done
answer=$(call /DodezAR TCFunction -- 7 8 "first" || true)
grep -q "Message: first$" <<< "$answer" && grep -qx "P1 = 5D- P2 = 7" <<< "$answer" || { echo "TCFunction did not answer both boxes: $answer"; exit 1; }

# With a document the refusals are the same, and the document stays active.
doc=$(call /DodezAR NewDoc | path)
[ "$doc" != / ] || { echo "no new document"; exit 1; }
answer=$(call /DodezAR Open "/dev/zero" || true)
grep -q "dizado.Error.Message" <<< "$answer" || { echo "/dev/zero over a document: $answer"; exit 1; }
[ "$(call /DodezAR GetActiveDoc | path)" = "$doc" ] || { echo "the document did not stay"; exit 1; }

# Thousands at once, each answered in turn.
"$client" 4000 60 > "$out/pipelined.log" || { echo "not every pipelined call was answered"; tail -3 "$out/pipelined.log"; exit 1; }
kill -0 $pid 2> /dev/null || { echo "the program ended under pipelined calls:"; tail "$out/program.log"; exit 1; }
[ "$(head -n 1 "$out/pipelined.log")" = "1 error dizado.Error.Message: 1" ] || { echo "first answer: $(head -n 1 "$out/pipelined.log")"; exit 1; }
[ "$(tail -n 1 "$out/pipelined.log")" = "4000 error dizado.Error.Message: 4000" ] || { echo "last answer: $(tail -n 1 "$out/pipelined.log")"; exit 1; }

# A second copy while this one serves.
set +e
timeout 20 "$program" -Automation > "$out/second.log" 2>&1
code=$?
set -e
[ $code -ne 0 ] && [ $code -ne 124 ] || { echo "the second copy answered $code"; exit 1; }
grep -q "already running" "$out/second.log" || { echo "the second copy said nothing:"; cat "$out/second.log"; exit 1; }
kill -0 $pid 2> /dev/null || { echo "the first copy ended"; exit 1; }
echo "unattended calls answered at once"
