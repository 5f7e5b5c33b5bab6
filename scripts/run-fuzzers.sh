#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer + UBSan) and runs each
# for a bounded time from its committed seed corpus, printing the executions
# per target and in all. Fails when a target finds a crash, a leak, a timeout
# or a sanitizer report; the input that did it is kept under
# build/fuzz/artifacts/ (a regression test should come from it).
#
#   scripts/run-fuzzers.sh [SECONDS_PER_TARGET]     (default $MG_FUZZ_SECONDS or 60)
#
# New inputs found on the way go to a scratch folder, not into the corpus.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
"$(dirname "$0")/install-fuzz-tools.sh"
cd "$(mg_root_dir)"
export CCACHE_DIR=${CCACHE_DIR:-$HOME/.cache/ccache}

seconds=${1:-${MG_FUZZ_SECONDS:-60}}
started=$SECONDS
mg_build_quietly fuzz fuzzers
echo "fuzz targets built in $((SECONDS - started)) s"

bin=build/fuzz/bin
artifacts=build/fuzz/artifacts
mkdir -p "$artifacts"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:symbolize=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

total=0
failed=0
for target in dispatcher state images preset; do
  # An image of a few kilobytes may legally inflate to a 64-Mpixel bitmap,
  # which takes seconds to decode under the sanitizers: hence the long timeout.
  max_len=4096
  [ "$target" = images ] && max_len=16384
  mkdir -p "$work/$target"
  log=$work/$target.log
  status=ok
  if ! "$bin/fuzz_$target" "$work/$target" "tests/fuzz/corpus/$target" \
      -max_total_time="$seconds" -timeout=60 -rss_limit_mb=2048 -max_len="$max_len" \
      -print_final_stats=1 -artifact_prefix="$artifacts/$target-" >"$log" 2>&1; then
    status=FAILED
    failed=1
    tail -n 80 "$log" >&2
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *\([0-9]*\).*/\1/p' "$log" | tail -n 1)
  runs=${runs:-0}
  total=$((total + runs))
  echo "fuzz_$target: $runs executions in ${seconds} s, $status"
done
echo "fuzzing: $total executions in all, $((SECONDS - started)) s with the build"
exit "$failed"
