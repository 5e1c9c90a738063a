#!/usr/bin/env bash
# Builds every fuzz target (fuzz/<name>_fuzz.cpp) with clang, AddressSanitizer
# and UndefinedBehaviorSanitizer, and runs each in turn on its corpus
# (fuzz/corpus/<name>/ seeds it) for a bounded time. Inputs may grow to 1 MiB
# at once (-len_control=0). Exits non-zero when any target found a fault; the
# input that caused it is left in build-fuzz/ as crash-*, leak-* or timeout-*.
# Usage: tools/fuzz.sh [seconds per target, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fsanitize=fuzzer-no-link -g -O1"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DLUMEKO_FUZZ=ON -DLUMEKO_TESTS=OFF \
    -DLUMEKO_BENCH=OFF -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
targets=()
for src in fuzz/*_fuzz.cpp; do
    targets+=("$(basename "$src" .cpp)")
done
cmake --build build-fuzz -j2 --target "${targets[@]}"

status=0
for name in "${targets[@]}"; do
    corpus="build-fuzz/corpus/$name"
    mkdir -p "$corpus"
    [ -d "fuzz/corpus/$name" ] && cp -n "fuzz/corpus/$name"/* "$corpus"/ 2>/dev/null || true
    log="build-fuzz/$name.log"
    if build-fuzz/"$name" -max_total_time="$seconds" -max_len=1048576 -len_control=0 -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix=build-fuzz/ "$corpus" >"$log" 2>&1; then
        echo "fuzz $name: $(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$') runs in ${seconds} s, no fault"
    else
        echo "fuzz $name: FAULT (see $log)"
        tail -40 "$log"
        status=1
    fi
done
exit $status
