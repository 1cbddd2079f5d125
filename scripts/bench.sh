#!/usr/bin/env bash
# Builds the benchmarks in release mode and runs them.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh

build_dir=${BUILD_DIR:-build-bench}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DDIZADO_TESTS=OFF -DDIZADO_BENCHMARKS=ON
cmake --build "$build_dir" --target dizado_benchmarks
"$build_dir/benchmarks/dizado_benchmarks" "$@"
