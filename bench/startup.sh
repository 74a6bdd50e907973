#!/usr/bin/env bash
# Start-up: the viewer against an empty window of the same size, each timed from exec to
# its window being mapped (bench/MapTime.cpp, on an Xvfb display of its own), in turns,
# on the demo installation and on a copy whose system.reg holds 20 MB of further keys as
# real prefixes do. Prints each program's median and the median of the ratios run by run.
#   bench/startup.sh [RUNS] [qt|wine]...     (default 9 runs, both builds)
# NATIVE (default build) is a native build with the GUI, the demo and the benchmarks;
# WINDOWS (default build-windows) a Windows build with -DVELMORA_BUILD_BENCH=ON. Under
# Wine one wineserver is kept running for all runs (it reads the registry once).
set -euo pipefail
cd "$(dirname "$0")/.."
runs=9 builds=()
for arg in "$@"; do
  case "$arg" in
    [0-9]*) runs=$arg ;;
    *) builds+=("$arg") ;;
  esac
done
[ ${#builds[@]} -gt 0 ] || builds=(qt wine)
native="$PWD/${NATIVE:-build}" windows="$PWD/${WINDOWS:-build-windows}"
work="$native/startup-bench"
mkdir -p "$work"
export XDG_RUNTIME_DIR="$work/runtime" WINEDEBUG=-all LC_ALL=C.UTF-8
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

# A prefix like the demo's with 20 MB more of keys in system.reg.
big_registry() {
  python3 - "$1/system.reg" <<'PY'
import sys
with open(sys.argv[1], "a", newline="\n") as reg:
    n = 0
    while reg.tell() < 20_000_000:
        reg.write('\n[Software\\\\Classes\\\\CLSID\\\\{%08X-4F2A-11D0-8E5C-%012X}] 1700000000\n#time=1d9a7c3e8f2b0c4\n'
                  '@="Invented Component %d"\n"ThreadingModel"="Apartment"\n'
                  '[Software\\\\Classes\\\\CLSID\\\\{%08X-4F2A-11D0-8E5C-%012X}\\\\InprocServer32] 1700000000\n'
                  '@="C:\\\\windows\\\\system32\\\\invented%d.dll"\n' % (n, n * 7, n, n, n * 7, n))
        n += 1
PY
}
prepare() {  # SOURCE PREFIX BIG
  [ -f "$2/.ready" ] && return
  rm -rf "$2" && cp -a "$1" "$2"
  [ "$3" = big ] && big_registry "$2"
  touch "$2/.ready"
}

number=70
while [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ]; do number=$((number + 1)); done
Xvfb ":$number" -screen 0 1600x1200x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
export DISPLAY=:$number
for _ in $(seq 300); do xwininfo -root >/dev/null 2>&1 && break; sleep 0.1; done

median() { sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
# LABEL VIEWER-COMMAND EMPTY-COMMAND-WITHOUT-SIZE
pair() {
  local label=$1 viewer=$2 empty=$3 size a b
  size=$(eval "$map $viewer" | cut -d' ' -f2)  # also the warm-up
  eval "$map $empty ${size/x/ }" >/dev/null
  : >"$work/a" && : >"$work/b" && : >"$work/r"
  for _ in $(seq "$runs"); do
    a=$(eval "$map $viewer" | cut -d' ' -f1)
    b=$(eval "$map $empty ${size/x/ }" | cut -d' ' -f1)
    echo "$a" >>"$work/a" && echo "$b" >>"$work/b" && echo "$a $b" | awk '{print $1 / $2}' >>"$work/r"
  done
  printf '%-34s viewer %s s, empty window (%s) %s s, ratio %s (median of %d pairs)\n' "$label" \
    "$(median <"$work/a")" "$size" "$(median <"$work/b")" "$(median <"$work/r")" "$runs"
}
map="$native/bench/velmora-map-time --"

for build in "${builds[@]}"; do
  if [ "$build" = qt ]; then
    for kind in demo big; do
      prefix="$work/qt-$kind"
      prepare "$native/demo-prefix" "$prefix" "$kind"
      WINEPREFIX=$prefix pair "Qt, $kind registry" "$native/app/velmora" "$native/bench/velmora-empty-window"
    done
  else
    wineprefix="$work/wine-base"
    if [ ! -f "$wineprefix/.ready" ]; then
      rm -rf "$wineprefix" && cp -a "$native/demo-prefix" "$wineprefix"
      WINEPREFIX=$wineprefix wineboot -u && WINEPREFIX=$wineprefix wineserver -w
      touch "$wineprefix/.ready"
    fi
    for kind in demo big; do
      prefix="$work/wine-$kind"
      prepare "$wineprefix" "$prefix" "$kind"
      export WINEPREFIX=$prefix
      wineserver -p
      WINEPREFIX=$prefix pair "velmora.exe under Wine, $kind registry" "wine $windows/app/velmora.exe" \
        "wine $windows/bench/velmora-empty-dialog.exe"
      wineserver -k || true
    done
  fi
done
