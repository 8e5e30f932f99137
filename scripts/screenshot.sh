#!/usr/bin/env bash
# Retakes docs/screenshot.png: the main window after a scan of the test
# fixtures, served locally (no internet), on a virtual X display.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target vesk_screenshot
mkdir -p docs
VESK_TEST_DATA="$PWD/tests/data" http_proxy= HTTP_PROXY= \
    xvfb-run -a -s "-screen 0 1280x800x24" build/tests/app/shell/vesk_screenshot docs/screenshot.png
