#!/usr/bin/env bash
# The sanitizer pass: builds the whole test suite with g++ (the logic needs
# its Shift-JIS literals, which clang cannot make) under AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs it under ctest, the real-window tests
# included. Any report fails the test it came from.
# Usage: tools/sanitize.sh [ctest options, e.g. -R RealWindow]   (the build goes to build-asan/)
set -euo pipefail
cd "$(dirname "$0")/.."
here=$(pwd)
command -v dbus-run-session >/dev/null ||
    { echo "dbus-run-session is missing: tools/install-deps.sh --test installs it (package dbus)" >&2; exit 1; }
cmake -S . -B build-asan -G Ninja -DCMAKE_CXX_COMPILER=g++ -DCMAKE_BUILD_TYPE=Debug -DLUMEKO_SANITIZE=ON \
    -DLUMEKO_BENCH=OFF -DLUMEKO_WERROR="${LUMEKO_WERROR:-OFF}" >/dev/null
cmake --build build-asan -j "$(nproc)"

# fontconfig keeps its configuration for the life of the process on purpose.
export LSAN_OPTIONS="suppressions=$here/tools/sanitize/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1"
# The suite runs on a D-Bus session bus of its own, whether or not the machine
# has one: SDL asks the session bus for an input method as it starts, and with
# no bus libdbus starts one through dbus-launch ("autolaunch"), which can hang
# a sanitizer build in SDL_Init and leaves dbus-launch running afterwards.
run_ctest() { dbus-run-session -- ctest --output-on-failure "$@"; }
# The one test that asks for more memory than there is, to see NULL come back,
# runs with an allocator that may say no.
too_big="Files.AllocatesZeroedBlocksOrNull"
cd build-asan
run_ctest -j "$(nproc)" -E "^$too_big\$" "$@"
ASAN_OPTIONS="$ASAN_OPTIONS:allocator_may_return_null=1" run_ctest -R "^$too_big\$"
