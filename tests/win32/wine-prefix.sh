#!/usr/bin/env bash
# Makes the Wine prefix the Windows tests run in, once: a new prefix, and the font the
# dialog templates name drawn with IPAPGothic through Wine's font replacements; with DPI,
# at that many dots per inch (LogPixels) instead of 96.
#   wine-prefix.sh PREFIX [DPI]
set -euo pipefail
export WINEPREFIX=$1 WINEDEBUG=-all
# The mark of a prefix made as this script makes it now (one made before Tahoma was put in
# is made again).
ready="$WINEPREFIX/.velmora-ready-tahoma"
if [ -f "$ready" ]; then
  exit 0
fi
wineboot -i
# Wine's own Tahoma, which the system's dialog font stands for: Debian's Wine installs it
# (fonts-wine) where it does not look, so it goes where Windows keeps its fonts.
cp /usr/share/wine/fonts/tahoma*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
LC_ALL=C.UTF-8 wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /t REG_SZ /d IPAPGothic /f
if [ -n "${2:-}" ]; then
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$2" /f
fi
wineserver -w
touch "$ready"
