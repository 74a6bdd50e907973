#!/usr/bin/env bash
# Builds an optimised tree and runs the benchmarks with repetitions; prints medians.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_BUILD_TESTS=OFF -DVELMORA_BUILD_GUI=ON >/dev/null
cmake --build build-release --target velmora_bench velmora_places_bench velmora_views_bench velmora_json_bench velmora_dialog_bench velmora-load-memory demo
args=(--benchmark_repetitions=10 --benchmark_report_aggregates_only=true "$@")
./build-release/bench/velmora_bench "${args[@]}"
./build-release/bench/velmora_places_bench "${args[@]}"
./build-release/bench/velmora_views_bench "${args[@]}"
./build-release/bench/velmora_json_bench "${args[@]}"
if [ -x build-release/bench/velmora_dialog_bench ]; then
  QT_QPA_PLATFORM=offscreen ./build-release/bench/velmora_dialog_bench "${args[@]}"
fi
./build-release/bench/velmora-load-memory build-release/demo-prefix/drive_c/Games/Brannoch/Data/brannoch2_x1_p1.dat
