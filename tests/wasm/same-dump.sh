#!/usr/bin/env bash
# velmora-dump for Node (the WebAssembly build) answers as the native one, byte for byte:
# the same standard output, the same standard error and the same exit status, for each row
# below, on the demo installation of a native build and its patched copy, and on broken
# data files made here.
#   same-dump.sh NODE_DUMP NATIVE_BUILD SCRATCH
set -euo pipefail
wasm=$1
native=$(cd "$2" && pwd)
scratch=$3
rm -rf "$scratch"
mkdir -p "$scratch/home"
game=$native/demo-prefix/drive_c/Games/Brannoch
data=$game/Data/brannoch2_x1_p1.dat
patched=$native/demo-patched/brannoch2_x1_p1.dat

# Broken data files and the names in code pages, made here.
: > "$scratch/empty.dat"
head -c 100000 "$data" > "$scratch/truncated.dat"
printf '\377\377\377\377 not a deflate stream' > "$scratch/not-deflate.dat"
mkdir "$scratch/folder.dat"
{ cat "$data"; printf 'trailing bytes'; } > "$scratch/trailing.dat"
"$native/tools/velmora-make-demo" --code-page-names "$scratch/names.dat" > /dev/null

failures=0
# NAME ARGS...: both programs in the same environment (WINEPREFIX, HOME as set for the row).
same() {
  local name=$1 status_native=0 status_wasm=0
  shift
  "$native/tools/velmora-dump" "$@" > "$scratch/$name.native" 2> "$scratch/$name.native.err" || status_native=$?
  node "$wasm" "$@" > "$scratch/$name.wasm" 2> "$scratch/$name.wasm.err" || status_wasm=$?
  if [ "$status_native" != "$status_wasm" ]; then
    echo "DIFFERENT: $name: exit status $status_native, under Node $status_wasm"
    failures=$((failures + 1))
  elif ! cmp -s "$scratch/$name.native" "$scratch/$name.wasm" || ! cmp -s "$scratch/$name.native.err" "$scratch/$name.wasm.err"; then
    echo "DIFFERENT: $name"
    diff <(od -c "$scratch/$name.native") <(od -c "$scratch/$name.wasm") | head -10 || true
    diff "$scratch/$name.native.err" "$scratch/$name.wasm.err" | head -10 || true
    failures=$((failures + 1))
  else
    echo "same: $name (status $status_native, $(wc -c < "$scratch/$name.native") bytes, $(wc -c < "$scratch/$name.native.err") on stderr)"
  fi
}

export HOME=$scratch/home
unset WINEPREFIX LC_ALL LC_MESSAGES LANG
while read -r name args; do
  eval "same $name $args"
done <<ROWS
json          --install "$game" --format json
text          --install "$game" --format text
csv           --install "$game" --format csv
dot           --install "$game" --format dot
techs-json    --install "$game" --format json --tech 5 --tech 7 --tech 459
patched-text  --install "$game" "$patched"
trailing-json --install "$game" --format json "$scratch/trailing.dat"
diff-text     --install "$game" --diff "$data" "$patched"
diff-json     --install "$game" --diff --format json "$data" "$patched"
diff-markdown --install "$game" --diff --format markdown "$data" "$patched"
diff-techs    --install "$game" --diff --tech 5 --tech 130 "$data" "$patched"
diff-none     --install "$game" --diff "$data" "$data"
missing       --install "$game" "$scratch/missing.dat"
empty         --install "$game" "$scratch/empty.dat"
truncated     --install "$game" "$scratch/truncated.dat"
not-deflate   --install "$game" --format json "$scratch/not-deflate.dat"
folder        --install "$game" "$scratch/folder.dat"
diff-broken   --install "$game" --diff "$data" "$scratch/truncated.dat"
no-install    --format dot
names-932     --install "$game" --codepage 932 --format json "$scratch/names.dat"
names-1252    --install "$game" --codepage 1252 --format text "$scratch/names.dat"
names-936     --install "$game" --codepage 936 --format dot "$scratch/names.dat"
names-949     --install "$game" --codepage 949 --format dot "$scratch/names.dat"
names-950     --install "$game" --codepage 950 --format dot "$scratch/names.dat"
names-874     --install "$game" --codepage 874 --format dot "$scratch/names.dat"
names-1251    --install "$game" --codepage 1251 --format dot "$scratch/names.dat"
names-1258    --install "$game" --codepage 1258 --format dot "$scratch/names.dat"
names-437     --install "$game" --codepage 437 --format dot "$scratch/names.dat"
bad-codepage  --codepage 65001 "$data"
shift-codepage --codepage 930 "$data"
bad-option    --frobnicate
bad-diff      --diff "$data"
help          --help
version       --version
ROWS
# Found through the registry of the prefix WINEPREFIX names, and through ~/.wine.
export WINEPREFIX=$native/demo-prefix
same registry-dot --format dot
same list-text --list-installations
same list-json --list-installations --format json
unset WINEPREFIX
ln -s "$native/demo-prefix" "$HOME/.wine"
same home-wine-csv --format csv
LANG=ja_JP.UTF-8 same home-wine-lang --format text
[ "$failures" -eq 0 ]
