#!/usr/bin/env bash
# The figures of the real program seen from outside: start-up to the sign-in,
# the idle cost of a blinking selection, and calls over the session bus.
# Arguments: the build folder (configured with the benchmarks) and, for a
# short run that only shows every figure still works, --quick.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1
if [ "${2:-}" = "--quick" ]; then
  scripts/startup_bench.sh "$build" 2
  scripts/idle_bench.sh "$build" 2
  scripts/bus_bench.sh "$build" 500
else
  scripts/startup_bench.sh "$build" 10
  scripts/idle_bench.sh "$build" 30
  scripts/bus_bench.sh "$build" 10000
fi
