#!/usr/bin/env bash
# Puts the site's own files into the built site beside the core (build-web/site/ unless a
# folder is named): the page and its modules from web/site/, Graphviz's module from npm
# (run `npm ci` first), the icons made from the project's icon, and the service worker with
# the list of every file it keeps and a version made from their content.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build-web/site}
viz=node_modules/@viz-js/viz/dist/viz.js
if [ ! -f "$viz" ]; then
  echo "build-site: $viz is missing: run npm ci first" >&2
  exit 1
fi
mkdir -p "$out"
cp web/site/index.html web/site/*.js web/site/style.css web/site/manifest.webmanifest "$out"/
cp "$viz" "$out/viz.js"
cp packaging/icons/velmora.svg "$out/icon.svg"
convert packaging/icons/velmora-48.xpm "$out/icon-48.png"
cd "$out"
mapfile -t files < <(find . -type f ! -name sw.js -printf '%P\n' | LC_ALL=C sort)
version=$(sha256sum "${files[@]}" | sha256sum | cut -c1-16)
list=$(printf "'%s', " "${files[@]}")
sed -i -e "s|@VERSION@|$version|" -e "s|/\* @FILES@ \*/|${list%, }|" sw.js
echo "build-site: $out ($((${#files[@]} + 1)) files, version $version)"
