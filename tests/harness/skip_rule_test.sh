#!/usr/bin/env bash
# A test that skips for a missing tool fails the binary under CI and is told
# as skipped elsewhere. dbus-daemon is hidden by an empty PATH: the bus test
# looks for it there before anything else.
# Arguments: the bus test binary.
set -euo pipefail
binary=$1
filter=--gtest_filter=AutomationBusTest.ObjectsHeldAtOnceAreBounded
failed=0
# CI's value, the binary's exit status, a line its output must hold.
while IFS='|' read -r ci status line; do
  set +e
  output=$(env -u CI ${ci:+CI=$ci} PATH=/nonexistent "$binary" "$filter" 2>&1)
  got=$?
  set -e
  if [ "$got" != "$status" ] || ! grep -qF -- "$line" <<< "$output"; then
    echo "CI='$ci': exit $got (wanted $status), wanted a line \"$line\" in:"
    echo "$output"
    failed=1
  fi
  if [ "$status" != 0 ] && grep -qF "dizado: skipped, as CI is not true" <<< "$output"; then
    echo "CI='$ci': the failing run still says it skipped"
    failed=1
  fi
done << 'CASES'
true|1|Skipped under CI=true, where nothing may be missing: no dbus-daemon
1|1|1 test(s) skipped under CI=true: the run fails
|0|dizado: skipped, as CI is not true: no dbus-daemon
false|0|dizado: skipped, as CI is not true
CASES
exit $failed
