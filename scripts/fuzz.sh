#!/usr/bin/env bash
# Builds the fuzz targets of every reader of untrusted text: the reply
# parsers, the settings file and the seat-history readers (clang, libFuzzer,
# ASan, UBSan), and runs each for a bounded time on inputs up to 256 KiB;
# prints executions and crashes per target and exits non-zero when any
# target crashed, hung or ran out of memory.
# Usage: scripts/fuzz.sh [seconds-per-target]   (default 60)
# Env:   FUZZ_BUILD_DIR (default build-fuzz), FUZZ_JOBS (default 4)
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
seconds=${1:-60}
build=${FUZZ_BUILD_DIR:-build-fuzz}
jobs=${FUZZ_JOBS:-4}
fuzz_src=tests/fuzz/standalone
fixtures=tests/data/providers
real=../shared/real-replies

if ! command -v clang++ >/dev/null; then
    echo "fuzz: clang++ is not installed" >&2
    exit 2
fi
mkdir -p "$build"
cmake -S "$fuzz_src" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    >"$build/configure.log" 2>&1 || { cat "$build/configure.log" >&2; exit 2; }
cmake --build "$build" -j"$jobs" >"$build/build.log" 2>&1 || { tail -40 "$build/build.log" >&2; exit 2; }

case "$build" in /*) kept=$build/artifacts ;; *) kept=$root/$build/artifacts ;; esac
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Seeds: the fixture replies as the services send them (GBK), every
# captured real reply where they are present (a fresh clone has none), and
# the target's own inputs kept in $fuzz_src/seeds/<target> as they are.
seed() {
    local dir=$work/seeds/$1
    mkdir -p "$dir"
    cp "$fuzz_src/seeds/$1"/* "$dir/" 2>/dev/null
    shift
    local f
    for f in "$@" "$real"/*; do
        [ -f "$f" ] || continue
        [ "$(basename "$f")" = SOURCES.md ] && continue
        iconv -f UTF-8 -t GBK "$f" >"$dir/$(basename "$f")" 2>/dev/null || cp "$f" "$dir/"
    done
}
seed fuzz_lhblist "$fixtures/daylist-2017-10-09.js" "$real/eastmoney-tradedetail-1.record.json"
seed fuzz_lhbdata "$fixtures/lhb-2017-10-09-002460.html" "$real/eastmoney-lhb-page-1.fragment.html"
seed fuzz_qqhistory "$fixtures/kline-sh600036-hfq.json" "$real"/tencent-fqkline-*
seed fuzz_news "$fixtures/news-sz002460.json" "$real/tencent-news-1.annotated-excerpt.txt"
seed fuzz_objectlist "$fixtures/daylist-2017-10-09.js" "$fixtures/news-sz002460.json" \
    "$real/sina-hqnodedata-1.js" "$real/sina-hqnodedata-4-null.js"
seed fuzz_historycsv "$fixtures/history-csv-600036.csv"
seed fuzz_stocklist "$fixtures/stocklist-all.csv"
seed fuzz_klinefile "$fixtures/kline-file-600036.csv"
seed fuzz_qqlhb "$fixtures/qq-lhb-600036-20170929.js" "$real"/tencent-fqkline-*
seed fuzz_sinalhblist "$fixtures/sina-lhb-2017-10-09.html"
seed fuzz_sinaachievement "$fixtures/sina-achievement-2017-06-30-q2-p1.html"
seed fuzz_ifengdaily "$fixtures/ifeng-akdaily-sh600519.json"
seed fuzz_companyinfo "$fixtures/companyinfo-sh600519.json"
seed fuzz_newkline "$fixtures/newkline-sh601318.json" "$real"/tencent-fqkline-*
seed fuzz_quotes "$fixtures/qq-shortquote.txt" "$fixtures/sina-hq-list.txt" \
    "$fixtures/sina-hqnodedata-page1.js" "$real"/sina-hq-* "$real"/tencent-shortquote-*
seed fuzz_minute "$fixtures/qq-minute-sz000001.json" "$fixtures/minute-lines.txt"
seed fuzz_notices "$fixtures/notices-600036.html" "$fixtures/suspensions.html"
seed fuzz_rankingdoctor "$fixtures/ranking-page1.js" "$fixtures/doctor-sh600036.html"
seed fuzz_inifile
printf '[nonTradeDays]\n# extra days\nvalue=2017-10-01,2017-10-02\n\n[Other]\nkey = a b\n' \
    >"$work/seeds/fuzz_inifile/config.ini"
seed fuzz_seathistory "$fixtures/daylist-2017-10-09.js" "$fixtures/news-sz002460.json" \
    "$fixtures/lhb-2017-10-09-002460.html"
seed fuzz_replyshape "$fixtures/daylist-2017-10-09.js" "$fixtures/news-sz002460.json" \
    "$fixtures/kline-sh600036-hfq.json"

declare -A dict=([fuzz_ifengdaily]=json [fuzz_companyinfo]=json [fuzz_newkline]=json
                 [fuzz_lhblist]=json [fuzz_lhbdata]=html [fuzz_qqhistory]=json
                 [fuzz_news]=json [fuzz_objectlist]=json
                 [fuzz_historycsv]=csv [fuzz_stocklist]=csv [fuzz_klinefile]=csv
                 [fuzz_qqlhb]=json [fuzz_sinalhblist]=sina [fuzz_sinaachievement]=sina
                 [fuzz_quotes]=json [fuzz_minute]=json [fuzz_notices]=json
                 [fuzz_rankingdoctor]=html [fuzz_inifile]=ini [fuzz_seathistory]=json
                 [fuzz_replyshape]=json)
bin_dir=$(cd "$build" && pwd)
failed=0
printf '%-16s %12s %8s\n' target executions crashes
for target in fuzz_lhblist fuzz_lhbdata fuzz_qqhistory fuzz_news fuzz_objectlist \
              fuzz_ifengdaily fuzz_companyinfo fuzz_newkline \
              fuzz_historycsv fuzz_stocklist fuzz_klinefile fuzz_qqlhb fuzz_sinalhblist \
              fuzz_sinaachievement fuzz_quotes fuzz_minute fuzz_notices fuzz_rankingdoctor \
              fuzz_inifile fuzz_seathistory fuzz_replyshape; do
    corpus=$work/corpus/$target
    artifacts=$work/artifacts/$target
    mkdir -p "$corpus" "$artifacts"
    log=$work/$target.log
    # Run inside the scratch folder: some parsers save reply copies relative
    # to the working directory.
    # Qt is built without frame pointers: only full unwinding shows which of
    # its functions made an allocation, which the suppressions go by.
    (cd "$work" && ASAN_OPTIONS=fast_unwind_on_malloc=0 \
        LSAN_OPTIONS="suppressions=$root/tests/sanitizer/lsan.supp:print_suppressions=0" \
        "$bin_dir/$target" "$corpus" "$work/seeds/$target" \
        -dict="$root/$fuzz_src/${dict[$target]}.dict" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2048 -max_len=262144 -print_final_stats=1 \
        -artifact_prefix="$artifacts/") >"$log" 2>&1
    rc=$?
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    crashes=$(find "$artifacts" -type f | wc -l)
    printf '%-16s %12s %8s\n' "$target" "${execs:-?}" "$crashes"
    if [ "$rc" -ne 0 ] || [ "$crashes" -gt 0 ]; then
        failed=1
        mkdir -p "$kept"
        cp -r "$artifacts" "$kept/" 2>/dev/null
        echo "---- $target failed (exit $rc); artifacts kept in $kept/$target; log tail:" >&2
        tail -40 "$log" >&2
    fi
done
exit $failed
