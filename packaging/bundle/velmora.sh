#!/bin/sh
# Velmora's self-contained Linux bundle: runs the viewer from the folder this script is in,
# wherever that was unpacked.
#
#   ./velmora.sh [DATAFILE]               the viewer (any arguments go to it)
#   ./velmora.sh --install-desktop-entry  adds Velmora to your menu: the desktop entry, naming
#                                         this folder, and the icon, under ~/.local/share
#   ./velmora.sh --uninstall              removes what --install-desktop-entry installed
#
# The menu entry names this folder by its full path: after moving the folder, install the
# entry again from the new place. Only files the launcher installed are replaced or removed:
# the desktop entry carries a mark, and the icons are listed with their checksums in
# velmora/installed-icons.sha256 beside the menu's folders; a file of the user's own, a link
# or a folder in their place is left as it is, and the install is refused.
set -eu

# The folder, with the script's links followed; the x keeps a line break that ends a name.
here=$(readlink -f -- "$0"; echo x)
here=${here%?x}
here=${here%/*}
marker=X-Velmora-Bundle=true
nl='
'
tmp=
trap '[ -z "$tmp" ] || rm -f -- "$tmp"' EXIT

# The menu's places, under $XDG_DATA_HOME where that is an absolute path (a relative one is
# ignored, as the XDG base directories want), else under ~/.local/share.
locate() {
  case "${XDG_DATA_HOME:-}" in
  /*) data=$XDG_DATA_HOME ;;
  *)
    case "${HOME:-}" in
    /*) data=$HOME/.local/share ;;
    *) echo "velmora.sh: neither HOME nor XDG_DATA_HOME names an absolute folder, so there is no place for the menu entry" >&2; exit 1 ;;
    esac
    ;;
  esac
  entry=$data/applications/velmora.desktop
  icons=$data/icons/hicolor
  manifest=$data/velmora/installed-icons.sha256
}

# The icon files: the bundle's sizes, each as it is in the hicolor theme.
icon_files() {
  (cd "$here/share/icons/hicolor" && find . -path '*/apps/velmora.*' -type f | sed 's|^\./||')
}

# Why PLACE is none of the launcher's to replace or remove, when something other than a
# regular file is there: a link (never written through) or a folder.
not_a_file() {
  if [ -L "$1" ]; then
    echo "$1 is a symbolic link"
  elif [ -e "$1" ] && [ ! -f "$1" ]; then
    echo "$1 is not a regular file"
  fi
}

# Notes each PLACE that is not the launcher's to replace or remove in $refused: anything but
# a regular file, a desktop entry without the mark, an icon (at RELATIVE to the data folder)
# that is not listed as installed or has changed since.
claim() {
  why=$(not_a_file "$1")
  if [ -n "$why" ] || [ ! -e "$1" ]; then
    :
  elif [ "$1" = "$entry" ]; then
    grep -qx "$marker" "$1" || why="$1 was not installed by a Velmora bundle"
  elif [ -n "${2:-}" ]; then
    installed_icon "$1" "$2" || why="$1 is not an icon a Velmora bundle installed, or was changed since"
  fi
  if [ -n "$why" ]; then
    echo "velmora.sh: $why; left as it is" >&2
    refused=1
  fi
}

checksum() {
  sum=$(sha256sum <"$1")
  echo "${sum%% *}"
}

# Whether the icon at PLACE (RELATIVE to the data folder) is one the launcher installed:
# listed, and still as it was written.
installed_icon() {
  [ -f "$1" ] && [ ! -L "$1" ] && [ -f "$manifest" ] || return 1
  listed=$(awk -v p="$2" '$2 == p { print $1 }' "$manifest")
  [ -n "$listed" ] && [ "$(checksum "$1")" = "$listed" ]
}

# Removes each icon the list of installed ones names and that is still as it was written,
# but for those in the listing KEEP.
remove_icons() {
  [ -f "$manifest" ] && [ ! -L "$manifest" ] || return 0
  while read -r _ f; do
    case "$1" in *"  $f$nl"*) continue ;; esac
    if installed_icon "$data/$f" "$f"; then
      rm -f -- "$data/$f"
      echo "velmora.sh: removed $data/$f"
    elif [ -e "$data/$f" ] || [ -L "$data/$f" ]; then
      echo "velmora.sh: $data/$f was changed since it was installed; left as it is" >&2
    fi
  done <"$manifest"
}

# Writes the output of the command after PLACE to a new file beside it, then renames that
# over PLACE, so that a link put there meanwhile is replaced rather than written through.
put() {
  place=$1
  shift
  tmp=$(mktemp -- "${place%/*}/.${place##*/}.XXXXXX")
  "$@" >"$tmp"
  chmod 644 "$tmp"
  mv -fT -- "$tmp" "$place"
  tmp=
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

# The bundle's desktop entry, marked and naming this folder's launcher. GLib looks for the
# program Exec names before it turns %% back into %, so a launcher whose path holds a % is
# run by /bin/sh, named first.
desktop_entry() {
  program=$(exec_argument "$launcher")
  case "$launcher" in
  *%*) program="/bin/sh $program" ;;
  esac
  sed -e "s|^Exec=velmora |Exec=$(printf '%s' "$program" | sed 's/[&|\\]/\\&/g') |" \
    -e "s|^TryExec=.*|TryExec=$(string_value "$launcher" | sed 's/[&|\\]/\\&/g')|" \
    -e "/^\[Desktop Entry\]\$/a $marker" "$here/share/applications/velmora.desktop"
}

# The install, refused as a whole before anything is written when a place is not the
# launcher's to write.
install_entry() {
  launcher=$here/velmora.sh
  shown=$(printf '%s' "$launcher" | LC_ALL=C tr '\001-\037\177' '?'; echo x)
  if [ "$shown" != "${launcher}x" ]; then
    echo "velmora.sh: the folder's path holds a line break or another control character (shown as ?), which a desktop entry cannot name: ${shown%x}" >&2
    exit 1
  fi
  if ! printf '%s' "$launcher" | iconv -f UTF-8 -t UTF-8 >/dev/null 2>&1; then
    echo "velmora.sh: the folder's path is not UTF-8, which a desktop entry must be: $launcher" >&2
    exit 1
  fi
  if ! grep -qs '^Exec=velmora ' "$here/share/applications/velmora.desktop"; then
    echo "velmora.sh: $here/share/applications/velmora.desktop is missing or has no Exec=velmora line" >&2
    exit 1
  fi
  locate
  refused=
  claim "$entry"
  claim "$manifest"
  for f in $(icon_files); do claim "$icons/$f" "icons/hicolor/$f"; done
  if [ -n "$refused" ]; then
    echo "velmora.sh: nothing installed: move the files named above away to install Velmora's menu entry" >&2
    exit 1
  fi
  listing=
  for f in $(icon_files); do
    listing="$listing$(checksum "$here/share/icons/hicolor/$f")  icons/hicolor/$f$nl"
  done
  # The folders first, so that one that cannot be made stops the install before any file.
  mkdir -p -- "${entry%/*}"
  mkdir -p -- "${manifest%/*}"
  for f in $(icon_files); do mkdir -p -- "$icons/${f%/*}"; done
  remove_icons "$listing"
  put "$manifest" printf '%s' "$listing"
  for f in $(icon_files); do put "$icons/$f" cat -- "$here/share/icons/hicolor/$f"; done
  put "$entry" desktop_entry
  refresh
  echo "velmora.sh: installed $entry and the icon, running $launcher"
}

# The uninstall: the marked entry, and the icons it installed.
uninstall() {
  locate
  refused=
  claim "$entry"
  [ -z "$refused" ] || exit 1
  if [ -f "$entry" ]; then
    rm -f -- "$entry"
    echo "velmora.sh: removed $entry"
  else
    echo "velmora.sh: there was no $entry"
  fi
  if [ -f "$manifest" ] && [ ! -L "$manifest" ]; then
    remove_icons ""
    rm -f -- "$manifest"
    rmdir -- "${manifest%/*}" 2>/dev/null || true
  fi
  refresh
}

case "${1:-}" in
--install-desktop-entry)
  if [ "$#" -ne 1 ]; then echo "velmora.sh: --install-desktop-entry takes no arguments" >&2; exit 64; fi
  install_entry
  ;;
--uninstall)
  if [ "$#" -ne 1 ]; then echo "velmora.sh: --uninstall takes no arguments" >&2; exit 64; fi
  uninstall
  ;;
-h | --help)
  echo "usage: velmora.sh --install-desktop-entry | --uninstall, or the viewer's own arguments:"
  exec "$here/bin/velmora" --help
  ;;
*)
  exec "$here/bin/velmora" "$@"
  ;;
esac
