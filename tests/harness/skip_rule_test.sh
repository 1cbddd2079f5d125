#!/usr/bin/env bash
# A test that skips fails under CI, with nothing in its output that CTest
# would take for a skip, and skips elsewhere, saying why. Two ways to be
# without: no dbus-daemon (a PATH without it: the bus test looks there before
# anything else), and root that cannot drop its privileges (no CAP_SETUID or
# CAP_SETGID) for a permission case.
# Arguments: the bus test binary, the platform test binary.
set -euo pipefail
dbus_tests=$1
platform_tests=$2
failed=0
run() {
  local how=$1 ci=$2
  case $how in
    nodbus) env -u CI ${ci:+CI=$ci} PATH=/nonexistent "$dbus_tests" \
              --gtest_filter=AutomationBusTest.ObjectsHeldAtOnceAreBounded ;;
    nosetuid) env -u CI ${ci:+CI=$ci} setpriv --bounding-set -setuid,-setgid "$platform_tests" \
                --gtest_filter=ProfileTest.AFailedWriteKeepsTheOldFile ;;
  esac
}
# How, CI's value, the exit status, a line the output must hold, one it must not.
while IFS='|' read -r how ci status line absent; do
  if [ "$how" = nosetuid ] && [ "$(id -u)" != 0 ]; then
    continue  # only root has privileges to drop
  fi
  set +e
  output=$(run "$how" "$ci" 2>&1)
  got=$?
  set -e
  if [ "$got" != "$status" ] || ! grep -qF -- "$line" <<< "$output" || grep -qF -- "$absent" <<< "$output"; then
    echo "$how, CI='$ci': exit $got (wanted $status), wanted \"$line\" and not \"$absent\" in:"
    echo "$output"
    failed=1
  fi
done << 'CASES'
nodbus|true|1|Skipped under CI=true, where nothing may be missing: no dbus-daemon|[  SKIPPED ]
nodbus|1|1|[  FAILED  ] AutomationBusTest.ObjectsHeldAtOnceAreBounded|[  SKIPPED ]
nodbus||0|[  SKIPPED ] AutomationBusTest.ObjectsHeldAtOnceAreBounded|Failure
nodbus|false|0|no dbus-daemon on the PATH|Failure
nosetuid|true|1|Skipped under CI=true, where nothing may be missing: root cannot drop its privileges|[  SKIPPED ]
nosetuid||0|root cannot drop its privileges|Failure
CASES
exit $failed
