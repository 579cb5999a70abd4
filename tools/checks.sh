#!/usr/bin/env bash
# The checks beyond the plain test suite, run by `tools/bootstrap.sh test` after it: the
# formatting of the C++ files, a short differential fuzz run, then the whole suite again under
# AddressSanitizer and UndefinedBehaviorSanitizer. QUORVANE_FUZZ_SECONDS sets the fuzz time (default 60, 0 skips it);
# QUORVANE_SANITIZE=0 skips the sanitizer build.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${QUORVANE_JOBS:-2}

echo "== Formatting =="
tools/check-format.sh

fuzz_seconds=${QUORVANE_FUZZ_SECONDS:-60}
if [ "$fuzz_seconds" != 0 ]; then
    echo "== Differential fuzzing for $fuzz_seconds s =="
    tools/fuzz.sh "$fuzz_seconds"
fi

if [ "${QUORVANE_SANITIZE:-1}" != 0 ]; then
    echo "== Test suite under AddressSanitizer and UndefinedBehaviorSanitizer =="
    cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DQUORVANE_SANITIZE=address,undefined -DQUORVANE_BENCH=OFF >/dev/null
    cmake --build build-sanitize -j "$jobs"
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
    export LSAN_OPTIONS=suppressions=$PWD/tools/lsan.supp:print_suppressions=0
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    QT_QPA_PLATFORM=offscreen ctest --test-dir build-sanitize --output-on-failure -j "$jobs"
fi
