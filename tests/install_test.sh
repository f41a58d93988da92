#!/usr/bin/env bash
# The install: `cmake --install` into a temporary prefix lays out the program, the data pack
# without build stamps, the desktop entry, icons, manual and documents, and the installed
# program plays from a folder that holds no data, finding its pack at ../share/demotorva.
# Arguments: the demotorva executable (in the build tree), the data pack folder.
set -eu
build=$(dirname "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix with space"
cmake --install "$build" --prefix "$prefix" >/dev/null

for file in bin/demotorva bin/demotorva-inspect share/demotorva/Mod_.it share/demotorva/maps/loading.tga \
    share/applications/demotorva.desktop share/man/man6/demotorva.6.gz share/man/man1/demotorva-inspect.1.gz \
    share/doc/demotorva/README.md share/doc/demotorva/LICENSE share/doc/demotorva/copyright \
    share/doc/demotorva/changelog.gz; do
    [ -s "$prefix/$file" ] || { echo "not installed: $file"; exit 1; }
done
stamps=$(find "$prefix" -name '.*')
[ -z "$stamps" ] || { echo "build stamps installed: $stamps"; exit 1; }
[ ! -e "$prefix/bin/data" ] || { echo "data pack installed beside the program"; exit 1; }
grep -qx 'Icon=demotorva' "$prefix/share/applications/demotorva.desktop" || { echo "desktop entry names no icon"; exit 1; }
for size in 16 32 48 64 128 256; do
    icon="$prefix/share/icons/hicolor/${size}x${size}/apps/demotorva.png"
    # PNG signature, then the IHDR's width and height as 32-bit big-endian numbers.
    header=$(od -An -t x1 -N 24 "$icon" 2>/dev/null | tr -d ' \n')
    want=$(printf '89504e470d0a1a0a0000000d49484452%08x%08x' "$size" "$size")
    [ "$header" = "$want" ] || { echo "icon ${size}x${size} is not a ${size}x${size} PNG: $header"; exit 1; }
done

# From an empty folder, with no --data: every model found (a missing one prints "not found").
mkdir "$work/elsewhere"
cd "$work/elsewhere"
out=$(SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "$prefix/bin/demotorva" --frames frames --fps 1 --from 40 --to 40 -q)
if [ -n "$out" ]; then echo "installed demo did not find its data: $out"; exit 1; fi
[ -s frames/frame-000040-0040.000000.png ] || { echo "no frame written"; ls -R; exit 1; }
