#!/bin/bash
# Times dw2convert on a large corpus of calendars against plain file tools.
#   bench/convert/corpus-benchmark.sh [BUILD_DIR] [WORK_DIR] [COUNT] [BYTES_EACH]
# (a) a corpus that needs no change, against `cat` of the same files;
# (b) a corpus that is all converted, against `cp -r` of it.
# The corpus (about 1 GiB by default) is made in WORK_DIR, outside the repository.
set -euo pipefail
build=${1:-build}
work=${2:-/tmp/dw-corpus}
count=${3:-20000}
bytes=${4:-52000}
bin="$build/bin"

seconds() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

rm -rf "$work"
mkdir -p "$work"
echo "making $count calendars of about $bytes bytes in $work"
"$bin/dw-make-corpus" "$work/unchanged" "$count" "$bytes" converted
"$bin/dw-make-corpus" "$work/old" "$count" "$bytes" old
du -sh "$work/unchanged" "$work/old"

# Warm the page cache so that both sides read from memory.
find "$work/unchanged" -name '*.dw2' -print0 | xargs -0 cat > /dev/null

t0=$(seconds); find "$work/unchanged" -name '*.dw2' -print0 | xargs -0 cat > /dev/null; t1=$(seconds)
cat_time=$(elapsed "$t0" "$t1")
t0=$(seconds); "$bin/dw2convert" -r "$work/unchanged" > /dev/null; t1=$(seconds)
scan_time=$(elapsed "$t0" "$t1")
echo "(a) no change: dw2convert ${scan_time}s, cat ${cat_time}s, ratio $(ratio "$scan_time" "$cat_time")"

cp -r "$work/old" "$work/old-copy-warm" && rm -rf "$work/old-copy-warm"
t0=$(seconds); cp -r "$work/old" "$work/old-copy"; t1=$(seconds)
cp_time=$(elapsed "$t0" "$t1")
t0=$(seconds); "$bin/dw2convert" -r "$work/old" > /dev/null; t1=$(seconds)
convert_time=$(elapsed "$t0" "$t1")
echo "(b) all converted: dw2convert ${convert_time}s, cp -r ${cp_time}s, ratio $(ratio "$convert_time" "$cp_time")"
echo "    (dw2convert syncs every file to disk before it replaces the original; cp -r does not)"
rm -rf "$work"
