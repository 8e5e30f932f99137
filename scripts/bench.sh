#!/usr/bin/env bash
# Runs every benchmark under bench/ once from a build folder and prints its
# figures. Times are only printed, never judged: a benchmark exits non-zero
# only when what it measured came out wrong, and then so does this script,
# as it does when a benchmark is missing, crashes or runs past its limit.
# Usage: scripts/bench.sh [build-folder] [--quick]   (default build)
# --quick runs the short form of those that have one (bench_scan,
# bench_parsers, bench_inifile; the rest are quick already): about 25 s,
# about 3 minutes in a sanitizer build.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=build
quick=()
for arg in "$@"; do
    case "$arg" in
        --quick) quick=(--quick) ;;
        *) build=$arg ;;
    esac
done
case "$build" in /*) ;; *) build=$root/$build ;; esac

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/runtime" "$work/home"
chmod 700 "$work/runtime"
failed=()
for dir in bench/*/; do
    name=$(basename "$dir")
    [ -f "$dir/CMakeLists.txt" ] || continue
    bin=$build/bench/$name/bench_$name
    echo "---- bench_$name ${quick[*]}"
    start=$SECONDS
    if [ ! -x "$bin" ]; then
        echo "bench: $bin is not built" >&2
        failed+=("bench_$name")
        continue
    fi
    # Off the user's display, settings and folders, like the tests, and with
    # the tests' sanitizer options for a sanitizer build.
    (cd "$work" && QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work/runtime" HOME="$work/home" \
        XDG_CONFIG_HOME="$work/home/.config" http_proxy= HTTP_PROXY= \
        ASAN_OPTIONS=fast_unwind_on_malloc=0 UBSAN_OPTIONS=print_stacktrace=1 \
        LSAN_OPTIONS="suppressions=$root/tests/sanitizer/lsan.supp:print_suppressions=0" \
        timeout 900 "$bin" "${quick[@]}")
    rc=$?
    echo "(bench_$name: $((SECONDS - start)) s)"
    if [ "$rc" -ne 0 ]; then
        echo "bench: bench_$name failed (exit $rc)" >&2
        failed+=("bench_$name")
    fi
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "bench: ${#failed[@]} benchmark(s) failed: ${failed[*]}" >&2
    exit 1
fi
