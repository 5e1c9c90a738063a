#!/usr/bin/env bash
# records.sh -- every figure of the records, as bench/RESULTS.md reports them.
#
# Writes a history of ROWS (100,000) rows into a fresh folder beside the build (a
# real disk, not a tmpfs: the flush of a row is part of what is measured),
# then runs records_bench: the history read, both screens at 1920 x 1080 in
# both orders, the result box with and without its row (LINES lines), and the
# first frame with the history present and with none (LAUNCHES launches of
# each, alternating). Prints the load average before and after. QUICK=1 runs
# every step once on 1,000 rows: what the test suite runs.
# Usage: bench/records.sh BUILD_DIR       (ROWS, LINES, LAUNCHES change the counts;
#        the build's lumeko-trainer may stand for its folder)
set -euo pipefail
BUILD=${1:?usage: bench/records.sh BUILD_DIR}
[ -f "$BUILD" ] && BUILD=$(dirname "$BUILD")
BUILD=$(cd "$BUILD" && pwd)
BENCH="$BUILD/records_bench"
if [ -n "${QUICK:-}" ]; then
    ROWS=${ROWS:-1000} LINES=${LINES:-2} LAUNCHES=${LAUNCHES:-1}
fi
ROWS=${ROWS:-100000}
LINES=${LINES:-200}
LAUNCHES=${LAUNCHES:-20}
WORK=$(mktemp -d "$BUILD/records-bench.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "file system of the records: $(stat -f -c %T "$WORK")"

"$BENCH" history "$WORK/history" "$ROWS"
echo "history: $(wc -c <"$WORK/history/lumeko-trainer/records.csv") bytes"
"$BENCH" read "$WORK/history"
"$BENCH" screens "$WORK/history" chart,keys
"$BENCH" screens "$WORK/history" keys,chart | grep first
"$BENCH" result-box "$WORK/box" "$LINES"

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
mkdir -p "$WORK/empty"
for i in $(seq 1 "$LAUNCHES"); do
    XDG_DATA_HOME="$WORK/history" "$BENCH" first-frame >>"$WORK/with.txt"
    XDG_DATA_HOME="$WORK/empty" "$BENCH" first-frame >>"$WORK/without.txt"
done
for f in with without; do
    printf 'first frame, %-7s the history: CPU median %s ms, bytes read median %s\n' "$f" \
        "$(cut -d' ' -f1 "$WORK/$f.txt" | median)" "$(cut -d' ' -f2 "$WORK/$f.txt" | median)"
done
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
