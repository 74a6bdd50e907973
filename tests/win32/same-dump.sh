#!/usr/bin/env bash
# The Windows dump tool, run by Wine, prints byte for byte what the native one prints, on the
# demo installation: found through the registry (each program in its own prefix), given
# with --install (also as a copy in a folder whose name no ANSI code page holds whole), and
# the data file named, in the three formats, and names in the code pages 932 and 1252.
#   same-dump.sh WINDOWS_DUMP NATIVE_BUILD SCRATCH
set -euo pipefail
exe=$1
native=$2
scratch=$3
rm -rf "$scratch"
mkdir -p "$scratch"
# The Windows program runs in a copy of the demo prefix, which Wine brings up to date first;
# its drive Z: is the host's root, as in a prefix Wine makes.
cp -a "$native/demo-prefix" "$scratch/prefix"
ln -s / "$scratch/prefix/dosdevices/z:"
# The update is finished, and its processes gone, before the first comparison.
WINEPREFIX="$scratch/prefix" WINEDEBUG=-all wineboot -u > "$scratch/update.log" 2>&1
WINEPREFIX="$scratch/prefix" wineserver -w
game=$native/demo-prefix/drive_c/Games/Brannoch
wgame="Z:${game//\//\\}"
data='\Data\brannoch2_x1_p1.dat'

failures=0
same() {  # NAME NATIVE_ARGS -- WINDOWS_ARGS
  local name=$1 native_args=() windows_args=()
  shift
  while [ "$1" != "--" ]; do native_args+=("$1"); shift; done
  shift
  windows_args=("$@")
  local native_status=0 windows_status=0
  WINEPREFIX="${native_prefix:-$native/demo-prefix}" "$native/tools/velmora-dump" "${native_args[@]}" > "$scratch/$name.native" || native_status=$?
  WINEPREFIX="$scratch/prefix" WINEDEBUG=-all LC_ALL=${wine_locale:-C.UTF-8} wine "$exe" "${windows_args[@]}" > "$scratch/$name.windows" 2> "$scratch/$name.log" || windows_status=$?
  if [ "$native_status" -ne 0 ] || [ "$windows_status" -ne 0 ]; then
    echo "FAILED: $name: the native tool exited with $native_status, the Windows one with $windows_status; what Wine printed:"
    head -40 "$scratch/$name.log"
    failures=$((failures + 1))
  elif cmp -s "$scratch/$name.native" "$scratch/$name.windows"; then
    echo "same: $name ($(wc -c < "$scratch/$name.native") bytes)"
  else
    echo "DIFFERENT: $name"
    diff <(od -c "$scratch/$name.native") <(od -c "$scratch/$name.windows") | head -20 || true
    failures=$((failures + 1))
  fi
}

same registry-json --format json -- --format json
same install-text --install "$game" --format text -- --install "$wgame" --format text
same install-dot --install "$game" --format dot -- --install "$wgame" --format dot
same datafile-json --install "$game" --format json "$game${data//\\//}" -- --install "$wgame" --format json "$wgame$data"
unicode="$scratch/Ünïcödé ゲーム Ωμέγα"
cp -a "$game" "$unicode"
same unicode-folder-json --install "$game" --format json -- --install "Z:${unicode//\//\\}" --format json
# Names that are not UTF-8, decoded from the code page given: iconv there, the system here.
"$native/tools/velmora-make-demo" --code-page-names "$scratch/names.dat" > /dev/null
for cp in 932 1252; do
  same names-$cp --install "$game" --codepage $cp --format json "$scratch/names.dat" -- \
    --install "$wgame" --codepage $cp --format json "Z:${scratch//\//\\}\\names.dat"
done
# Without --codepage, the system's: Wine's follows the locale and is written into the
# prefix's registry (by the first process of a new session), where the native tool reads it.
WINEPREFIX="$scratch/prefix" wineserver -w
WINEPREFIX="$scratch/prefix" WINEDEBUG=-all LC_ALL=ja_JP.UTF-8 wine cmd /c exit
WINEPREFIX="$scratch/prefix" wineserver -w
grep -q '"ACP"="932"' "$scratch/prefix/system.reg"
native_prefix="$scratch/prefix" wine_locale=ja_JP.UTF-8 same names-system --install "$game" --format dot "$scratch/names.dat" -- \
  --install "$wgame" --format dot "Z:${scratch//\//\\}\\names.dat"
grep -q '000:日本刀' "$scratch/names-system.native"
WINEPREFIX="$scratch/prefix" wineserver -k || true
[ "$failures" -eq 0 ]
