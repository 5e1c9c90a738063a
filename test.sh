#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite,
# the real-window tests under Xvfb included.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh --test
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build
cd build && ctest --output-on-failure -j "$(nproc)"
