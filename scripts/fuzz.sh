#!/usr/bin/env bash
# Fuzzes the readers of untrusted bytes (tests/fuzz) with libFuzzer:
#
#   scripts/fuzz.sh [target|all] [seconds per target]     (default: all 60)
#
# Builds them with clang in a folder of their own (BUILD_DIR, default
# build-fuzz), makes the seeds from the test fixtures and runs the targets
# FUZZ_JOBS at a time (default: half the processors). Each target grows its
# corpus in <build>/fuzz/corpus/<target>; an input that fails lands in
# <build>/fuzz/artifacts/<target>/ and belongs, once mended, in
# tests/fuzz/regressions/<target>/. Fails when any target failed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh --fuzz

which=${1:-all}
seconds=${2:-60}
build_dir=${BUILD_DIR:-build-fuzz}
jobs=${FUZZ_JOBS:-$(( ($(nproc) + 1) / 2 ))}
case $seconds in ''|*[!0-9]*) echo "seconds must be a whole number: $seconds" >&2; exit 2 ;; esac

CC=clang CXX=clang++ cmake -S . -B "$build_dir" -G Ninja -DDIZADO_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build_dir" --target dizado_fuzz

fuzz_dir=$build_dir/fuzz
mapfile -t all < <(find "$fuzz_dir" -maxdepth 1 -type f -name 'fuzz_*' -executable -printf '%f\n' | sed 's/^fuzz_//' | sort)
if [ "$which" = all ]; then
  targets=("${all[@]}")
elif [ -x "$fuzz_dir/fuzz_$which" ]; then
  targets=("$which")
else
  echo "no fuzz target '$which'; there are: ${all[*]}" >&2
  exit 2
fi

export QT_QPA_PLATFORM=offscreen
# The targets' scratch files; libFuzzer ends a run without cleaning up.
export TMPDIR=$fuzz_dir/tmp
rm -rf "$TMPDIR"
mkdir -p "$TMPDIR"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

run_one() {
  local name=$1
  local corpus=$fuzz_dir/corpus/$name artifacts=$fuzz_dir/artifacts/$name
  mkdir -p "$corpus" "$artifacts" "$fuzz_dir/logs"
  local status=0
  "$fuzz_dir/fuzz_$name" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$artifacts/" "$corpus" "$fuzz_dir/seeds/$name" >"$fuzz_dir/logs/$name.log" 2>&1 || status=$?
  echo "$status" >"$fuzz_dir/logs/$name.status"
}

echo "Fuzzing ${targets[*]} for ${seconds} s each, $jobs at a time"
for name in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do
    wait -n || true
  done
  run_one "$name" &
done
wait
rm -rf "$TMPDIR"

failed=0
for name in "${targets[@]}"; do
  log=$fuzz_dir/logs/$name.log
  status=$(cat "$fuzz_dir/logs/$name.status")
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n1)
  coverage=$(grep -Eo 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -n1 || true)
  if [ "$status" = 0 ]; then
    printf '%-16s ok      %10s runs  %s\n' "$name" "${runs:-?}" "$coverage"
  else
    printf '%-16s FAILED  %10s runs  %s  (see %s)\n' "$name" "${runs:-?}" "$coverage" "$log"
    grep -E 'ERROR|SUMMARY|runtime error|check failed|Test unit written' "$log" | head -n 8 | sed 's/^/    /'
    failed=1
  fi
done
exit $failed
