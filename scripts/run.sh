#!/usr/bin/env bash
# Builds dizado and starts it from the build's program folder.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh

build_dir=${BUILD_DIR:-build}
# Only the program is built; the folder's other settings (the tests, the
# sanitizers) are left as scripts/test.sh or the developer chose them.
cmake -S . -B "$build_dir" -G Ninja
cmake --build "$build_dir" --target dizado
exec "$build_dir/program/dizado" "$@"
