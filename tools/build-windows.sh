#!/usr/bin/env bash
# Cross-builds the game for Windows with MinGW-w64 and packs it: the program
# logic against the real <windows.h>, without the Linux platform layer, plus
# the icon, version information and manifest. Leaves build-windows/
# lumeko-trainer.exe (it imports only system DLLs) and the zip to unpack and
# run, build-windows/lumeko-trainer-<version>-win64.zip (the program, the
# sound, the lessons and the help page). Needs g++-mingw-w64-x86-64-posix
# (tools/install-deps.sh --test installs it). LUMEKO_WERROR=ON, as CI sets it,
# makes warnings errors here too.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v x86_64-w64-mingw32-g++-posix >/dev/null || { echo "install g++-mingw-w64-x86-64-posix first" >&2; exit 1; }
out=build-windows
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
cmake -S . -B "$out" "${generator[@]}" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
    -DLUMEKO_WERROR="${LUMEKO_WERROR:-OFF}" >/dev/null
cmake --build "$out" -j "${JOBS:-2}"
(cd "$out" && cpack -G ZIP >/dev/null)
echo "built $out/lumeko-trainer.exe and $(ls "$out"/lumeko-trainer-*-win64.zip)"
