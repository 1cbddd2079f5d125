#!/usr/bin/env bash
# A test that skips for a missing tool fails under CI, with nothing in its
# output that CTest would take for a skip, and skips elsewhere, saying why.
# dbus-daemon is hidden by a PATH without it: the bus test looks for it there
# before anything else.
# Arguments: the bus test binary.
set -euo pipefail
binary=$1
filter=--gtest_filter=AutomationBusTest.ObjectsHeldAtOnceAreBounded
failed=0
# CI's value, the binary's exit status, a line its output must hold, one it must not.
while IFS='|' read -r ci status line absent; do
  set +e
  output=$(env -u CI ${ci:+CI=$ci} PATH=/nonexistent "$binary" "$filter" 2>&1)
  got=$?
  set -e
  if [ "$got" != "$status" ] || ! grep -qF -- "$line" <<< "$output" || grep -qF -- "$absent" <<< "$output"; then
    echo "CI='$ci': exit $got (wanted $status), wanted \"$line\" and not \"$absent\" in:"
    echo "$output"
    failed=1
  fi
done << 'CASES'
true|1|Skipped under CI=true, where nothing may be missing: no dbus-daemon|[  SKIPPED ]
1|1|[  FAILED  ] AutomationBusTest.ObjectsHeldAtOnceAreBounded|[  SKIPPED ]
|0|[  SKIPPED ] AutomationBusTest.ObjectsHeldAtOnceAreBounded|Failure
false|0|no dbus-daemon on the PATH|Failure
CASES
exit $failed
