#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a bounded time.
# Usage: fuzz/run.sh [SECONDS_PER_TARGET]   (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
build=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELMORA_BUILD_FUZZ=ON -DVELMORA_SANITIZE=ON -DVELMORA_BUILD_TESTS=OFF -DVELMORA_BUILD_BENCH=OFF -DVELMORA_BUILD_GUI=OFF >/dev/null
cmake --build "$build" -j2
seeds="$build/fuzz-seeds"
"$build/fuzz/velmora_fuzz_seeds" "$seeds"
mkdir -p "$seeds/module"
for dll in "$build"/fuzz/seed-modules/*/*.dll; do
  cp "$dll" "$seeds/module/$(basename "$(dirname "$dll")")-$(basename "$dll")"
done
status=0
for target in $(cd "$build/fuzz" && ls velmora_fuzz_* | grep -v seeds); do
  name="${target#velmora_fuzz_}"
  corpus="$build/fuzz-corpus/$name"
  mkdir -p "$corpus" "$build/fuzz-findings/$name"
  echo "== fuzzing $name for ${seconds}s"
  if ! "$build/fuzz/$target" "$corpus" "$seeds/$name" -max_total_time="$seconds" -max_len=65536 \
      -rss_limit_mb=2048 -timeout=20 -artifact_prefix="$build/fuzz-findings/$name/" -print_final_stats=1 2>"$build/fuzz-$name.log"; then
    tail -50 "$build/fuzz-$name.log"
    echo "fuzz target $name found a failure; inputs in $build/fuzz-findings/$name/"
    status=1
  else
    grep -E "stat::number_of_executed_units|Done" "$build/fuzz-$name.log" | tail -2
  fi
done
exit $status
