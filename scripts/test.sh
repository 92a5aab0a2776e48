#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test. Pass a build folder and
# extra CMake options to test another configuration (the sanitizer build).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
BUILD_DIR="${1:-build}"
shift || true
./scripts/build.sh "$BUILD_DIR" "$@"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$BUILD_DIR" --output-on-failure -j2
