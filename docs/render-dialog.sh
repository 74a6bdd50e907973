#!/usr/bin/env bash
# Takes the picture of the dialog at the top of the README, docs/dialog.png: the viewer on
# the demo installation, its data file loaded and one tech selected, on a virtual display
# (Xvfb) of its own. Needs a build folder with the viewer and the demo (default: build).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
if [ -z "${VELMORA_RENDER_DISPLAY:-}" ]; then
  VELMORA_RENDER_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$build"
fi
export QT_QPA_PLATFORM=xcb WINEPREFIX="$PWD/$build/demo-prefix"
"$build/app/velmora" &
viewer=$!
trap 'kill "$viewer" 2>/dev/null || true' EXIT
window=$(xdotool search --sync --onlyvisible --name '^Velmora$' | head -n 1)
xdotool windowfocus --sync "$window"
# The tech list has the focus; the path box comes next. Enter there loads the data file.
xdotool key --delay 200 Tab Return
sleep 2
# Back to the tech list, and down to tech 6 (the first Down selects line 000): a tech with
# required techs, two costs and five effect lines.
xdotool key --delay 50 shift+Tab Down Down Down Down Down Down Down
sleep 1
import -window "$window" docs/dialog.png
echo "wrote docs/dialog.png"
