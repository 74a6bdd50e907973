#!/usr/bin/env bash
# Builds the fuzz targets with clang, all of our code instrumented for coverage and
# sanitized, and runs each for a bounded time, starting from the kept corpus
# (fuzz/corpus/TARGET), the seeds and the kept crashers (fuzz/regressions/TARGET).
# Usage: fuzz/run.sh [SECONDS_PER_TARGET] [--keep] [TARGET...]   (default 60, all targets)
#   --keep  merges what the run reached into fuzz/corpus/, minimised, to be committed
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=60 keep=0 targets=()
for arg in "$@"; do
  case "$arg" in
    --keep) keep=1 ;;
    [0-9]*) seconds="$arg" ;;
    *) targets+=("$arg") ;;
  esac
done
build="$PWD/build-fuzz" kept="$PWD/fuzz"  # absolute: a target may change its working folder
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELMORA_BUILD_FUZZ=ON -DVELMORA_BUILD_TESTS=OFF -DVELMORA_BUILD_BENCH=OFF -DVELMORA_BUILD_GUI=OFF -DVELMORA_WERROR=ON >/dev/null
cmake --build "$build" -j2
seeds="$build/fuzz-seeds"
rm -rf "$seeds"
"$build/fuzz/velmora_fuzz_seeds" "$seeds"
mkdir -p "$seeds/module"
for dll in "$build"/fuzz/seed-modules/*/*.dll; do
  cp "$dll" "$seeds/module/$(basename "$(dirname "$dll")")-$(basename "$dll")"
done

# The sources each target fuzzes. A target must load at least the coverage counters their
# objects hold outside COMDAT groups (those are theirs alone), and they must hold some: a
# build that leaves them uninstrumented would fuzz blind.
declare -A fuzzes=([parse]="data/DataParser" [load]="data/DataFile data/DataParser" [inflate]="data/DataFile"
  [module]="host/ModuleLoader" [registry]="host/WineRegistry" [paths]="host/HostPath"
  [places]="host/SteamLibraries host/Yaml" [yaml]="host/Yaml"
  [views]="views/EffectText views/TechDetailView export/DumpFormats export/DumpDiff")
own_counters() {
  local object size total=0
  object=$(find "$build/${1%/*}" -path "*/CMakeFiles/*/${1##*/}.cpp.o")
  for size in $({ readelf -gW "$object"; echo SECTIONS; readelf -SW "$object"; } | awk '
      /^COMDAT group/ {comdat = 1; next} /^group section/ {comdat = 0; next} /^SECTIONS/ {sections = 1; next}
      {gsub(/[][]/, " ")}
      !sections && comdat && $1 ~ /^[0-9]+$/ {shared[$1] = 1}
      sections && $2 == "__sancov_cntrs" && !($1 in shared) {print $6}'); do
    total=$((total + 16#$size))
  done
  echo "$total"
}

[ ${#targets[@]} -gt 0 ] || targets=(parse load inflate module registry views paths places yaml)
status=0
for name in "${targets[@]}"; do
  fuzzer="$build/fuzz/velmora_fuzz_$name"
  expected=0
  for source in ${fuzzes[$name]}; do
    counters=$(own_counters "$source")
    if [ "$counters" -eq 0 ]; then
      echo "fuzz target $name: $source holds no coverage counters; it is not instrumented"
      exit 1
    fi
    expected=$((expected + counters))
  done
  loaded=$("$fuzzer" -runs=0 2>&1 | sed -n 's/.*(\([0-9]*\) inline 8-bit counters).*/\1/p')
  echo "== fuzzing $name for ${seconds}s: ${loaded:-no} coverage counters loaded, ${fuzzes[$name]} hold $expected"
  if [ "${loaded:-0}" -lt "$expected" ]; then
    echo "fuzz target $name does not load the coverage counters of the code it fuzzes"
    exit 1
  fi
  corpus="$build/fuzz-corpus/$name" findings="$build/fuzz-findings/$name"
  mkdir -p "$corpus" "$findings"
  dirs=("$corpus" "$seeds/$name")
  for dir in "$kept/corpus/$name" "$kept/regressions/$name"; do
    [ -d "$dir" ] && dirs+=("$dir")
  done
  if ! "$fuzzer" "${dirs[@]}" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 -timeout=20 \
      -artifact_prefix="$findings/" -print_final_stats=1 2>"$build/fuzz-$name.log"; then
    tail -50 "$build/fuzz-$name.log"
    echo "fuzz target $name found a failure; inputs in $findings/"
    status=1
    continue
  fi
  grep -E "DONE|stat::average_exec_per_sec" "$build/fuzz-$name.log"
  if [ "$keep" = 1 ]; then
    merged="$build/fuzz-merged/$name"
    rm -rf "$merged" && mkdir -p "$merged" "$kept/corpus/$name"
    "$fuzzer" -merge=1 "$merged" "$kept/corpus/$name" "$seeds/$name" "$corpus" 2>"$build/fuzz-$name-merge.log"
    rm -rf "$kept/corpus/$name" && mv "$merged" "$kept/corpus/$name"
    echo "kept corpus: $(ls "$kept/corpus/$name" | wc -l) inputs, $(du -sh "$kept/corpus/$name" | cut -f1)"
  fi
done
exit $status
