#!/bin/sh
# Fails when the chart library defines a global symbol that libqwt also
# exports. Such a symbol in our binary would interpose Qwt's own definition
# inside the shared library (Qwt has a text class of the same name as ours).
#
# usage: check_qwt_symbols.sh <nm> <chart library> <libqwt shared object>
set -eu
NM=$1
CHART=$2
QWT=$3

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Global symbols defined by us: code, data, read-only data, BSS, weak and
# unique symbols (the third column of "nm" lines that have one).
"$NM" -g --defined-only "$CHART" 2>/dev/null \
    | awk 'NF == 3 && $2 ~ /^[TDBRWVu]$/ { print $2, $3 }' | sort -u -k2,2 > "$tmp/ours"
# Symbols libqwt exports to the dynamic linker.
"$NM" -D --defined-only "$QWT" | awk 'NF == 3 { print $3 }' | sort -u > "$tmp/qwt"

# The check means nothing unless both lists hold what they should.
grep -q ' _ZN4vesk7QwtText' "$tmp/ours" || { echo "no vesk::QwtText symbol in $CHART"; exit 1; }
grep -q '^_ZN7QwtText' "$tmp/qwt" || { echo "no QwtText symbol exported by $QWT"; exit 1; }

awk '{ print $2 }' "$tmp/ours" | sort -u > "$tmp/ournames"
comm -12 "$tmp/ournames" "$tmp/qwt" > "$tmp/common"

# Weak template instantiations of Qt's own headers (QVector<QPointF> and the
# like) are the same code in both and harmless; everything else collides.
: > "$tmp/bad"
while read -r sym; do
    kind=$(awk -v s="$sym" '$2 == s { print $1; exit }' "$tmp/ours")
    pretty=$(echo "$sym" | c++filt)
    case "$kind" in
    W | V | u)
        case "$pretty" in
        *Qwt* | *qwt* | *vesk::*) echo "$pretty" >> "$tmp/bad" ;;
        esac
        ;;
    *) echo "$pretty" >> "$tmp/bad" ;;
    esac
done < "$tmp/common"

if [ -s "$tmp/bad" ]; then
    echo "symbols of the chart library that collide with $QWT:"
    cat "$tmp/bad"
    exit 1
fi
echo "no collisions: $(wc -l < "$tmp/ournames") chart symbols against $(wc -l < "$tmp/qwt") of libqwt;" \
    "$(wc -l < "$tmp/common") shared Qt template instantiations ignored"
