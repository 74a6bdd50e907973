#!/usr/bin/env bash
# Takes the picture of the Windows dialog in the README, docs/dialog-windows.png: velmora.exe
# under Wine on the demo installation, its data file loaded and one tech selected, on a
# virtual display (Xvfb) of its own, in a Wine prefix of its own made from the demo's.
#   docs/render-dialog-windows.sh [WINDOWS-BUILD [NATIVE-BUILD [PICTURE]]]
# (defaults: build-windows, build, docs/dialog-windows.png). What the prefix looks like:
#   VELMORA_RENDER_FONT=replaced   the template's font drawn with IPAPGothic through Wine's
#                                  font replacements (the default)
#   VELMORA_RENDER_FONT=none       no Japanese font at all: fontconfig shows Wine DejaVu only,
#                                  as on an English system
#   VELMORA_RENDER_DPI=96|144|192  the prefix's LogPixels (default 96)
# The window's size in pixels is printed.
set -euo pipefail
cd "$(dirname "$0")/.."
. docs/picture-of-dialog.sh
windows="${1:-build-windows}"
native="${2:-build}"
picture="${3:-docs/dialog-windows.png}"
font="${VELMORA_RENDER_FONT:-replaced}"
dpi="${VELMORA_RENDER_DPI:-96}"
if [ -z "${VELMORA_RENDER_DISPLAY:-}" ]; then
  VELMORA_RENDER_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1600x1200x24" "$0" "$windows" "$native" "$picture"
fi
prefix="$PWD/$windows/render-prefix-$font-$dpi"
export WINEPREFIX="$prefix" WINEDEBUG=-all LC_ALL=C.UTF-8
if [ "$font" = none ]; then
  # Only DejaVu: what Wine finds on a system without Japanese fonts.
  mkdir -p "$prefix-fontconfig"
  printf '<?xml version="1.0"?>\n<fontconfig><dir>/usr/share/fonts/truetype/dejavu</dir><cachedir>%s</cachedir></fontconfig>\n' \
    "$prefix-fontconfig/cache" > "$prefix-fontconfig/fonts.conf"
  export FONTCONFIG_FILE="$prefix-fontconfig/fonts.conf"
fi
if [ ! -f "$prefix/.velmora-ready" ]; then
  rm -rf "$prefix"
  cp -a "$native/demo-prefix" "$prefix"
  wineboot -u
  # Wine's own Tahoma, which the system's dialog font stands for: Debian's Wine installs it
  # (fonts-wine) where it does not look, so it goes where Windows keeps its fonts.
  cp /usr/share/wine/fonts/tahoma*.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
  if [ "$font" = replaced ]; then
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /t REG_SZ /d IPAPGothic /f
  fi
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f
  wineserver -w
  touch "$prefix/.velmora-ready"
fi
wine "$windows/app/velmora.exe" &
viewer=$!
trap 'kill "$viewer" 2>/dev/null || true; wineserver -k || true' EXIT
picture_of_dialog "$picture" 3
