#!/usr/bin/env bash
# Installs what is needed, builds, and starts Pixmetra with the simulated camera.
# Without a display (a bare server) the program runs on a virtual one.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
./scripts/build.sh build
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec ./build/bin/pixmetra "$@"
fi
echo "No display found: starting Pixmetra on a virtual X display (xvfb-run)."
exec xvfb-run -a -s "-screen 0 1600x1000x24" ./build/bin/pixmetra "$@"
