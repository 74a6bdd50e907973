#!/usr/bin/env bash
# Builds Velmora for 64-bit Windows with Debian's MinGW-w64, in build-windows/:
# velmora.exe and velmora-dump.exe, statically linked (they need only the system's own
# DLLs), and the ZIP package build-windows/velmora-<version>-win64.zip with both programs,
# the README and the licence. libdeflate is built from Debian's source package
# (cmake/Windows.cmake). Installs the Debian packages it needs first.
#   scripts/build-windows.sh [CMAKE OPTION...]     e.g. -DVELMORA_BUILD_TESTS=ON
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh cmake ninja-build g++-mingw-w64-x86-64-posix libz-mingw-w64-dev \
  binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 googletest nlohmann-json3-dev imagemagick

cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DVELMORA_BUILD_BENCH=OFF -DVELMORA_BUILD_TESTS=OFF "$@"
cmake --build build-windows
(cd build-windows && cpack -G ZIP)

# Nothing beyond the system's own DLLs.
for exe in build-windows/app/velmora.exe build-windows/tools/velmora-dump.exe; do
  x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\tDLL Name: //p' | while read -r dll; do
    case "${dll,,}" in
      kernel32.dll | user32.dll | gdi32.dll | advapi32.dll | shell32.dll | comctl32.dll | comdlg32.dll | msvcrt.dll) ;;
      *) echo "build-windows: $exe needs $dll, which Windows does not provide" >&2; exit 1 ;;
    esac
  done
done
ls -l build-windows/velmora-*-win64.zip
