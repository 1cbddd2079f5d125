#!/usr/bin/env bash
# Builds the benchmarks in release mode and runs them, then the figures of
# the real program process (scripts/process_bench.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh

build_dir=${BUILD_DIR:-build-bench}
# Every setting that changes the figures is given, so that none is left over
# from an earlier configuration of the folder (a sanitized build runs several
# times slower).
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DDIZADO_SANITIZE=OFF -DDIZADO_TESTS=OFF \
  -DDIZADO_BENCHMARKS=ON
cmake --build "$build_dir" --target dizado_benchmarks dizado dizado_kits dizado_bare_window dizado_map_timer \
  dizado_bus_client
# The benchmarks draw on the layer's own images and need no screen.
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$build_dir/benchmarks/dizado_benchmarks" "$@"
# Then the real program, as a user starts it and another program drives it.
scripts/process_bench.sh "$build_dir"
