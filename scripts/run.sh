#!/usr/bin/env bash
# Builds dizado and starts it from the build's program folder.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh

build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja -DDIZADO_TESTS=OFF
cmake --build "$build_dir" --target dizado
exec "$build_dir/program/dizado" "$@"
