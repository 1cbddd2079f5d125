#!/usr/bin/env bash
# Builds dizado and starts it from the build's program folder on the model
# named on the command line (a path as seen from where the script was
# started), or on a new one. Needs a display: a desktop, or Xvfb with DISPLAY
# set.
set -euo pipefail
caller=$PWD
cd "$(dirname "$0")/.."
scripts/setup-debian.sh

build_dir=${BUILD_DIR:-build}
# Only the program is built; the folder's other settings (the tests, the
# sanitizers) are left as scripts/test.sh or the developer chose them.
cmake -S . -B "$build_dir" -G Ninja
cmake --build "$build_dir" --target dizado
program="$(cd "$build_dir/program" && pwd)/dizado"
cd "$caller"
exec "$program" "$@"
