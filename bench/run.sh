#!/usr/bin/env bash
# Builds an optimised tree and runs the benchmarks with repetitions; prints medians.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_BUILD_TESTS=OFF -DVELMORA_BUILD_GUI=OFF
cmake --build build-release --target velmora_bench
./build-release/bench/velmora_bench --benchmark_repetitions=15 --benchmark_report_aggregates_only=true "$@"
