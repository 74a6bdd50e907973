#!/usr/bin/env bash
# Installs the build into a fresh staging folder with `cmake --install --prefix /usr` and
# DESTDIR, then checks:
#  - exactly the expected files are installed, programs executable, with no run path;
#  - the icons have their sizes, and no installed text names the build folder;
#  - the installed velmora-dump, run from an empty working folder, dumps the demo
#    installation as valid JSON with the texts of its string ids, found both through the
#    Wine prefix's registry and through --install; the installed viewer starts there;
#  - the desktop entry and the manual pages pass desktop-file-validate and man --warnings,
#    the AppStream metadata appstreamcli validate-tree.
#
# Usage: staged-install.sh BUILD_DIR DEMO_PREFIX viewer|no-viewer
# VELMORA_CMAKE names the cmake to install with (default: cmake from PATH).
set -euo pipefail

if [ $# -ne 3 ]; then
  echo "usage: staged-install.sh BUILD_DIR DEMO_PREFIX viewer|no-viewer" >&2
  exit 64
fi
build=$(cd "$1" && pwd)
demo=$(cd "$2" && pwd)
viewer=$3

stage=$(mktemp -d "${TMPDIR:-/tmp}/velmora-staged.XXXXXX")
trap 'rm -rf "$stage"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

if ! DESTDIR="$stage/root" "${VELMORA_CMAKE:-cmake}" --install "$build" --prefix /usr >"$stage/install.log" 2>&1; then
  cat "$stage/install.log" >&2
  echo "FAIL: cmake --install" >&2
  exit 1
fi
root="$stage/root"
usr="$root/usr"

# Exactly these files, nothing else (the Debian-only files stay out of a plain install).
expected=(
  usr/bin/velmora-dump
  usr/share/doc/velmora/LICENSE
  usr/share/doc/velmora/README.md
  usr/share/man/man1/velmora-dump.1.gz
)
programs=(velmora-dump)
if [ "$viewer" = viewer ]; then
  expected+=(
    usr/bin/velmora
    usr/share/applications/velmora.desktop
    usr/share/icons/hicolor/16x16/apps/velmora.png
    usr/share/icons/hicolor/32x32/apps/velmora.png
    usr/share/icons/hicolor/48x48/apps/velmora.png
    usr/share/icons/hicolor/scalable/apps/velmora.svg
    usr/share/man/man1/velmora.1.gz
    usr/share/metainfo/org.example.velmora.metainfo.xml
  )
  programs+=(velmora)
fi
printf '%s\n' "${expected[@]}" | sort >"$stage/expected.txt"
(cd "$root" && find . -mindepth 1 ! -type d | sed 's|^\./||' | sort) >"$stage/installed.txt"
if ! diff -u "$stage/expected.txt" "$stage/installed.txt" >"$stage/files.diff"; then
  cat "$stage/files.diff" >&2
  fail "installed files differ from the expected list (- missing, + unexpected)"
fi

for p in "${programs[@]}"; do
  f="$usr/bin/$p"
  [ -f "$f" ] || continue
  [ -x "$f" ] || fail "$p is not executable"
  if readelf -d "$f" | grep -Eq '\((RPATH|RUNPATH)\)'; then
    fail "$p has a run path: $(readelf -d "$f" | grep -E 'RPATH|RUNPATH')"
  fi
done

# Nothing installed as text may point into the build or source tree.
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
while IFS= read -r rel; do
  f="$root/$rel"
  case "$f" in
    *.gz) text=$(zcat "$f") ;;
    */bin/*) continue ;;
    *.png) continue ;;
    *) text=$(cat "$f") ;;
  esac
  for tree in "$build" "$source_dir"; do
    if grep -qF "$tree" <<<"$text"; then fail "$rel names $tree"; fi
  done
done <"$stage/installed.txt"

if [ "$viewer" = viewer ]; then
  python3 - "$usr/share/icons/hicolor" <<'PY' || fail "icon images"
import struct, sys, xml.dom.minidom
base = sys.argv[1]
for size in (16, 32, 48):
    data = open(f"{base}/{size}x{size}/apps/velmora.png", "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        sys.exit(f"{size}x{size}: not a PNG image")
    width, height = struct.unpack(">II", data[16:24])
    if (width, height) != (size, size):
        sys.exit(f"{size}x{size}: the image is {width}x{height}")
svg = xml.dom.minidom.parse(f"{base}/scalable/apps/velmora.svg").documentElement
if svg.tagName != "svg" or not svg.getAttribute("viewBox"):
    sys.exit("scalable: not an SVG image with a viewBox")
PY
  desktop-file-validate "$usr/share/applications/velmora.desktop" || fail "desktop-file-validate"
  grep -qx 'Exec=velmora %f' "$usr/share/applications/velmora.desktop" || fail "the desktop entry does not run velmora on the file it is given"
  # The AppStream metadata, with the desktop entry it names as its launchable.
  appstreamcli validate-tree --no-net "$root" || fail "appstreamcli validate-tree"
fi

for page in "$usr"/share/man/man1/*.1.gz; do
  [ -e "$page" ] || continue
  name=$(basename "$page" .1.gz)
  if ! LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" >"$stage/man.out" 2>"$stage/man.err"; then
    fail "man cannot format $name.1"
  fi
  if [ -s "$stage/man.err" ]; then
    cat "$stage/man.err" >&2
    fail "man --warnings on $name.1"
  fi
  grep -q "^NAME" "$stage/man.out" || fail "$name.1 has no NAME section"
  if grep -q '@VELMORA' "$stage/man.out"; then fail "$name.1 has an unfilled placeholder"; fi
done

# The installed tool, from an empty working folder, on the demo installation.
mkdir -p "$stage/work" "$stage/empty-prefix"
dump="$usr/bin/velmora-dump"
game="$demo/drive_c/Games/Brannoch"
if (cd "$stage/work" && WINEPREFIX="$demo" "$dump" --format json >"$stage/registry.json"); then
  python3 - "$stage/registry.json" <<'PY' || fail "the JSON dump of the demo"
import json, sys
root = json.load(open(sys.argv[1]))
techs = root["techs"]
if root["techCount"] <= 0 or len(techs) != root["techCount"]:
    sys.exit(f"techCount {root['techCount']} but {len(techs)} techs")
if not root["effects"] or not root["versionText"]:
    sys.exit("no effects or no version text")
named = sum(1 for t in techs if t["view"]["nameText"])
if named * 2 < len(techs):
    sys.exit(f"only {named} of {len(techs)} techs have a name text: the language modules were not found")
print(f"demo: {len(techs)} techs, {len(root['effects'])} effects, {named} name texts")
PY
else
  fail "velmora-dump through the registry exited with $?"
fi
if (cd "$stage/work" && WINEPREFIX="$stage/empty-prefix" "$dump" --format json --install "$game" >"$stage/install.json"); then
  cmp -s "$stage/registry.json" "$stage/install.json" || fail "--install and the registry give different dumps"
else
  fail "velmora-dump --install exited with $?"
fi
if (cd "$stage/work" && WINEPREFIX="$demo" "$dump" --format dot >"$stage/techs.dot"); then
  head -1 "$stage/techs.dot" | grep -qx 'digraph techs {' || fail "the dot dump does not start a graph"
else
  fail "velmora-dump --format dot exited with $?"
fi
if [ -n "$(ls -A "$stage/work")" ]; then fail "velmora-dump left files in its working folder"; fi

# The installed viewer starts on the demo from an empty folder and runs until it is stopped.
if [ "$viewer" = viewer ]; then
  status=0
  (cd "$stage/work" && QT_QPA_PLATFORM=offscreen WINEPREFIX="$demo" timeout 5 "$usr/bin/velmora" >"$stage/viewer.log" 2>&1) ||
    status=$?
  if [ "$status" -ne 124 ]; then
    cat "$stage/viewer.log" >&2
    fail "the installed viewer ended with status $status before it was stopped"
  fi
  if [ -n "$(ls -A "$stage/work")" ]; then fail "velmora left files in its working folder"; fi
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "staged install: all checks passed ($(wc -l <"$stage/installed.txt") files)"
