#!/usr/bin/env bash
# Installs what the project needs, builds it with AddressSanitizer and
# UndefinedBehaviorSanitizer, runs each fuzz target for a bounded time, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

# The layering of the source folders (README, "Layout").
./scripts/check-layers

# Every build below treats warnings as errors (VELMORA_WERROR).
# Fuzzing first (VELMORA_FUZZ_SECONDS per target, default 30: nine targets, and the whole run stays near 25 minutes; 0 skips it).
if [ "${VELMORA_FUZZ_SECONDS:-30}" != "0" ]; then
  ./fuzz/run.sh "${VELMORA_FUZZ_SECONDS:-30}"
fi

# The Debian package: built, installed, run and removed (VELMORA_PACKAGE_ROUNDTRIP=0 skips it).
if [ "${VELMORA_PACKAGE_ROUNDTRIP:-1}" != "0" ]; then
  ./scripts/package-roundtrip.sh build-deb -DVELMORA_WERROR=ON
fi

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_SANITIZE=ON -DVELMORA_BUILD_BENCH=OFF -DVELMORA_WERROR=ON
cmake --build build-asan
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-asan --output-on-failure -j2 --timeout 600

# The browser edition: its core and velmora-dump for Node (WebAssembly, Release) with the
# site beside the core in build-web/site/; the one CTest test there (the Node dump answers
# as the native one on the demo installation above); and the page tested in Debian's
# Chromium, driven by Playwright, against the same demo installation and velmora-dump.
npm ci --no-audit --no-fund
./scripts/build-web.sh -DVELMORA_NATIVE_BUILD="$PWD/build-asan"
ctest --test-dir build-web --output-on-failure --timeout 600
VELMORA_NATIVE_BUILD="$PWD/build-asan" node tests/web/run.mjs

# Windows: cross-built with MinGW-w64, its tests run by Wine on Xvfb, beside the native
# build's demo installation and dump tool (VELMORA_WINDOWS=0 skips it).
if [ "${VELMORA_WINDOWS:-1}" != "0" ]; then
  ./scripts/build-windows.sh -DVELMORA_BUILD_TESTS=ON -DVELMORA_WERROR=ON -DVELMORA_NATIVE_BUILD="$PWD/build-asan"
  xvfb-run -a ctest --test-dir build-windows --output-on-failure -j2 --timeout 600
fi
