#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test; non-zero on failure.
# SANITIZE=1: builds everything with AddressSanitizer and UBSan into
# build-sanitize/ instead and runs every test there.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
if [ "${SANITIZE:-0}" = 1 ]; then
    cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVESK_SANITIZE=ON >/dev/null
    cmake --build build-sanitize -j"$(nproc)"
    # No fuzz step here: the fuzz targets already run under both sanitizers
    # in the plain pass.
    ctest --test-dir build-sanitize --output-on-failure -j"$(nproc)"
    exit 0
fi
bash scripts/build.sh
# Every reply parser under libFuzzer with ASan/UBSan for a few seconds.
bash scripts/fuzz.sh "${FUZZ_SECONDS:-5}"
ctest --test-dir build --output-on-failure -j"$(nproc)"
