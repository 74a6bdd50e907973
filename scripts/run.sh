#!/usr/bin/env bash
# Installs what the project needs, builds it and starts Velmora on the demo installation
# generated in the build folder. Without a display, run it under Xvfb:
#   xvfb-run -a ./scripts/run.sh
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_BUILD_TESTS=OFF -DVELMORA_BUILD_BENCH=OFF
cmake --build build
export WINEPREFIX="$PWD/build/demo-prefix"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "run.sh: no display; start it as: xvfb-run -a ./scripts/run.sh" >&2
  exit 1
fi
exec ./build/app/velmora "$@"
