#!/usr/bin/env bash
# Builds the fuzz targets with clang's source-based coverage, replays the kept corpus and
# crashers of each through its target, and prints the line coverage of each source file.
# Usage: fuzz/coverage.sh [SOURCE...]   (with sources: also their lines, unreached ones marked)
set -euo pipefail
cd "$(dirname "$0")/.."
build="$PWD/build-coverage" kept="$PWD/fuzz"
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS="-fprofile-instr-generate -fcoverage-mapping" -DCMAKE_EXE_LINKER_FLAGS="-fprofile-instr-generate" \
  -DVELMORA_BUILD_FUZZ=ON -DVELMORA_BUILD_TESTS=OFF -DVELMORA_BUILD_BENCH=OFF -DVELMORA_BUILD_GUI=OFF >/dev/null
cmake --build "$build" -j2 >/dev/null
rm -rf "$build/profiles" && mkdir -p "$build/profiles"
objects=()
for fuzzer in "$build"/fuzz/velmora_fuzz_*; do
  name="${fuzzer##*velmora_fuzz_}"
  [ "$name" = seeds ] && continue
  objects+=(-object "$fuzzer")
  dirs=()
  for dir in "$kept/corpus/$name" "$kept/regressions/$name"; do
    [ -d "$dir" ] && dirs+=("$dir")
  done
  LLVM_PROFILE_FILE="$build/profiles/$name.profraw" "$fuzzer" -runs=0 "${dirs[@]}" 2>"$build/coverage-$name.log"
done
llvm-profdata merge -sparse "$build"/profiles/*.profraw -o "$build/profiles/all.profdata"
llvm-cov report "${objects[@]}" -instr-profile="$build/profiles/all.profdata" -ignore-filename-regex="^/usr/|^$PWD/fuzz/" \
  -show-region-summary=false -show-branch-summary=false -show-instantiation-summary=false | sed "s|$PWD/||"
if [ $# -gt 0 ]; then
  llvm-cov show "${objects[@]}" -instr-profile="$build/profiles/all.profdata" "${@/#/$PWD/}"
fi
