#!/usr/bin/env bash
# Installs the Debian packages the game needs to build, run and be tested.
# Installs only what is missing; uses sudo when not run as root.
# Usage: install-deps.sh [--test | --package]
#   --test     also what the test suite needs (./test.sh passes it)
#   --package  also what building and checking the Debian package needs
#              (tools/test-debian-package.sh passes it)
set -euo pipefail

BUILD_PACKAGES=(g++ cmake ninja-build pkg-config libsdl2-dev libx11-dev libfreetype-dev libfontconfig-dev libpng-dev)
RUN_PACKAGES=(fonts-ipafont-gothic xdg-utils zenity)
# The MinGW-w64 compiler: CI cross-builds the Windows program and its zip.
# The validators check the desktop entry and the AppStream data.
# clang and its runtime libraries build the fuzz targets (libFuzzer).
# ibus with mozc, in a D-Bus session of its own, is the input method the
# real-window test composes Japanese with. python3 runs the real-window
# benchmarks' timing helper. man-db formats the manual pages to check them.
# openbox is the window manager the chooser is checked under, with xprop and
# xwininfo (x11-utils) to read the stacking and wmctrl to ask for a close.
# xrdb (x11-xserver-utils) sets the desktop scale the real-window scale test
# and benchmark start the game under.
TEST_PACKAGES=(libgtest-dev libbenchmark-dev xvfb xauth xdotool imagemagick g++-mingw-w64-x86-64-posix
    desktop-file-utils appstream clang libclang-rt-14-dev ibus ibus-mozc dbus python3 man-db openbox x11-utils wmctrl
    x11-xserver-utils procps)
# dpkg-shlibdeps (dpkg-dev) works out the package's library dependencies;
# lintian checks the package; debootstrap makes the fresh system it is
# installed on, where the program is played under Xvfb.
PACKAGE_PACKAGES=(dpkg-dev lintian debootstrap xvfb xauth xdotool imagemagick)

want=("${BUILD_PACKAGES[@]}" "${RUN_PACKAGES[@]}")
case "${1:-}" in
--test) want+=("${TEST_PACKAGES[@]}") ;;
--package) want+=("${PACKAGE_PACKAGES[@]}") ;;
esac

missing=()
for p in "${want[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
