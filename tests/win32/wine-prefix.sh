#!/usr/bin/env bash
# Makes the Wine prefix the Windows tests run in, once: a new prefix, and the font the
# dialog templates name drawn with IPAPGothic through Wine's font replacements.
#   wine-prefix.sh PREFIX
set -euo pipefail
export WINEPREFIX=$1 WINEDEBUG=-all
if [ -f "$WINEPREFIX/.velmora-ready" ]; then
  exit 0
fi
wineboot -i
LC_ALL=C.UTF-8 wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /t REG_SZ /d IPAPGothic /f
wineserver -w
touch "$WINEPREFIX/.velmora-ready"
