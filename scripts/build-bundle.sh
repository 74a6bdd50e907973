#!/usr/bin/env bash
# Makes the self-contained Linux bundle, BUILD_DIR/velmora-<version>-linux-x86_64.tar.gz,
# from a Release build with the viewer (default build-deb, as scripts/package-roundtrip.sh
# leaves it). One folder, velmora-<version>/, holding:
#   bin/        velmora and velmora-dump (run path $ORIGIN/../lib), qt.conf naming plugins/
#   plugins/    the Qt plugins the viewer loads (PLUGINS below)
#   lib/        every shared library these need, found with ldd, except the ones every
#               Linux desktop has (packaging/bundle/system-packages.txt) and whatever those
#               link: the system's own copy has to serve both them and us
#   share/      what `cmake --install` puts there, and the dialog font in
#               share/velmora/fonts, where the viewer looks for fonts of its own
#   share/doc/  for each Debian package a file was taken from, its copyright
#   velmora.sh  runs the viewer; --install-desktop-entry and --uninstall
# It prints the libraries it bundled and those it left out; share/doc/velmora/libraries.txt
# in the bundle keeps both lists with each library's Debian package and version.
#
# Usage: scripts/build-bundle.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$PWD
build=$(realpath "${1:-build-deb}")
./scripts/install-deps.sh >/dev/null

# The Debian packages whose libraries the system provides.
mapfile -t LEFT_OUT < <(grep -v '^#' packaging/bundle/system-packages.txt)
# The platforms (X11, Wayland with its xdg-shell, window decorations and EGL, offscreen), X11's
# OpenGL, input methods, and SVG for icon themes such as the file chooser's. The program's
# own icon is XPM, which Qt reads without a plugin.
PLUGINS=(platforms/libqxcb.so platforms/libqwayland-generic.so platforms/libqwayland-egl.so
  platforms/libqoffscreen.so xcbglintegrations/libqxcb-glx-integration.so
  xcbglintegrations/libqxcb-egl-integration.so wayland-shell-integration/libxdg-shell.so
  wayland-decoration-client/libbradient.so wayland-graphics-integration-client/libqt-plugin-wayland-egl.so
  platforminputcontexts/libcomposeplatforminputcontextplugin.so
  platforminputcontexts/libibusplatforminputcontextplugin.so iconengines/libqsvgicon.so imageformats/libqsvg.so)
FONT_FAMILY=IPAPGothic
GLIBC_NEEDED=2.36

fail() { echo "build-bundle: $*" >&2; exit 1; }
for program in app/velmora tools/velmora-dump; do
  [ -x "$build/$program" ] || fail "$build/$program is missing: build the viewer in $build first"
done
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || fail "no project version in $build/CMakeCache.txt"
arch=$(dpkg --print-architecture)
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
name=velmora-$version
out=$build/bundle
dir=$out/$name
tarball=$build/$name-linux-x86_64.tar.gz
rm -rf "$out" "$tarball"
mkdir -p "$out"

# The Debian package a file on this machine belongs to ("" if none), and its version.
owner() {
  local path
  for path in "$1" "$(realpath "$1")" "${1#/usr}" "/usr$1"; do
    if dpkg-query -S "$path" 2>/dev/null | sed -n '1s/: .*//p' | grep .; then return; fi
  done
}
package_version() { dpkg-query -W -f='${Version}' "$1"; }
# The libraries `ldd` finds for an ELF file, as "soname path" lines (path "not" when missing).
needed() {
  ldd "$1" 2> >(grep -v 'execution permission' >&2) |
    sed -n -e 's/^\s*\(\S*\) => not found$/\1 not/p' -e 's/^\s*\(\S*\) => \(.*\) (0x[0-9a-f]*)$/\1 \2/p'
}

echo "== installing the build into $dir"
cmake --install "$build" --prefix "$dir" --strip >/dev/null
plugin_dir=$(qtpaths6 --query QT_INSTALL_PLUGINS)
for p in "${PLUGINS[@]}"; do
  [ -f "$plugin_dir/$p" ] || fail "the Qt plugin $plugin_dir/$p is missing"
  mkdir -p "$dir/plugins/$(dirname "$p")"
  cp "$plugin_dir/$p" "$dir/plugins/$p"
done
printf '[Paths]\nPrefix=..\nPlugins=plugins\n' >"$dir/bin/qt.conf"
install -m 755 "$source_dir/packaging/bundle/velmora.sh" "$dir/velmora.sh"

# The dialog font, under its own file name (its licence forbids renaming it).
font=$(fc-match -f '%{file}' "$FONT_FAMILY")
[ "$(fc-match -f '%{family}' "$FONT_FAMILY" | tr ',' '\n' | grep -cx "$FONT_FAMILY")" -eq 1 ] ||
  fail "the dialog font $FONT_FAMILY is not installed (fonts-ipafont-gothic)"
mkdir -p "$dir/share/velmora/fonts"
cp "$font" "$dir/share/velmora/fonts/"
declare -A from_package=(["$(owner "$font")"]=1)

echo "== libraries"
declare -A left_out=()  # soname -> its path here
for package in "${LEFT_OUT[@]}"; do
  dpkg-query -W "$package:$arch" >/dev/null 2>&1 || fail "$package is not installed"
  while IFS= read -r lib; do
    left_out[$(basename "$lib")]=$lib
    while read -r soname path; do
      [ "$path" != not ] || fail "ldd $lib: $soname not found"
      left_out[$soname]=$path
    done < <(needed "$lib")
  done < <(dpkg -L "$package:$arch" | grep -E "^(/usr)?/lib/$multiarch/[^/]+\.so[.0-9]*$")
done
mapfile -t elves < <(cd "$dir" && { ls bin/velmora bin/velmora-dump; find plugins -name '*.so' | sort; })
declare -A bundled=() used_left_out=()
for elf in "${elves[@]}"; do
  while read -r soname path; do
    [ "$path" != not ] || fail "ldd $elf: $soname not found"
    if [ -n "${left_out[$soname]:-}" ]; then
      [ -n "${used_left_out[$soname]:-}" ] || used_left_out[$soname]=$(owner "${left_out[$soname]}")
    elif [ -z "${bundled[$soname]:-}" ]; then
      bundled[$soname]=$(owner "$path")
      [ -n "${bundled[$soname]}" ] || fail "$path ($soname) belongs to no Debian package"
      install -D -m 644 "$path" "$dir/lib/$soname"
    fi
  done < <(needed "$dir/$elf")
done
for p in "${PLUGINS[@]}"; do from_package[$(owner "$plugin_dir/$p")]=1; done
for soname in "${!bundled[@]}"; do from_package[${bundled[$soname]}]=1; done

# Run paths: programs find lib/ beside bin/, libraries each other, plugins lib/ two up.
patchelf --set-rpath '$ORIGIN/../lib' "$dir/bin/velmora" "$dir/bin/velmora-dump"
find "$dir/lib" -name '*.so*' -exec patchelf --set-rpath '$ORIGIN' {} +
find "$dir/plugins" -name '*.so' -exec patchelf --set-rpath '$ORIGIN/../../lib' {} +

# The newest glibc symbol version any file asks for.
glibc=$(find "$dir/bin" "$dir/lib" "$dir/plugins" -type f ! -name qt.conf -exec objdump -T {} + |
  grep -o 'GLIBC_[0-9][0-9.]*' | sed 's/GLIBC_//' | sort -uV | tail -n 1)
[ "$(printf '%s\n%s\n' "$glibc" "$GLIBC_NEEDED" | sort -V | tail -n 1)" = "$GLIBC_NEEDED" ] ||
  fail "the bundle asks for glibc $glibc, newer than the $GLIBC_NEEDED it promises"

list=$dir/share/doc/velmora/libraries.txt
{
  echo "# The libraries of Velmora's Linux bundle, each with the Debian package and version it comes"
  echo "# from, unchanged; Debian's source package of that version is its source, and its copyright"
  echo "# is in share/doc/PACKAGE/. bundled: in lib/ (the Qt plugins are in plugins/); left-out: the"
  echo "# system's own (glibc $GLIBC_NEEDED or newer; the newest glibc symbol version used is $glibc)."
  for soname in "${!bundled[@]}"; do
    echo "bundled $soname ${bundled[$soname]%:*} $(package_version "${bundled[$soname]}")"
  done | sort -k2
  for soname in "${!used_left_out[@]}"; do
    echo "left-out $soname ${used_left_out[$soname]%:*} $(package_version "${used_left_out[$soname]}")"
  done | sort -k2
} >"$list"
for package in "${!from_package[@]}"; do
  install -D -m 644 "/usr/share/doc/${package%:*}/copyright" "$dir/share/doc/${package%:*}/copyright"
done
grep -v '^#' "$list" | awk '{ print $1 ": " $2 " (" $3 ")" }'

echo "== $tarball"
stamp=$(git -C "$source_dir" log -1 --format=%ct 2>/dev/null || date +%s)
tar --sort=name --owner=0 --group=0 --numeric-owner --mtime="@$stamp" -C "$out" -cf - "$name" |
  gzip -n >"$tarball"
echo "build-bundle: $(basename "$tarball"): $(du -k "$tarball" | cut -f1) KiB, unpacked $(du -sk "$dir" | cut -f1) KiB," \
  "${#bundled[@]} libraries bundled, ${#used_left_out[@]} left out; needs glibc $GLIBC_NEEDED (asks for symbols up to $glibc)"
