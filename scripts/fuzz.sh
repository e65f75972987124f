#!/usr/bin/env bash
# Builds one fuzz target (libFuzzer, with AddressSanitizer and UndefinedBehaviorSanitizer) in
# its own clang build and runs it for a while: first every seed of fuzz/corpus/TARGET (so a
# crash found before, kept there, is tried again), then new inputs.
#
#   scripts/fuzz.sh TARGET MINUTES   run TARGET for MINUTES (a fraction such as 0.5 is allowed)
#   scripts/fuzz.sh --list           the targets
#
# New inputs that reach new code are kept in build-fuzz/corpus/TARGET, crashes in
# build-fuzz/crashes/TARGET; the seeds in the repository are only read. Exit status 0 when the
# run found nothing, 1 when it found a crash (the input is named in the output).
set -euo pipefail
cd "$(dirname "$0")/.."

targets=(jet_sql format_dates entry_rules report_definition csv_output jet_reader)
build=${VELMORA_FUZZ_BUILD:-build-fuzz}

usage() {
    echo "usage: scripts/fuzz.sh TARGET MINUTES | --list" >&2
    echo "targets: ${targets[*]}" >&2
    exit 2
}

if [ "${1:-}" = "--list" ]; then
    printf '%s\n' "${targets[@]}"
    exit 0
fi
[ $# -eq 2 ] || usage
target=$1
minutes=$2
printf '%s\n' "${targets[@]}" | grep -qx -- "$target" || usage
seconds=$(awk -v m="$minutes" 'BEGIN { if (m !~ /^[0-9]*\.?[0-9]+$/) exit 1; s = int(m * 60 + 0.5); print (s < 1 ? 1 : s) }') ||
    usage

command -v clang++ >/dev/null || {
    echo "fuzz.sh: clang++ is needed (bash scripts/deps.sh installs it)" >&2
    exit 1
}
if [ ! -f "$build/CMakeCache.txt" ]; then
    # -O1, as libFuzzer's documentation builds its targets; line tables (-g1) are enough for
    # the stack trace of a crash.
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" \
        -DCMAKE_CXX_COMPILER=clang++ -DVELMORA_FUZZ=ON \
        -DVELMORA_BUILD_TESTS=OFF -DVELMORA_BUILD_BENCH=OFF >/dev/null
fi
jobs=$(nproc 2>/dev/null || echo 2)
cmake --build "$build" -j "$jobs" --target "fuzz_$target"

corpus="$build/corpus/$target"
crashes="$build/crashes/$target"
mkdir -p "$corpus" "$crashes"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:symbolize=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
export QT_QPA_PLATFORM=offscreen

echo "== fuzz_$target for $seconds s =="
log="$crashes/last-run.log"
status=0
"$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
    -max_len=65536 -print_final_stats=1 -artifact_prefix="$crashes/" \
    "$corpus" "fuzz/corpus/$target" >"$log" 2>&1 || status=$?
grep -E '^(#[0-9]+ +DONE|stat::number_of_executed_units|stat::peak_rss_mb|Done [0-9]+ runs)' "$log" || true
if [ "$status" -ne 0 ]; then
    tail -60 "$log" >&2
    echo "fuzz.sh: fuzz_$target found a problem (exit status $status); the input is in $crashes/." >&2
    echo "Run it again with: $build/fuzz/fuzz_$target INPUT" >&2
    exit 1
fi
