#!/usr/bin/env bash
# The WebAssembly build's size and speed beside the native build's, in the same run: the
# wasm's size plain and gzipped, the load, the parse and the JSON dump of the demo under
# Node and natively (bench/LoadTimes.cpp), and velmora-dump --format json as a whole
# process both ways.
#   bench/web.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-10}
# Debian's emscripten runs its optimiser with Node and Debian's acorn.
export NODE_PATH=${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_BUILD_TESTS=OFF -DVELMORA_BUILD_GUI=OFF >/dev/null
cmake --build build-release --target velmora-load-times velmora-dump demo >/dev/null
./scripts/build-web.sh >/dev/null
cmake --build build-web --target velmora-load-times >/dev/null
game=build-release/demo-prefix/drive_c/Games/Brannoch

for file in build-web/site/core/velmora-core.wasm build-web/site/core/velmora-core.mjs build-web/velmora-dump.js; do
  echo "$file: $(wc -c < "$file") bytes, $(gzip -9c "$file" | wc -c) gzipped"
done
echo "native: $(build-release/bench/velmora-load-times "$game" "$runs")"
echo "Node:   $(node build-web/velmora-load-times.js "$game" "$runs")"
# The whole process, medians of RUNS (wall time; Node's start included).
whole() {
  local times=()
  for _ in $(seq "$runs"); do
    local start end
    start=$(date +%s%N)
    "$@" > /dev/null
    end=$(date +%s%N)
    times+=($(((end - start) / 1000000)))
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p"
}
echo "velmora-dump --format json, whole process: native $(whole build-release/tools/velmora-dump --install "$game" --format json) ms," \
  "Node $(whole node build-web/velmora-dump.js --install "$game" --format json) ms"
echo "node -e '' alone: $(whole node -e '') ms"
