#!/usr/bin/env bash
# Fetches and unpacks the source of one Debian package, as the machine's own apt would give
# it (checked against the archive's signed index), without touching the machine's apt
# configuration: the source list and the package lists live in a private folder.
#   scripts/debian-source.sh PACKAGE DEST      unpacks into DEST/PACKAGE-VERSION/, prints that folder
# Run again with the same DEST, it reuses what it unpacked before.
set -euo pipefail
package=$1 dest=$2
mkdir -p "$dest"
dest=$(cd "$dest" && pwd -P)
existing=$(find "$dest" -maxdepth 1 -type d -name "$package-[0-9]*" | sort | tail -n 1)
if [ -n "$existing" ]; then
  echo "$existing"
  exit 0
fi
state="$dest/apt-state"
mkdir -p "$state/lists/partial"
# The archive apt already uses (one-line lists or deb822 .sources), the release's main suite.
uri=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
  sed -n 's/^deb \(\[[^]]*\] \)\{0,1\}\([^ ]*\) .*/\2/p' | grep -v security | head -n 1 || true)
if [ -z "$uri" ]; then
  uri=$(cat /etc/apt/sources.list.d/*.sources 2>/dev/null | sed -n 's/^URIs: *\([^ ]*\).*/\1/p' |
    grep -v security | head -n 1 || true)
fi
suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
[ -n "$uri" ] || { echo "debian-source: no Debian archive in apt's sources" >&2; exit 1; }
echo "deb-src $uri $suite main" >"$state/src.list"
apt_private=(-o "Dir::Etc::SourceList=$state/src.list" -o Dir::Etc::SourceParts=/dev/null
  -o "Dir::State::Lists=$state/lists")
apt-get "${apt_private[@]}" update >&2
(cd "$dest" && apt-get "${apt_private[@]}" source "$package" >&2)
find "$dest" -maxdepth 1 -type d -name "$package-[0-9]*" | sort | tail -n 1
