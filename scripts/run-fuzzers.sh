#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer + UBSan) and runs
# them. Fails when a target finds a crash, a leak, a timeout or a sanitizer
# report; the input that did it is kept under build/fuzz/artifacts/ (a
# regression input in tests/fuzz/corpus/ should come from it).
#
#   scripts/run-fuzzers.sh [SECONDS_PER_TARGET] [--jobs N]
#       CI's short run (default $MG_FUZZ_SECONDS or 60): each target in turn
#       from its committed seed corpus, in N processes at once (default: one
#       per core); new inputs go to a scratch folder.
#   scripts/run-fuzzers.sh --campaign HOURS [--jobs N]
#       A long run: every target at once for HOURS (fractions allowed), N
#       processes each (default 1), over a corpus that grows from run to run
#       under $MG_FUZZ_CACHE (default ~/.cache/marrow-grit/fuzz). Afterwards
#       each corpus is merged down to the inputs that add coverage, and a
#       table gives executions, coverage (cov, ft) and crashes per target.
#       Crashing inputs are minimised into build/fuzz/artifacts/.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
"$(dirname "$0")/install-fuzz-tools.sh"
cd "$(mg_root_dir)"
export CCACHE_DIR=${CCACHE_DIR:-$HOME/.cache/ccache}

campaign_hours=
jobs=
seconds=${MG_FUZZ_SECONDS:-60}
while [ $# -gt 0 ]; do
  case "$1" in
    --campaign) campaign_hours=$2; shift 2 ;;
    --jobs) jobs=$2; shift 2 ;;
    -h|--help) sed -n '2,18p' "$0"; exit 0 ;;
    *) seconds=$1; shift ;;
  esac
done

# Each target: name, longest input, dictionary (or -).
# An image of a few kilobytes may legally inflate to a 64-Mpixel bitmap,
# which takes seconds to decode under the sanitizers: hence the long timeout.
targets=(
  "dispatcher 4096 -"
  "state 4096 tests/fuzz/state.dict"
  "images 16384 -"
  "text_entry 64 tests/fuzz/text-entry.dict"
  "command_line 512 -"
  "preset 4096 -"
  "lv2_run 4096 -"
  "clap 4096 -"
  "vst3 4096 -"
)

started=$SECONDS
mg_build_quietly fuzz fuzzers
echo "fuzz targets built in $((SECONDS - started)) s"

root=$PWD
bin=build/fuzz/bin
# The LV2 target needs the LV2 headers; a machine without them skips it.
built=()
for entry in "${targets[@]}"; do
  if [ -x "$bin/fuzz_${entry%% *}" ]; then built+=("$entry"); else echo "fuzz_${entry%% *}: not built here, skipped"; fi
done
targets=("${built[@]}")
artifacts=build/fuzz/artifacts
mkdir -p "$artifacts"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Inputs click the editor's size menu, and a pick is saved in the user's
# settings: keep those in the run's own folder, not the user's.
export XDG_CONFIG_HOME=$work/config
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:symbolize=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

# Options shared by both modes for target $1 with max length $2 and dictionary $3.
fuzz_options() {
  local options=(-timeout=60 -rss_limit_mb=2048 -max_len="$2" -print_final_stats=1
                 -artifact_prefix="$artifacts/$1-")
  [ "$3" != - ] && options+=(-dict="$3")
  echo "${options[@]}"
}

# The jobs' own logs: the main process repeats them in its own.
executions() { sed -n 's/^stat::number_of_executed_units: *\([0-9]*\).*/\1/p' "$@" | awk '{s += $1} END {print s + 0}'; }
# The last coverage figures a log reports.
coverage() { grep -ho 'cov: [0-9]* ft: [0-9]*' "$@" | tail -n 1 | awk '{print $2, $4}'; }

if [ -z "$campaign_hours" ]; then
  jobs=${jobs:-$(nproc)}
  total=0
  failed=0
  for entry in "${targets[@]}"; do
    read -r target max_len dict <<<"$entry"
    mkdir -p "$work/$target" "$work/$target-logs"
    [ "$dict" != - ] && dict=$root/$dict
    log=$work/$target.log
    status=ok
    # Jobs write their logs (fuzz-N.log) into the folder they start in.
    # shellcheck disable=SC2046
    if ! (cd "$work/$target-logs" && exec "$root/$bin/fuzz_$target" "$work/$target" "$root/tests/fuzz/corpus/$target" \
        -max_total_time="$seconds" -jobs="$jobs" -workers="$jobs" \
        $(artifacts=$root/$artifacts fuzz_options "$target" "$max_len" "$dict")) >"$log" 2>&1; then
      status=FAILED
      failed=1
      tail -n 80 "$log" "$work/$target-logs"/fuzz-*.log >&2
    fi
    runs=$(executions "$work/$target-logs"/fuzz-*.log 2>/dev/null)
    total=$((total + runs))
    echo "fuzz_$target: $runs executions in ${seconds} s ($((runs / seconds))/s), $status"
  done
  echo "fuzzing: $total executions in all, $((SECONDS - started)) s with the build"
  exit "$failed"
fi

# ---- campaign ----
jobs=${jobs:-1}
cache=${MG_FUZZ_CACHE:-$HOME/.cache/marrow-grit/fuzz}
seconds=$(awk -v h="$campaign_hours" 'BEGIN {printf "%d", h * 3600}')
echo "campaign: ${#targets[@]} targets x $jobs jobs for $seconds s; corpora in $cache"
pids=()
for entry in "${targets[@]}"; do
  read -r target max_len dict <<<"$entry"
  corpus=$cache/corpus/$target
  mkdir -p "$corpus" "$work/$target-logs"
  [ "$dict" != - ] && dict=$root/$dict
  # Jobs write their logs (fuzz-N.log) into the folder they start in.
  # shellcheck disable=SC2046
  (cd "$work/$target-logs" && exec "$root/$bin/fuzz_$target" "$corpus" "$root/tests/fuzz/corpus/$target" \
      -max_total_time="$seconds" -jobs="$jobs" -workers="$jobs" \
      $(artifacts=$root/$artifacts fuzz_options "$target" "$max_len" "$dict")) >"$work/$target.log" 2>&1 &
  pids+=($!)
done
failed=0
for pid in "${pids[@]}"; do wait "$pid" || failed=1; done

printf '%-14s %12s %8s %8s %8s %8s\n' target executions cov ft corpus crashes
grand=0
for entry in "${targets[@]}"; do
  read -r target max_len dict <<<"$entry"
  corpus=$cache/corpus/$target
  logs=("$work/$target-logs"/fuzz-*.log)
  runs=$(executions "${logs[@]}" 2>/dev/null || echo 0)
  grand=$((grand + runs))
  # Keep only the inputs that add coverage.
  merged=$cache/merged-$target
  rm -rf "$merged" && mkdir -p "$merged"
  "$bin/fuzz_$target" -merge=1 "$merged" "$corpus" -max_len="$max_len" -timeout=60 -rss_limit_mb=2048 \
      >"$work/$target-merge.log" 2>&1 && { rm -rf "$corpus"; mv "$merged" "$corpus"; }
  read -r cov ft <<<"$(coverage "$work/$target-merge.log" "${logs[@]}" 2>/dev/null || echo '- -')"
  crashes=0
  for crash in "$artifacts/$target-"*; do
    [ -e "$crash" ] || continue
    case "$crash" in *.min) continue ;; esac
    crashes=$((crashes + 1))
    "$bin/fuzz_$target" -minimize_crash=1 -runs=20000 -exact_artifact_path="$crash.min" "$crash" \
        >/dev/null 2>&1 || true
  done
  printf '%-14s %12s %8s %8s %8s %8s\n' "fuzz_$target" "$runs" "${cov:--}" "${ft:--}" \
      "$(find "$corpus" -type f | wc -l)" "$crashes"
done
echo "campaign: $grand executions in all"
[ "$failed" -eq 0 ] || echo "campaign: a target stopped early; see the crashes above and $artifacts" >&2
exit "$failed"
