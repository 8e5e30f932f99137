#!/usr/bin/env bash
# Installs what is needed, builds the program alone (not the tests and
# benchmarks, so that its window comes sooner) and starts it in run/, where
# it keeps its config.ini.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh --target vesk
mkdir -p run
cd run
exec ../build/app/vesk "$@"
