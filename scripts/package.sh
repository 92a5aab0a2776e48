#!/usr/bin/env bash
# Makes the Debian package pixmetra_<version>_amd64.deb in the current folder
# from the build folder given (build/ by default). A folder that is already
# built is packaged as it is; otherwise it is configured and the program and
# its two camera libraries are built first.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${1:-build}"
if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
  ./scripts/install-deps.sh
  cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPIXMETRA_BENCH=OFF >/dev/null
else
  # The package rules are read at configure time: bring an older folder up to date.
  cmake "$BUILD_DIR" >/dev/null
fi
cmake --build "$BUILD_DIR" -j"$(nproc)" --target pixmetra ICubeSDK ICubeSim >&2
rm -rf "$BUILD_DIR/package-out"
(cd "$BUILD_DIR" && cpack -G DEB --config CPackConfig.cmake >/dev/null)
deb=$(ls "$BUILD_DIR"/package-out/pixmetra_*_amd64.deb)
cp "$deb" .
# The one line on standard output: the package's file name.
basename "$deb"
