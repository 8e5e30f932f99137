#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test; non-zero on failure.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
# Every reply parser under libFuzzer with ASan/UBSan for a few seconds.
bash scripts/fuzz.sh "${FUZZ_SECONDS:-5}"
ctest --test-dir build --output-on-failure -j"$(nproc)"
