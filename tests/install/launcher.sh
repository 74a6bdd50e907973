#!/usr/bin/env bash
# The bundle's launcher, packaging/bundle/velmora.sh, run by dash and by bash from fake bundle
# folders (the menu entry and icons as the build installs them, and a stub bin/velmora that
# records how it was run) with scratch homes:
#  - it runs the viewer of its own folder, without HOME too;
#  - --install-desktop-entry writes an entry that desktop-file-validate passes and GLib
#    (gio launch) runs with a file, for paths full of characters Exec must quote, and the
#    icons; --uninstall takes exactly those away again;
#  - what it cannot do (a path a desktop entry cannot name, no place for the menu, a
#    user's file, link or folder in a place of its own) it refuses with a non-zero status and
#    leaves every file as it was.
# Usage: launcher.sh SOURCE_DIR
set -uo pipefail
src=$(cd "$1" && pwd)
scratch=$(mktemp -d "${TMPDIR:-/tmp}/velmora-launcher.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" || exit 1
failures=0
fail() { echo "FAIL ($sh): $*" >&2; failures=$((failures + 1)); }
export VELMORA_TEST_LOG=$scratch/ran

# A bundle folder at $1.
bundle() {
  mkdir -p "$1/bin" "$1/share/applications" "$1/share/icons/hicolor/48x48/apps" "$1/share/icons/hicolor/scalable/apps"
  cp "$src/packaging/bundle/velmora.sh" "$1/"
  cp "$src/packaging/velmora.desktop" "$1/share/applications/"
  printf '\x89PNG\r\n\x1a\n %s' "$1" >"$1/share/icons/hicolor/48x48/apps/velmora.png"
  printf '<svg xmlns="http://www.w3.org/2000/svg"/>\n' >"$1/share/icons/hicolor/scalable/apps/velmora.svg"
  printf '#!/bin/sh\nprintf "%%s\\n" "$0" "$@" >"$VELMORA_TEST_LOG.part" && mv "$VELMORA_TEST_LOG.part" "$VELMORA_TEST_LOG"\n' >"$1/bin/velmora"
  chmod +x "$1/bin/velmora"
}
# Whether the stub of bundle $1 ran with the arguments after it (waiting for gio's child).
ran() {
  local want got
  want=$(printf '%s\n' "$1/bin/velmora" "${@:2}"; echo x)
  for _ in $(seq 200); do [ -e "$VELMORA_TEST_LOG" ] && break; sleep 0.1; done
  got=$(cat "$VELMORA_TEST_LOG" 2>/dev/null; echo x)
  rm -f "$VELMORA_TEST_LOG"
  [ "$got" = "$want" ] || { echo "  ran: ${got%x}" >&2; return 1; }
}
# Every file, link and folder under the scratch homes, with contents.
snapshot() { find homes -printf '%p %y %l\n' | sort; find homes -type f -exec sha256sum {} + | sort; }
# The launcher of bundle $1 with the arguments after it, in home $home.
launch() { env -u XDG_DATA_HOME HOME="$home" "$sh" "$1/velmora.sh" "${@:2}"; }

plain=$scratch/bundles/plain
bundle "$plain"
bundle "$scratch/bundles/broken"$'\n'
bundle "$scratch/bundles/broken"  # the neighbour a stripped line break would run
mkdir -p links homes
ln -s "$plain/velmora.sh" links/velmora
for sh in dash bash; do
  # What runs: the bundle's own viewer, with every argument, without HOME.
  runs=(
    "the viewer with a file|$plain|$plain/velmora.sh|tree 1.dat"
    "--help|$plain|$plain/velmora.sh|--help"
    "a link to the launcher|$plain|$scratch/links/velmora|-x"
    "a folder whose name ends in a line break|$scratch/bundles/broken"$'\n'"|$scratch/bundles/broken"$'\n'"/velmora.sh|a"
  )
  for row in "${runs[@]}"; do
    IFS='|' read -r -d '' what dir launcher argument <<<"$row"
    argument=${argument%$'\n'}
    env -u HOME -u XDG_DATA_HOME "$sh" "$launcher" "$argument" >/dev/null 2>err || fail "$what: exit status $?: $(cat err)"
    ran "$dir" "$argument" || fail "$what: not the viewer of $dir"
  done

  # Paths that Exec must quote: the entry is valid, GLib runs the launcher with the file, and
  # a second install replaces the first; the uninstall leaves nothing.
  for name in 'My Games $1 100%' 'q"b\c`d'"'"'e;&*~#(x) <y>|z' 'Spiele für Ärger'; do
    dir=$scratch/bundles/$sh/$name/velmora-1
    bundle "$dir"
    home=$scratch/homes/$sh-quoted
    data=$home/.local/share
    for pass in first second; do
      launch "$dir" --install-desktop-entry >out 2>err || fail "$name: $pass install: exit status $?: $(cat err)"
    done
    grep -q removed out && fail "$name: the second install removed the icons it writes again"
    desktop-file-validate "$data/applications/velmora.desktop" || fail "$name: the entry is not valid"
    timeout 20 gio launch "$data/applications/velmora.desktop" "$scratch/tree 1.dat" 2>err || fail "$name: gio launch: $(cat err)"
    ran "$dir" "$scratch/tree 1.dat" || fail "$name: the entry does not run $dir/velmora.sh with the file"
    for icon in 48x48/apps/velmora.png scalable/apps/velmora.svg; do
      cmp -s "$data/icons/hicolor/$icon" "$dir/share/icons/hicolor/$icon" || fail "$name: icon $icon not installed"
    done
    launch "$dir" --uninstall >/dev/null 2>err || fail "$name: uninstall: exit status $?: $(cat err)"
    [ -z "$(find "$home" ! -type d)" ] || fail "$name: the uninstall left $(find "$home" ! -type d)"
    rm -rf "$home"
  done

  # An install from a bundle without one of the icons takes that one away.
  home=$scratch/homes/$sh-fewer
  fewer=$scratch/bundles/$sh/fewer
  bundle "$fewer"
  rm "$fewer/share/icons/hicolor/scalable/apps/velmora.svg"
  launch "$plain" --install-desktop-entry >/dev/null && launch "$fewer" --install-desktop-entry >/dev/null || fail "two installs failed"
  [ ! -e "$home/.local/share/icons/hicolor/scalable/apps/velmora.svg" ] || fail "the earlier install's icon was left"
  launch "$fewer" --uninstall >/dev/null
  [ -z "$(find "$home" ! -type d)" ] || fail "the uninstall after two installs left $(find "$home" ! -type d)"
  rm -rf "$home"

  # The menu's place: a relative XDG_DATA_HOME is ignored, an absolute one needs no HOME;
  # without either there is no place, and nothing is written.
  home=$scratch/homes/$sh-xdg
  mkdir -p "$home/work"
  (cd "$home/work" && XDG_DATA_HOME=rel HOME=$home "$sh" "$plain/velmora.sh" --install-desktop-entry >/dev/null) || fail "relative XDG_DATA_HOME: exit status $?"
  [ -f "$home/.local/share/applications/velmora.desktop" ] && [ -z "$(ls "$home/work")" ] || fail "a relative XDG_DATA_HOME was used"
  env -u HOME XDG_DATA_HOME="$home/xdg" "$sh" "$plain/velmora.sh" --install-desktop-entry >/dev/null || fail "XDG_DATA_HOME without HOME: exit status $?"
  [ -f "$home/xdg/applications/velmora.desktop" ] || fail "XDG_DATA_HOME without HOME: no entry"
  for option in --install-desktop-entry --uninstall; do
    (cd "$home/work" && env -u HOME XDG_DATA_HOME=rel "$sh" "$plain/velmora.sh" "$option" >/dev/null 2>"$scratch/err") && fail "$option without HOME succeeded"
    grep -q 'no place for the menu entry' err && [ -z "$(ls "$home/work")" ] || fail "$option without HOME: $(cat err)"
  done
  rm -rf "$home"

  # Folders a desktop entry cannot name.
  for name in $'tab\there' $'escape\e[31m' $'break\n' $'latin\xe9'; do
    dir=$scratch/bundles/$sh/$name
    bundle "$dir"
    home=$scratch/homes/$sh-refused
    launch "$dir" --install-desktop-entry >/dev/null 2>err && fail "${name@Q}: installed"
    grep -q 'velmora.sh: the folder' err && [ ! -e "$home" ] || fail "${name@Q}: $(cat err)"
  done

  # A user's files, links and folders in the launcher's places, before an install and after
  # one: refused (and the uninstall where the entry is not the launcher's), nothing changed.
  dir=$scratch/bundles/$sh/places
  bundle "$dir"
  entry=.local/share/applications/velmora.desktop
  icon=.local/share/icons/hicolor/48x48/apps/velmora.png
  places=(
    "none|mkdir -p \$(dirname $entry) && mkdir $entry|1"
    "none|mkdir -p \$(dirname $entry) && ln -s ../../../mine $entry|1"
    "none|mkdir -p \$(dirname $entry) && printf '[Desktop Entry]\nName=Mine\n' >$entry|1"
    "none|mkdir -p \$(dirname $icon) && cp mine $icon|0"
    "none|mkdir -p \$(dirname $icon) && ln -s ../../../../../../mine $icon|0"
    "none|mkdir -p \$(dirname $icon) && mkdir $icon|0"
    "none|mkdir -p .local/share/velmora/installed-icons.sha256|0"
    "installed|printf 'edited' >$icon|0"
    "installed|mv $entry marked.desktop && ln -s ../../../marked.desktop $entry|1"
    "installed|mv $icon moved.png && ln -s ../../../../../../moved.png $icon|0"
  )
  for row in "${places[@]}"; do
    IFS='|' read -r before setup status <<<"$row"
    home=$scratch/homes/$sh-places
    mkdir -p "$home"
    printf 'mine\n' >"$home/mine"
    if [ "$before" = installed ]; then launch "$dir" --install-desktop-entry >/dev/null || fail "$setup: install"; fi
    (cd "$home" && eval "$setup") || fail "$setup: the setup failed"
    start=$(snapshot)
    launch "$dir" --install-desktop-entry >/dev/null 2>err && fail "$setup: installed"
    grep -q 'left as it is' err && [ "$(snapshot)" = "$start" ] || fail "$setup: the install changed files: $(cat err)"
    launch "$dir" --uninstall >/dev/null 2>&1
    got=$?
    [ "$got" -eq "$status" ] || fail "$setup: the uninstall's exit status was $got"
    if [ "$before" = installed ] && [ "$status" -eq 0 ]; then
      # The installed files go, the user's stay.
      [ ! -e "$home/$entry" ] && [ ! -e "$home/.local/share/icons/hicolor/scalable/apps/velmora.svg" ] || fail "$setup: the uninstall left an installed file"
      start=$(grep -v -E '/(velmora\.svg|velmora\.desktop|share/velmora|installed-icons\.sha256)( |$)' <<<"$start")
    fi
    [ "$(snapshot)" = "$start" ] || fail "$setup: the uninstall changed files: $(diff <(echo "$start") <(snapshot))"
    rm -rf "$home"
  done
done
[ "$failures" -eq 0 ] && echo "launcher: every case passed"
exit "$failures"
