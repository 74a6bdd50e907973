#!/usr/bin/env bash
# Installs every Debian package Velmora needs to build, run and test, or only the packages
# named on the command line. Idempotent: packages already present are left as they are.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  zlib1g-dev libyaml-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev libxkbcommon-dev libxcb1-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev nlohmann-json3-dev rapidjson-dev
  clang libclang-rt-14-dev llvm
  binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  fonts-ipafont-gothic fontconfig
  xvfb xauth x11-utils
  graphviz jq xdotool
  # The renderer the Markdown notes are checked with (GitHub-flavoured, its autolinks).
  cmark-gfm
  dpkg-dev file fakeroot lintian desktop-file-utils man-db python3 appstream
  # The Linux bundle (scripts/build-bundle.sh) and its trial in a minimal root (check-bundle.sh).
  patchelf qt6-wayland libqt6svg6 mmdebstrap
  # The launcher's test runs the menu entry it writes through GLib (gio launch).
  libglib2.0-bin
  # The Windows build (scripts/build-windows.sh) and its tests under Wine, with Wine's own
  # fonts (Tahoma, which the system's dialog font "MS Shell Dlg 2" stands for).
  g++-mingw-w64-x86-64-posix libz-mingw-w64-dev imagemagick wine wine64 fonts-wine
  # The load's fast inflate.
  libdeflate-dev
  # The browser edition (scripts/build-web.sh) and its tests in a real browser: Debian's
  # emscripten, Node.js, and Chromium driven by Playwright.
  emscripten chromium
)
# Node.js and npm: Debian's, unless a Node.js with its own npm is installed already (a
# packaged Node.js from elsewhere conflicts with Debian's npm).
if [ "$#" -eq 0 ] && ! { command -v node && command -v npm; } >/dev/null 2>&1; then
  packages+=(nodejs npm)
fi
if [ "$#" -gt 0 ]; then packages=("$@"); fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends "${missing[@]}"
