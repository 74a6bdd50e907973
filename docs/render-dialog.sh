#!/usr/bin/env bash
# Takes the picture of the dialog at the top of the README, docs/dialog.png: the viewer on
# the demo installation, its data file loaded and one tech selected, on a virtual display
# (Xvfb) of its own. Needs a build folder with the viewer and the demo (default: build).
set -euo pipefail
cd "$(dirname "$0")/.."
. docs/picture-of-dialog.sh
build="${1:-build}"
if [ -z "${VELMORA_RENDER_DISPLAY:-}" ]; then
  VELMORA_RENDER_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$build"
fi
export QT_QPA_PLATFORM=xcb WINEPREFIX="$PWD/$build/demo-prefix"
"$build/app/velmora" &
viewer=$!
trap 'kill "$viewer" 2>/dev/null || true' EXIT
picture_of_dialog docs/dialog.png 2
