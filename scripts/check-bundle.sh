#!/usr/bin/env bash
# Tries the Linux bundle that scripts/build-bundle.sh made in BUILD_DIR on a system without
# Qt: a minimal Debian root (mmdebstrap --variant=minbase, from the Debian archive apt uses
# here) with only the packages of packaging/bundle/system-packages.txt, Xvfb and xdotool.
# There, as an unprivileged user, with the bundle unpacked in a folder whose name has a
# space, a dollar and a percent sign:
#  - ldd of every program, library and plugin of the bundle finds every library, in the
#    bundle or among the ones it leaves out (share/doc/velmora/libraries.txt);
#  - the bundle's velmora-dump --format json gives the same bytes as the build's on the
#    demo installation;
#  - velmora.sh opens the viewer's window on Xvfb (found with xdotool), and the viewer has
#    the bundle's dialog font open;
#  - velmora.sh --install-desktop-entry adds the menu entry (checked here with
#    desktop-file-validate, its Exec naming velmora.sh) and the icon, --uninstall removes
#    them, and neither touches a velmora.desktop the user wrote.
# The window as Xvfb last showed it is left in BUILD_DIR/bundle-window.png.
#
# Usage: scripts/check-bundle.sh [BUILD_DIR]   (default build-deb). Needs root or sudo.
set -euo pipefail

# The part that runs inside the root, as the user: inside BUNDLE DEMO REFERENCE_JSON
if [ "${1:-}" = --inside ]; then
  bundle=$2 demo=$3 reference=$4
  failures=0
  fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

  # A set, not a pipe into grep -q: under pipefail, grep leaving early kills the writer
  # and reads as no match.
  declare -A left_out=()
  while read -r soname; do left_out[$soname]=1; done \
    < <(awk '$1 == "left-out" { print $2 }' "$bundle/share/doc/velmora/libraries.txt")
  files=0
  while IFS= read -r -d '' f; do
    files=$((files + 1))
    # (ldd warns of every library that is not executable, as Debian's are not.)
    if ! out=$(ldd "$f" 2> >(grep -v 'execution permission' >&2)); then
      fail "ldd ${f#"$bundle/"} failed"
      continue
    fi
    while IFS= read -r line; do
      if [[ $line =~ ^[[:space:]]*([^ ]+)\ =\>\ not\ found$ ]]; then
        fail "ldd ${f#"$bundle/"}: ${BASH_REMATCH[1]} not found"
      elif [[ $line =~ ^[[:space:]]*([^ ]+)\ =\>\ (.*)\ \(0x[0-9a-f]+\)$ ]]; then
        soname=${BASH_REMATCH[1]} path=${BASH_REMATCH[2]}
        if [[ "$(realpath "$path")" != "$bundle"/* ]] && [ -z "${left_out[$soname]:-}" ]; then
          fail "ldd ${f#"$bundle/"}: $soname is taken from the system ($path) but not listed as left out"
        fi
      fi
    done <<<"$out"
  done < <(find "$bundle/bin" "$bundle/lib" "$bundle/plugins" -type f ! -name qt.conf -print0)
  echo "ldd: $files programs, libraries and plugins"

  if (cd /tmp && WINEPREFIX="$demo" "$bundle/bin/velmora-dump" --format json >/tmp/dump.json); then
    cmp /tmp/dump.json "$reference" || fail "the bundle's JSON dump differs from the build's"
  else
    fail "the bundle's velmora-dump exited with $?"
  fi
  echo "velmora-dump: $(wc -c </tmp/dump.json) bytes of JSON"

  export DISPLAY=:5
  Xvfb "$DISPLAY" -nolisten tcp -screen 0 1024x768x24 -fbdir /tmp >/tmp/xvfb.log 2>&1 &
  xvfb=$!
  for _ in $(seq 100); do [ -S /tmp/.X11-unix/X5 ] && break; sleep 0.1; done
  (cd /tmp && WINEPREFIX="$demo" exec "$bundle/velmora.sh") >/tmp/viewer.log 2>&1 &
  viewer=$!
  window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Velmora$' | head -n 1) || true
  if [ -z "$window" ]; then
    cat /tmp/viewer.log >&2
    fail "the viewer's window did not open"
  fi
  sleep 1
  kill -0 "$viewer" 2>/dev/null || fail "the viewer ended"
  grep -qF "$bundle/share/velmora/fonts/" "/proc/$viewer/maps" || fail "the viewer has not opened the bundle's dialog font"
  echo "velmora: window $window open"
  cp /tmp/Xvfb_screen0 "$HOME/window.xwd"
  kill "$viewer" "$xvfb" 2>/dev/null || true

  entry=$HOME/.local/share/applications/velmora.desktop
  icons=$HOME/.local/share/icons/hicolor
  "$bundle/velmora.sh" --install-desktop-entry || fail "--install-desktop-entry exited with $?"
  grep -qxF "TryExec=$bundle/velmora.sh" "$entry" || fail "the desktop entry does not try $bundle/velmora.sh"
  for icon in 16x16/apps/velmora.png 32x32/apps/velmora.png 48x48/apps/velmora.png scalable/apps/velmora.svg; do
    cmp -s "$icons/$icon" "$bundle/share/icons/hicolor/$icon" || fail "icon $icon not installed"
  done
  cp "$entry" "$HOME/installed.desktop"
  "$bundle/velmora.sh" --uninstall || fail "--uninstall exited with $?"
  [ ! -e "$entry" ] && [ -z "$(find "$icons" -type f)" ] || fail "--uninstall left files: $(find "$entry" "$icons" -type f 2>&1)"
  printf '[Desktop Entry]\nType=Application\nName=Mine\nExec=mine\n' >"$entry"
  for option in --install-desktop-entry --uninstall; do
    if "$bundle/velmora.sh" "$option" 2>/dev/null || ! grep -qx Name=Mine "$entry"; then
      fail "$option replaced or removed a desktop entry of the user's own"
    fi
  done
  echo "velmora.sh: desktop entry installed and removed"
  exit "$failures"
fi

self=$(realpath "$0")
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build-deb}")
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
fail() { echo "check-bundle: $*" >&2; exit 1; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
tarball=$build/velmora-$version-linux-x86_64.tar.gz
[ -f "$tarball" ] || fail "no bundle $tarball: run scripts/build-bundle.sh first"

# apt's Debian sources (not other vendors' archives) and this system's release.
sources=()
for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
  if [ -f "$f" ] && grep -qE '^(URIs:|deb) .*://[^ ]*/debian(-security)?/?( |$)' "$f"; then sources+=("$f"); fi
done
[ "${#sources[@]}" -gt 0 ] || fail "apt names no Debian archive"
codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
mapfile -t packages < <(grep -v '^#' packaging/bundle/system-packages.txt)
packages+=(xvfb xdotool)

root=$build/bundle-root
start=$SECONDS
echo "== a minimal $codename root with ${packages[*]}"
cleanup() { $SUDO rm -rf "$root"; }
trap cleanup EXIT
cleanup
$SUDO mmdebstrap --quiet --variant=minbase --include="$(IFS=,; echo "${packages[*]}")" \
  --dpkgopt=force-unsafe-io --dpkgopt='path-exclude=/usr/share/doc/*' \
  --dpkgopt='path-exclude=/usr/share/man/*' --dpkgopt='path-exclude=/usr/share/locale/*' \
  --customize-hook='chroot "$1" useradd --create-home --shell /bin/bash player' \
  "$codename" "$root" "${sources[@]}"
made=$((SECONDS - start))

# The bundle, the demo installation and the build's dump, owned by the user.
home=/home/player
inside_bundle="$home/My Games \$1 100%/velmora-$version"
$SUDO mkdir -p "$root$(dirname "$inside_bundle")"
$SUDO tar -xzf "$tarball" -C "$root$(dirname "$inside_bundle")"
$SUDO cp -a "$build/demo-prefix" "$root$home/demo"
(cd /tmp && WINEPREFIX="$build/demo-prefix" "$build/tools/velmora-dump" --format json) | $SUDO tee "$root$home/reference.json" >/dev/null
$SUDO cp "$self" "$root$home/check-bundle.sh"
$SUDO chroot "$root" chown -R player:player "$home"

echo "== in the root, as $($SUDO chroot "$root" id player)"
status=0
$SUDO unshare --mount --pid --net --ipc --uts --fork --kill-child -- bash -c '
  mount -t proc proc "$1/proc" && mount -t tmpfs tmpfs "$1/dev/shm" && mount -t tmpfs -o mode=1777 tmpfs "$1/tmp" &&
  exec chroot --userspec=player:player "$1" /usr/bin/env -i HOME="$2" PATH=/usr/bin:/bin LANG=C.UTF-8 \
    bash "$2/check-bundle.sh" --inside "$3" "$2/demo" "$2/reference.json"' _ "$root" "$home" "$inside_bundle" || status=$?

# The desktop entry as velmora.sh wrote it: valid, and its Exec naming the bundle's
# velmora.sh as one argument (run by /bin/sh, as the path holds a %), then the file.
entry=$root$home/installed.desktop
if ! desktop-file-validate "$entry" || ! python3 - "$entry" "$inside_bundle/velmora.sh" <<'PY'; then
import re, sys
lines = open(sys.argv[1], encoding="utf-8").read().splitlines()
value = next(l[5:] for l in lines if l.startswith("Exec="))
value = re.sub(r"\\(.)", lambda m: {"s": " ", "n": "\n", "t": "\t", "r": "\r"}.get(m[1], m[1]), value)
m = re.fullmatch(r'(?:/bin/sh )?"((?:[^"\\]|\\.)*)" %f', value)
if not m or re.sub(r"\\(.)", r"\1", m[1]).replace("%%", "%") != sys.argv[2]:
    sys.exit(f"the desktop entry's Exec={value} does not run {sys.argv[2]}")
PY
  echo "FAIL: the desktop entry velmora.sh installed" >&2
  status=1
fi
if command -v convert >/dev/null && [ -f "$root$home/window.xwd" ]; then
  convert "xwd:$root$home/window.xwd" "$build/bundle-window.png" 2>/dev/null || true
fi
[ "$status" -eq 0 ] || fail "the bundle failed $status check(s) in the minimal root"
echo "check-bundle: the bundle passed in a minimal root without Qt (root made in ${made}s, checked in $((SECONDS - start - made))s)"
