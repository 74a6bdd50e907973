#!/usr/bin/env bash
# Builds the browser edition's core and velmora-dump for Node with Debian's emscripten, in
# build-web/: site/core/velmora-core.mjs with velmora-core.wasm (the ES module the page's
# worker imports) and velmora-dump.js (node build-web/velmora-dump.js ARGS). zlib, libdeflate
# and libyaml are compiled from Debian's own source packages, fetched through a private source
# list (scripts/debian-source.sh: apt checks them against the archive's signed index), the
# same versions the desktop links; cmake/Web.cmake checks their versions.
#   scripts/build-web.sh [CMAKE OPTION...]     e.g. -DVELMORA_NATIVE_BUILD=$PWD/build (the comparison test)
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh emscripten cmake ninja-build nlohmann-json3-dev dpkg-dev
# Node.js: Debian's, unless one is installed already (install-deps.sh says why).
command -v node > /dev/null || ./scripts/install-deps.sh nodejs
# Debian's emscripten runs its optimiser with Node and Debian's acorn.
export NODE_PATH=${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs

sources=build-web/debian-src
zlib=$(./scripts/debian-source.sh zlib "$sources")
yaml=$(./scripts/debian-source.sh libyaml "$sources")
deflate=$(./scripts/debian-source.sh libdeflate "$sources")

# The code page tables, written by a native build of the generator from glibc's conversions
# (the Linux build's own), since emscripten's C library decodes other text or none.
./scripts/install-deps.sh g++ zlib1g-dev libdeflate-dev libyaml-dev pkg-config
cmake -S . -B build-web/native -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_BUILD_GUI=OFF \
  -DVELMORA_BUILD_TESTS=OFF -DVELMORA_BUILD_BENCH=OFF > /dev/null
cmake --build build-web/native --target velmora_code_page_data

emcmake cmake -S . -B build-web -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_ZLIB_SOURCE="$zlib" \
  -DVELMORA_YAML_SOURCE="$yaml" -DVELMORA_LIBDEFLATE_SOURCE="$deflate" -DVELMORA_CODE_PAGE_TABLES="$PWD/build-web/native/code-pages/CodePageTableData.cpp" "$@"
cmake --build build-web --target velmora-core velmora-dump

# ---- The site (the page's part): web/site/, Graphviz's module from npm, the icons and the
# service worker's list of files, put beside the core.
if [ ! -f node_modules/@viz-js/viz/package.json ]; then
  npm ci --no-audit --no-fund
fi
./scripts/build-site.sh build-web/site
# ---- end of the site's part
ls -l build-web/site/core/velmora-core.mjs build-web/site/core/velmora-core.wasm build-web/velmora-dump.js
