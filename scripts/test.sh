#!/usr/bin/env bash
# Installs what is needed, builds, runs every test and says how many were
# skipped and why, then runs every benchmark once in its quick form (times
# printed, not judged); non-zero on a failed test or benchmark, and on any
# compiler warning in a build it made.
# SANITIZE=1: builds everything with AddressSanitizer and UBSan into
# build-sanitize/ instead and runs every test and benchmark there.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

# Fails when a build log holds a warning.
no_warnings() {
    if grep -q "warning:" "$1"; then
        grep "warning:" "$1" >&2
        echo "test: the build printed warnings (log: $1)" >&2
        exit 1
    fi
}

# Runs every test of a build folder; then says how many ctest tests and
# QtTest functions or data rows were skipped, grouped by the reason given,
# and runs the benchmarks. Exits non-zero when a test failed.
run_tests() {
    local build=$1 rc=0
    # Whole outputs in the JUnit file: QtTest's SKIP lines are in them.
    ctest --test-dir "$build" --output-on-failure -j"$(nproc)" --output-junit ctest-junit.xml \
        --test-output-size-passed 4000000 --test-output-size-failed 4000000 || rc=$?
    skipped_summary "$build/ctest-junit.xml"
    [ "$rc" -eq 0 ] || exit "$rc"
    bash scripts/bench.sh "$build" --quick
}

skipped_summary() {
    local junit=$1 tests rows
    [ -f "$junit" ] || return 0
    tests=$(grep -c '<skipped' "$junit" || true)
    rows=$(grep -c '^SKIP   : ' "$junit" || true)
    if [ "$tests" -eq 0 ] && [ "$rows" -eq 0 ]; then
        echo "test: nothing skipped"
        return
    fi
    [ "$tests" -eq 0 ] || echo "test: $tests ctest test(s) skipped"
    [ "$rows" -eq 0 ] || echo "test: $rows test function(s) or data row(s) skipped:"
    # "SKIP   : Class::function(row) reason": one line per reason, with its count.
    grep '^SKIP   : ' "$junit" | sed -E 's/^SKIP   : [^ (]+(\([^)]*\))? //' |
        sed -e 's/&lt;/</g; s/&gt;/>/g; s/&quot;/"/g' -e "s/&apos;/'/g" -e 's/&amp;/\&/g' |
        sort | uniq -c | sort -rn | sed -E 's/^ *([0-9]+) /  \1: /'
}

if [ "${SANITIZE:-0}" = 1 ]; then
    mkdir -p build-sanitize
    cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVESK_SANITIZE=ON >/dev/null
    cmake --build build-sanitize -j"$(nproc)" 2>&1 | tee build-sanitize/build.log
    no_warnings build-sanitize/build.log
    # No fuzz step here: the fuzz targets already run under both sanitizers
    # in the plain pass.
    run_tests build-sanitize
    exit 0
fi
mkdir -p build
bash scripts/build.sh 2>&1 | tee build/build.log
no_warnings build/build.log
# Every reply parser under libFuzzer with ASan/UBSan for a few seconds.
bash scripts/fuzz.sh "${FUZZ_SECONDS:-5}"
no_warnings "${FUZZ_BUILD_DIR:-build-fuzz}/build.log"
run_tests build
