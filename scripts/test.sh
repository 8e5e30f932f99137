#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test; non-zero on failure,
# and on any compiler warning in a build it made.
# SANITIZE=1: builds everything with AddressSanitizer and UBSan into
# build-sanitize/ instead and runs every test there.
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

if [ "${SANITIZE:-0}" = 1 ]; then
    mkdir -p build-sanitize
    cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVESK_SANITIZE=ON >/dev/null
    cmake --build build-sanitize -j"$(nproc)" 2>&1 | tee build-sanitize/build.log
    no_warnings build-sanitize/build.log
    # No fuzz step here: the fuzz targets already run under both sanitizers
    # in the plain pass.
    ctest --test-dir build-sanitize --output-on-failure -j"$(nproc)"
    exit 0
fi
mkdir -p build
bash scripts/build.sh 2>&1 | tee build/build.log
no_warnings build/build.log
# Every reply parser under libFuzzer with ASan/UBSan for a few seconds.
bash scripts/fuzz.sh "${FUZZ_SECONDS:-5}"
no_warnings "${FUZZ_BUILD_DIR:-build-fuzz}/build.log"
ctest --test-dir build --output-on-failure -j"$(nproc)"
