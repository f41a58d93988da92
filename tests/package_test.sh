#!/usr/bin/env bash
# The Debian package made by `cpack -G DEB`: its files (the install layout under /usr, no build
# stamps, compressed manual pages), its Depends, which must name the package of every library
# the program links, the software OpenGL driver, EGL (which SDL's offscreen driver opens at run
# time, so no link shows it) and the font, and lintian's verdict where lintian is installed: no
# errors. Skipped (77) where cpack or dpkg-deb is missing.
# Arguments: the demotorva executable (in the build tree), the data pack folder.
set -eu
build=$(dirname "$1")
command -v cpack >/dev/null && command -v dpkg-deb >/dev/null || { echo "no cpack or dpkg-deb"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cpack -G DEB -B "$work" --config "$build/CPackConfig.cmake" >/dev/null
deb=$(ls "$work"/demotorva_*.deb)

files=$(dpkg-deb -c "$deb" | awk '{print $6}')
for file in usr/bin/demotorva usr/share/demotorva/Mod_.it usr/share/demotorva/maps/loading.tga \
    usr/share/applications/demotorva.desktop usr/share/icons/hicolor/256x256/apps/demotorva.png \
    usr/share/man/man6/demotorva.6.gz usr/share/man/man1/demotorva-inspect.1.gz \
    usr/share/doc/demotorva/LICENSE usr/share/doc/demotorva/copyright usr/share/doc/demotorva/changelog.gz; do
    grep -qx "\./$file" <<<"$files" || { echo "not in the package: $file"; exit 1; }
done
if grep '/\.[^/]*$' <<<"$files"; then echo "build stamps in the package"; exit 1; fi

depends=" $(dpkg-deb -f "$deb" Depends | sed 's/([^)]*)//g; s/,/ /g') "
wanted="libgl1-mesa-dri libegl1 libegl-mesa0 fonts-liberation"
# The packages that hold the libraries the packaged program links, as dpkg knows them here.
dpkg-deb -x "$deb" "$work/root"
for library in $(ldd "$work/root/usr/bin/demotorva" | awk '$2 == "=>" {print $1}'); do
    path=$(ldd "$work/root/usr/bin/demotorva" | awk -v l="$library" '$1 == l {print $3}')
    objdump -p "$work/root/usr/bin/demotorva" | grep -q "NEEDED *$library\$" || continue
    owner=$(dpkg -S "$(readlink -f "$path")" 2>/dev/null || dpkg -S "$path" 2>/dev/null || true)
    [ -n "$owner" ] && wanted="$wanted ${owner%%:*}"
done
for package in $wanted; do
    [[ "$depends" == *" $package "* ]] || { echo "Depends lacks $package:$depends"; exit 1; }
done
[ "$(dpkg-deb -f "$deb" Recommends)" = "ffmpeg" ] || { echo "Recommends is not ffmpeg"; exit 1; }
maintainer=$(dpkg-deb -f "$deb" Maintainer)
[[ "$maintainer" =~ \<[^@\ ]+@[^@\ ]+\>$ ]] || { echo "Maintainer has no address: $maintainer"; exit 1; }
if command -v lintian >/dev/null; then
    report=$(lintian --no-tag-display-limit "$deb" 2>&1 || true)
    if grep '^E:' <<<"$report"; then exit 1; fi
fi
