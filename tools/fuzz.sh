#!/usr/bin/env bash
# Builds the fuzz targets with clang, AddressSanitizer and UndefinedBehavior-
# Sanitizer, and runs each for a while.   Usage: tools/fuzz.sh [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fsanitize=fuzzer-no-link -g -O1"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DLUMEKO_FUZZ=ON -DLUMEKO_TESTS=OFF \
    -DLUMEKO_BENCH=OFF -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build build-fuzz --target profile_fuzz
mkdir -p build-fuzz/corpus-profile
printf '[set]\r\noto=0\r\ntypemode=2\r\n\0set=oto' > build-fuzz/corpus-profile/seed1
printf '; c\n[A]\nk = "v"\n[set]\nsakiyomi=abc\n\0SET=SAKIYOMI' > build-fuzz/corpus-profile/seed2
build-fuzz/profile_fuzz -max_total_time="$seconds" -max_len=4096 build-fuzz/corpus-profile
