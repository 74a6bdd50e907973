#!/usr/bin/env bash
# Installs what the project needs, builds it and runs it on the demo installation
# generated in the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_BUILD_TESTS=OFF -DVELMORA_BUILD_BENCH=OFF
cmake --build build
export WINEPREFIX="$PWD/build/demo-prefix"
exec ./build/tools/velmora-dump --install "$WINEPREFIX/drive_c/Games/Brannoch" "$@"
