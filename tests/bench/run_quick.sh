#!/usr/bin/env bash
# run_quick.sh -- one benchmark program started once in its quick mode, for
# the test suite. Fails when the program cannot start, exits with an error,
# prints nothing, or reports an error among its figures (Google Benchmark
# prints "ERROR OCCURRED" for a case that failed). No time is asserted: the
# figures belong in bench/RESULTS.md.
# Usage: run_quick.sh <program> [arguments]
set -u
[ $# -ge 1 ] || { echo "usage: $0 <program> [arguments]" >&2; exit 2; }
out=$(mktemp "${TMPDIR:-/tmp}/lumeko-bench-quick.XXXXXX")
trap 'rm -f "$out"' EXIT
"$@" >"$out" 2>&1
status=$?
cat "$out"
[ "$status" -eq 0 ] || { echo "run_quick: $(basename "$1") exited with status $status" >&2; exit 1; }
[ -s "$out" ] || { echo "run_quick: $(basename "$1") printed nothing" >&2; exit 1; }
if grep -q "ERROR OCCURRED" "$out"; then
    echo "run_quick: $(basename "$1") reported an error" >&2
    exit 1
fi
echo "run_quick: $(basename "$1") ran"
