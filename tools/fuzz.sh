#!/usr/bin/env bash
# Differential fuzzing of the tallies: tools/fuzz.sh [SECONDS] (default 60).
# Builds the fuzz target with clang in build-fuzz, seeds a corpus with generated logs of every
# line-end style, runs libFuzzer for SECONDS and prints its final statistics. Exits non-zero
# when the run finds a difference or a crash; the input is kept in build-fuzz/findings/.
set -euo pipefail
seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUORVANE_FUZZ_BUILD:-$root/build-fuzz}
jobs=${QUORVANE_JOBS:-2}
cxx=${QUORVANE_FUZZ_CXX:-clang++}

if ! command -v "$cxx" >/dev/null; then
    echo "fuzz.sh: $cxx not found (install clang and libclang-rt-dev)" >&2
    exit 2
fi
cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER="$cxx" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$jobs" --target quorvane_fuzz_tally quorvane-loggen >/dev/null

# Seeds: small generated logs in every line-end style, as the whole input (layout byte 0)
# and read 8 bytes at a time (layout byte 4).
corpus=$build/corpus
mkdir -p "$corpus" "$build/findings"
seed=1
for eol in crlf cr lf mixed; do
    for extra in "" "--no-final-eol" "--no-header --odd 0.5"; do
        # shellcheck disable=SC2086
        "$build/tools/quorvane-loggen" --contacts 12 --seed $seed --eol $eol $extra -o "$build/seed.adi"
        { printf '\000'; cat "$build/seed.adi"; } >"$corpus/seed-$eol-$seed-whole"
        { printf '\004\007\000'; cat "$build/seed.adi"; } >"$corpus/seed-$eol-$seed-blocks"
        seed=$((seed + 1))
    done
done
# The same for the ADIF field rules (bit 3 of the layout byte), on export-style logs.
for eol in crlf lf mixed; do
    "$build/tools/quorvane-loggen" --style fields --contacts 6 --seed $seed --eol $eol -o "$build/seed.adi"
    { printf '\010'; cat "$build/seed.adi"; } >"$corpus/seed-fields-$eol-$seed-whole"
    { printf '\014\005\000'; cat "$build/seed.adi"; } >"$corpus/seed-fields-$eol-$seed-blocks"
    seed=$((seed + 1))
done
# The award tables too (bit 4), on logs with entities, dates and confirmations, and within a
# date range (bit 5: four more bytes, here from 2015-03-01 to 2019-07-01).
for eol in crlf lf; do
    "$build/tools/quorvane-loggen" --style awards --contacts 8 --seed $seed --eol $eol -o "$build/seed.adi"
    { printf '\030'; cat "$build/seed.adi"; } >"$corpus/seed-awards-$eol-$seed-whole"
    { printf '\036\005\000'; cat "$build/seed.adi"; } >"$corpus/seed-awards-$eol-$seed-fed"
    { printf '\070\132\002\136\006'; cat "$build/seed.adi"; } >"$corpus/seed-awards-$eol-$seed-range"
    seed=$((seed + 1))
done
rm -f "$build/seed.adi"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
log=$build/fuzz.log
status=0
"$build/quorvane_fuzz_tally" -max_total_time="$seconds" -max_len=8192 -timeout=20 \
    -print_final_stats=1 -artifact_prefix="$build/findings/" "$corpus" >"$log" 2>&1 || status=$?
# The last progress line (executions, coverage) and the final statistics.
grep -E '^#[0-9]+' "$log" | tail -n 1 || true
grep -E '^stat::' "$log" || true
if [ "$status" != 0 ]; then
    echo "fuzz.sh: the fuzz target failed (status $status); see $log and $build/findings/" >&2
    tail -n 40 "$log" >&2
    exit 1
fi
