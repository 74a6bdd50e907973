#!/bin/sh
# Velmora's self-contained Linux bundle: runs the viewer from the folder this script is in,
# wherever that was unpacked.
#
#   ./velmora.sh [DATAFILE]               the viewer (any arguments go to it)
#   ./velmora.sh --install-desktop-entry  adds Velmora to your menu: the desktop entry, naming
#                                         this folder, and the icon, under ~/.local/share
#   ./velmora.sh --uninstall              removes them again
#
# The menu entry names this folder by its full path: after moving the folder, install the
# entry again from the new place.
set -eu

here=$(dirname "$(readlink -f "$0")")
data=${XDG_DATA_HOME:-$HOME/.local/share}
entry=$data/applications/velmora.desktop
icons=$data/icons/hicolor
marker=X-Velmora-Bundle=true

# The icon files: the bundle's sizes, each as it is in the hicolor theme.
icon_files() {
  (cd "$here/share/icons/hicolor" && find . -path '*/apps/velmora.*' -type f | sed 's|^\./||')
}

# Refuses to touch a desktop entry that no bundle installed: it is the user's own.
check_ours() {
  if [ -f "$entry" ] && ! grep -qx "$marker" "$entry"; then
    echo "velmora.sh: $entry was not installed by a Velmora bundle; left as it is" >&2
    exit 1
  fi
}

# Desktops read the icon through the theme's cache where the user's hicolor theme has one.
refresh() {
  if command -v gtk-update-icon-cache >/dev/null 2>&1 && [ -f "$icons/index.theme" ]; then
    gtk-update-icon-cache -q -t "$icons" 2>/dev/null || true
  fi
}

# A path as one argument of a desktop entry's Exec key: quoted, with \ " ` $ escaped inside
# the quotes, % doubled, and then every \ escaped again as the key's string value wants.
exec_argument() {
  printf '%s' "$1" | sed -e 's/[\\"`$]/\\&/g' -e 's/%/%%/g' -e 's/^/"/' -e 's/$/"/' -e 's/\\/\\\\/g'
}

# A path as a plain string value (TryExec): only \ is escaped.
string_value() {
  printf '%s' "$1" | sed -e 's/\\/\\\\/g'
}

case "${1:-}" in
--install-desktop-entry)
  if [ "$#" -ne 1 ]; then echo "velmora.sh: --install-desktop-entry takes no arguments" >&2; exit 64; fi
  case "$here" in
  *"
"*) echo "velmora.sh: the folder's name has a line break, which a desktop entry cannot name: $here" >&2; exit 1 ;;
  esac
  check_ours
  mkdir -p "$data/applications"
  launcher=$here/velmora.sh
  tmp=$entry.tmp.$$
  sed -e "s|^Exec=velmora |Exec=$(exec_argument "$launcher" | sed 's/[&|\\]/\\&/g') |" \
    -e "s|^TryExec=.*|TryExec=$(string_value "$launcher" | sed 's/[&|\\]/\\&/g')|" \
    -e "/^\[Desktop Entry\]\$/a $marker" "$here/share/applications/velmora.desktop" >"$tmp"
  if ! grep -q '^Exec="' "$tmp"; then
    rm -f "$tmp"
    echo "velmora.sh: $here/share/applications/velmora.desktop has no Exec=velmora line" >&2
    exit 1
  fi
  mv -f "$tmp" "$entry"
  icon_files | while IFS= read -r f; do
    mkdir -p "$icons/$(dirname "$f")"
    cp -f "$here/share/icons/hicolor/$f" "$icons/$f"
  done
  refresh
  echo "velmora.sh: installed $entry and the icon, running $launcher"
  ;;
--uninstall)
  if [ "$#" -ne 1 ]; then echo "velmora.sh: --uninstall takes no arguments" >&2; exit 64; fi
  check_ours
  if [ -f "$entry" ]; then
    rm -f "$entry"
    echo "velmora.sh: removed $entry and the icon"
  else
    echo "velmora.sh: there was no $entry; removed the icon"
  fi
  icon_files | while IFS= read -r f; do rm -f "$icons/$f"; done
  refresh
  ;;
-h | --help)
  echo "usage: velmora.sh --install-desktop-entry | --uninstall, or the viewer's own arguments:"
  exec "$here/bin/velmora" --help
  ;;
*)
  exec "$here/bin/velmora" "$@"
  ;;
esac
