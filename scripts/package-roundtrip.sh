#!/usr/bin/env bash
# The Debian package's round trip on this machine:
#  1. builds Velmora in a Release build folder without sanitizers, with Debian's hardening
#     flags (dpkg-buildflags), and makes the package with `cpack -G DEB`;
#  2. shows its control data and contents and checks them with dpkg-deb and lintian; the
#     run-time dependencies come from dpkg-shlibdeps and are checked here;
#  3. installs it with `apt-get install ./velmora_*.deb`, runs the installed
#     /usr/bin/velmora-dump on the demo installation from another folder and starts the
#     installed viewer on an X server (Xvfb);
#  4. removes it with `apt-get remove velmora` and checks that none of its files is left;
#  5. makes the self-contained Linux bundle from the same build (scripts/build-bundle.sh)
#     and tries it in a minimal Debian root without Qt (scripts/check-bundle.sh).
#
# Usage: scripts/package-roundtrip.sh [BUILD_DIR [CMAKE_ARGS...]]   (default build-deb)
# Needs root or sudo for apt-get. Refuses to run while a package named velmora is installed.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

build=${1:-build-deb}
if [ $# -gt 0 ]; then shift; fi
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

# dpkg's three-letter state of the package ("ii " installed, "rc " configuration files
# left, "un " or nothing: not installed).
installed_status() { dpkg-query -W -f='${db:Status-Abbrev}' velmora 2>/dev/null || true; }
known_to_dpkg() { local s; s=$(installed_status); [ -n "${s:1:1}" ] && [ "${s:1:1}" != "n" ]; }
if known_to_dpkg; then
  echo "package-roundtrip: a package named velmora is installed ($(installed_status)); remove it first" >&2
  exit 1
fi

echo "== building in $build"
# Debian's build flags with every hardening feature (bindnow and PIE included).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_SANITIZE=OFF \
  -DVELMORA_BUILD_TESTS=OFF -DVELMORA_BUILD_BENCH=OFF -DVELMORA_BUILD_FUZZ=OFF \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" "$@" >/dev/null
cmake --build "$build" -j2
rm -f "$build"/velmora_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
debs=("$build"/velmora_*.deb)
if [ "${#debs[@]}" -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  echo "package-roundtrip: expected one velmora_*.deb in $build, found: ${debs[*]}" >&2
  exit 1
fi
deb=$(realpath "${debs[0]}")

echo "== $deb"
dpkg-deb --info "$deb"
echo "== dpkg -c"
contents=$(dpkg -c "$deb")
echo "$contents"

# The dependencies dpkg-shlibdeps found, and the font the viewer needs by name.
depends=$(dpkg-deb --field "$deb" Depends)
depends_names=$(tr ',' '\n' <<<"$depends" | sed 's/^ *//; s/ .*//')
need=(libc6 libstdc++6 zlib1g libyaml-0-2)
has_viewer=no
if grep -q ' \./usr/bin/velmora$' <<<"$contents"; then
  has_viewer=yes
  need+=(libqt6core6 libqt6widgets6 fonts-ipafont-gothic)
fi
for p in "${need[@]}"; do
  if ! grep -qxF "$p" <<<"$depends_names"; then
    echo "package-roundtrip: Depends lacks $p: $depends" >&2
    exit 1
  fi
done
if grep -q 'asan\|ubsan' <<<"$depends"; then
  echo "package-roundtrip: the package depends on a sanitizer runtime: $depends" >&2
  exit 1
fi

echo "== lintian"
# Errors fail the round trip; every tag, whatever its level, is shown.
lintian --display-level '>=pedantic' --fail-on error "$deb"
echo "lintian: no errors"

echo "== apt-get install ./$(basename "$deb")"
installed_by_us=no
cleanup() {
  if [ "$installed_by_us" = yes ]; then $SUDO apt-get remove -y velmora >/dev/null || true; fi
}
trap cleanup EXIT
(cd "$(dirname "$deb")" && $SUDO apt-get install -y -q "./$(basename "$deb")")
installed_by_us=yes
[ "$(installed_status)" = "ii " ] || { echo "package-roundtrip: velmora is not installed: $(installed_status)" >&2; exit 1; }
files=$(dpkg -L velmora)

work=$(mktemp -d "${TMPDIR:-/tmp}/velmora-roundtrip.XXXXXX")
demo=$(realpath "$build/demo-prefix")
(cd "$work" && WINEPREFIX="$demo" /usr/bin/velmora-dump --format json >dump.json)
python3 -m json.tool "$work/dump.json" >/dev/null
python3 - "$work/dump.json" <<'PY'
import json, sys
root = json.load(open(sys.argv[1]))
techs = root["techs"]
named = sum(1 for t in techs if t["view"]["nameText"])
if not techs or len(techs) != root["techCount"] or named * 2 < len(techs):
    sys.exit(f"installed velmora-dump: {len(techs)} techs, techCount {root['techCount']}, {named} names")
print(f"installed velmora-dump: {len(techs)} techs, {len(root['effects'])} effects, {named} name texts")
PY
man -w velmora-dump >/dev/null
if [ "$has_viewer" = yes ]; then
  desktop-file-validate /usr/share/applications/velmora.desktop
  metainfo=$(grep '^/usr/share/metainfo/[^/]*\.metainfo\.xml$' <<<"$files" || true)
  [ "$(wc -w <<<"$metainfo")" -eq 1 ] || { echo "package-roundtrip: expected one AppStream file, found: $metainfo" >&2; exit 1; }
  appstreamcli validate --no-net "$metainfo"
  man -w velmora >/dev/null
  # The installed viewer starts on an X server with the installed libraries and runs
  # until it is stopped.
  status=0
  (cd "$work" && WINEPREFIX="$demo" xvfb-run -a timeout 5 /usr/bin/velmora) || status=$?
  if [ "$status" -ne 124 ]; then
    echo "package-roundtrip: the installed viewer ended with status $status before it was stopped" >&2
    exit 1
  fi
  echo "installed velmora: started and ran until stopped"
fi
rm -rf "$work"

echo "== apt-get remove velmora"
$SUDO apt-get remove -y -q velmora
installed_by_us=no
if known_to_dpkg; then
  echo "package-roundtrip: velmora is still known to dpkg after removal: '$(installed_status)'" >&2
  exit 1
fi
left=0
while IFS= read -r f; do
  if [ -e "$f" ] && [ ! -d "$f" ]; then echo "left behind: $f" >&2; left=1; fi
done <<<"$files"
for d in /usr/share/doc/velmora; do
  if [ -e "$d" ]; then echo "left behind: $d" >&2; left=1; fi
done
[ "$left" -eq 0 ] || exit 1
echo "package-roundtrip: $(basename "$deb") built, checked, installed, run and removed"

if [ "$has_viewer" = yes ]; then
  start=$SECONDS
  ./scripts/build-bundle.sh "$build"
  made=$((SECONDS - start))
  ./scripts/check-bundle.sh "$build"
  echo "package-roundtrip: the Linux bundle made in ${made}s, tried in $((SECONDS - start - made))s"
fi
