#!/usr/bin/env bash
# Cross-builds the game for Windows with MinGW-w64: the program logic against
# the real <windows.h>, without the Linux platform layer. The result,
# build-windows/lumeko-trainer.exe, imports only system DLLs; tap.wav goes
# beside it. Needs Debian's g++-mingw-w64-x86-64-posix.
set -euo pipefail
cd "$(dirname "$0")/.."
CXX=x86_64-w64-mingw32-g++-posix
command -v "$CXX" >/dev/null || { echo "install g++-mingw-w64-x86-64-posix first" >&2; exit 1; }
out=build-windows
mkdir -p "$out/obj"
for src in src/shell/*.cpp src/drill/*.cpp src/text/*.cpp src/display/*.cpp src/placement/*.cpp; do
    obj="$out/obj/$(echo "${src#src/}" | tr / _).o"
    "$CXX" -std=c++17 -O2 -Wall -Wextra -Wno-unused-parameter -fexec-charset=CP932 -Isrc -c "$src" -o "$obj"
done
"$CXX" -mwindows -static "$out"/obj/*.o -o "$out/lumeko-trainer.exe" -lgdi32 -luser32 -lwinmm -lshell32 -lcomdlg32
cp data/tap.wav "$out/"
echo "built $out/lumeko-trainer.exe"
