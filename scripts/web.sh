#!/bin/sh
# Builds the demo for a web browser: WebAssembly and WebGL through Debian's emscripten.
#
#   scripts/web.sh            installs what is missing, builds the libraries once, then the page
#   scripts/web.sh --deps     only the libraries (into the cache)
#   scripts/web.sh --test     also installs chromium for tests/web_page_test.sh
#
# DEMOTORVA_WEB_DATA=build/data uses a native build's data pack instead of generating one.
#
# Debian's emscripten bundles none of its ports, so SDL2, libopenmpt, FreeType, libpng, zlib and
# GLU's tessellator are built from Debian's own source packages into a cache outside the tree
# (DEMOTORVA_WEB_CACHE, by default ~/.cache/demotorva-web); a library whose stamp is there is
# not built again. The sources come through a private apt sources list, so the system's apt
# configuration is never touched. The page ends up in build-web/site/: index.html, the
# program's .js and .wasm and the data pack the native generator writes. Builds run at the
# lowest priority, and each step's time is written to the cache's build-times.log.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
cache=${DEMOTORVA_WEB_CACHE:-${HOME:-/root}/.cache/demotorva-web}
prefix=$cache/prefix
jobs=${DEMOTORVA_WEB_JOBS:-2}
depsOnly=0
withTest=0
for argument in "$@"; do
    case $argument in
        --deps) depsOnly=1 ;;
        --test) withTest=1 ;;
        *) echo "web.sh: unknown option $argument (use --deps or --test)" >&2; exit 2 ;;
    esac
done

mkdir -p "$cache" "$prefix"
timesLog=$cache/build-times.log
# Debian's nodejs finds its modules there; a node from elsewhere on PATH does not.
export NODE_PATH=/usr/share/nodejs
# Debian's emscripten cache is read-only; a copy in the cache lets emcc add what it builds.
export EM_CACHE=$cache/emcache

say() { echo "web.sh: $*"; }
# Runs a command at the lowest priority and logs how long it took.
timed() {
    label=$1
    shift
    start=$(date +%s)
    nice -n 19 "$@"
    echo "$(date -u +%FT%TZ) $label $(($(date +%s) - start)) s" >>"$timesLog"
    say "$label took $(($(date +%s) - start)) s"
}

# --- What the build needs --------------------------------------------------------------------
# The native build's own packages first: the data pack's generator and the fonts come from it.
"$root/scripts/setup.sh"
need=""
command -v emcc >/dev/null 2>&1 || need="$need emscripten"
command -v cmake >/dev/null 2>&1 || need="$need cmake"
command -v ninja >/dev/null 2>&1 || need="$need ninja-build"
command -v make >/dev/null 2>&1 || need="$need make"
command -v python3 >/dev/null 2>&1 || need="$need python3"
command -v xz >/dev/null 2>&1 || need="$need xz-utils"
if [ $withTest = 1 ]; then
    command -v chromium >/dev/null 2>&1 || need="$need chromium"
    command -v compare >/dev/null 2>&1 || need="$need imagemagick"
fi
if [ -n "$need" ]; then
    say "installing$need"
    if [ "$(id -u)" = 0 ]; then sudo=""; else sudo=sudo; fi
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q $need
fi
if [ ! -d "$EM_CACHE" ]; then
    systemCache=$(dirname "$(readlink -f "$(command -v emcc)")")/cache
    [ -d "$systemCache" ] || systemCache=/usr/share/emscripten/cache
    cp -r "$systemCache" "$EM_CACHE"
    rm -f "$EM_CACHE/cache.lock"
fi

# --- Sources ---------------------------------------------------------------------------------
# A private sources list with the system's own mirror, its lists and downloads in the cache.
sources=$cache/sources
aptState=$cache/apt
mirror=$(grep -h '^URIs:' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -n 1 | awk '{print $2}')
[ -n "$mirror" ] || mirror=$(grep -h '^deb ' /etc/apt/sources.list 2>/dev/null | awk '{print $2}' | head -n 1)
[ -n "$mirror" ] || mirror=http://deb.debian.org/debian
suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
aptOptions="-o Dir::Etc::SourceList=$aptState/sources.list -o Dir::Etc::SourceParts=/nonexistent
 -o Dir::State::Lists=$aptState/lists -o Dir::Cache=$aptState/cache -o Debug::NoLocking=1"
fetchSources() {
    [ -f "$sources/.fetched" ] && return 0
    mkdir -p "$sources" "$aptState/lists/partial" "$aptState/cache/archives/partial"
    # The one-line form: the deb822 form's Types field needs a .sources file name, which the
    # private list cannot have when it replaces sources.list.
    echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror $suite main" \
        >"$aptState/sources.list"
    # shellcheck disable=SC2086
    apt-get $aptOptions update -q
    # Of some packages the mirror holds only the upstream tarball, which is all the build uses.
    for package in libsdl2 libopenmpt freetype libpng1.6 zlib libglu; do
        (cd "$sources" && apt-get $aptOptions source --download-only -q "$package") ||
            ls "$sources/${package}"_*.orig.tar.* >/dev/null 2>&1 ||
            { say "cannot fetch the sources of $package"; exit 1; }
    done
    touch "$sources/.fetched"
}

# Unpacks the upstream tarball of a source package into $cache/src/NAME and prints the folder.
unpack() {
    package=$1
    name=$2
    target=$cache/src/$name
    if [ ! -d "$target" ]; then
        tarball=$(ls "$sources/${package}"_*.orig.tar.* | grep -v 'orig-' | head -n 1)
        mkdir -p "$target.tmp"
        tar -xf "$tarball" -C "$target.tmp" --strip-components=1
        mv "$target.tmp" "$target"
    fi
    echo "$target"
}

built() { [ -f "$prefix/.built-$1" ]; }
mark() { touch "$prefix/.built-$1"; }

buildZlib() {
    built zlib && return 0
    dir=$(unpack zlib zlib)
    (cd "$dir" && timed "zlib configure" emconfigure ./configure --static --prefix="$prefix" &&
        timed "zlib build" emmake make -j"$jobs" install)
    mark zlib
}

buildPng() {
    built png && return 0
    dir=$(unpack libpng1.6 libpng)
    timed "libpng configure" emcmake cmake -S "$dir" -B "$cache/build/libpng" -G Ninja \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DPNG_SHARED=OFF \
        -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF -DPNG_HARDWARE_OPTIMIZATIONS=OFF \
        -DZLIB_INCLUDE_DIR="$prefix/include" -DZLIB_LIBRARY="$prefix/lib/libz.a" -DM_LIBRARY=
    timed "libpng build" cmake --build "$cache/build/libpng" -j "$jobs" --target png_static
    cmake --install "$cache/build/libpng" >/dev/null 2>&1 || true
    # The install step wants every target built; the library and its headers are enough.
    cp "$cache/build/libpng/libpng16.a" "$prefix/lib/libpng16.a"
    ln -sf libpng16.a "$prefix/lib/libpng.a"
    cp "$dir/png.h" "$dir/pngconf.h" "$cache/build/libpng/pnglibconf.h" "$prefix/include/"
    mark png
}

# FreeType with the zlib built here: its own copy would define zlib's functions a second time.
buildFreetype() {
    built freetype && return 0
    dir=$(unpack freetype freetype)
    timed "freetype configure" emcmake cmake -S "$dir" -B "$cache/build/freetype" -G Ninja \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF \
        -DFT_REQUIRE_ZLIB=ON -DZLIB_INCLUDE_DIR="$prefix/include" \
        -DZLIB_LIBRARY="$prefix/lib/libz.a" -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
        -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
    timed "freetype build" cmake --build "$cache/build/freetype" -j "$jobs"
    cmake --install "$cache/build/freetype" >/dev/null
    mark freetype
}

buildSdl() {
    built sdl2 && return 0
    dir=$(unpack libsdl2 sdl2)
    timed "sdl2 configure" emcmake cmake -S "$dir" -B "$cache/build/sdl2" -G Ninja \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DSDL_SHARED=OFF \
        -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL2_DISABLE_SDL2MAIN=ON -DSDL_PTHREADS=OFF \
        -DSDL_THREADS=OFF
    timed "sdl2 build" cmake --build "$cache/build/sdl2" -j "$jobs"
    cmake --install "$cache/build/sdl2" >/dev/null
    mark sdl2
}

buildOpenmpt() {
    built openmpt && return 0
    dir=$(unpack libopenmpt openmpt)
    # With exceptions: libopenmpt reports a bad file or setting by throwing, and the demo
    # catches; emscripten's default build would abort instead.
    (cd "$dir" && timed "libopenmpt configure" emconfigure ./configure --host=wasm32-unknown-none \
        CXXFLAGS="-O2 -fexceptions" CFLAGS="-O2" LDFLAGS="-fexceptions" \
        --prefix="$prefix" --disable-shared --enable-static --disable-openmpt123 \
        --disable-examples --disable-tests --disable-doxygen-doc --without-zlib --without-mpg123 \
        --without-ogg --without-vorbis --without-vorbisfile --without-portaudio \
        --without-portaudiocpp --without-pulseaudio --without-sndfile --without-flac &&
        timed "libopenmpt build" emmake make -j"$jobs" &&
        emmake make install >/dev/null)
    mark openmpt
}

# GLU: only the tessellator and the matrix functions (gluPerspective, gluLookAt), whose
# emscripten stand-ins are missing or do nothing.
buildGlu() {
    built glu && return 0
    dir=$(unpack libglu glu)
    out=$cache/build/glu
    mkdir -p "$out" "$prefix/include/GL"
    start=$(date +%s)
    for file in "$dir"/src/libtess/*.c "$dir"/src/libutil/project.c; do
        # The heap is part of priorityq.c, which includes it.
        [ "$(basename "$file")" = priorityq-heap.c ] && continue
        nice -n 19 emcc -O2 -DNDEBUG -DLIBGLU_NO_GETPROCADDRESS -I"$dir/include" -I"$dir/src/include" -c "$file" \
            -o "$out/$(basename "$file" .c).o"
    done
    rm -f "$prefix/lib/libGLU.a"
    emar rcs "$prefix/lib/libGLU.a" "$out"/*.o
    # Mesa's header declares the tessellator, which emscripten's own glu.h lacks.
    cp "$dir/include/GL/glu.h" "$prefix/include/GL/glu.h"
    echo "$(date -u +%FT%TZ) glu build $(($(date +%s) - start)) s" >>"$timesLog"
    mark glu
}

fetchSources
buildZlib
buildPng
buildFreetype
buildGlu
buildSdl
buildOpenmpt
say "libraries ready in $prefix"
[ $depsOnly = 1 ] && exit 0

# --- The page --------------------------------------------------------------------------------
out=$root/build-web
# The data pack comes from the native generator, built on its own (no tests, no demo), unless
# DEMOTORVA_WEB_DATA names a data pack already generated (build/data of a native build).
data=${DEMOTORVA_WEB_DATA:-}
if [ -z "$data" ] || [ ! -f "$data/.complete" ]; then
    timed "native data pack" sh -c "cmake -S '$root' -B '$out/native' -G Ninja \
        -DCMAKE_BUILD_TYPE=Release -DDEMOTORVA_TESTS=OFF >/dev/null &&
        cmake --build '$out/native' --target datapack"
    data=$out/native/data
fi
# The page's file system: the data pack, and the font faces the native program would match
# here (the browser has no fontconfig), each under its family's name.
stage=$out/stage
rm -rf "$stage"
mkdir -p "$stage/fonts"
cp -r "$data" "$stage/data"
rm -f "$stage/data/.complete"
for family in "Arial Narrow"; do
    face=$(fc-match -f '%{file}' "$family:pixelsize=24:weight=80:slant=0:outline=True")
    [ -f "$face" ] || { say "no font face for $family (install fonts-liberation)"; exit 1; }
    cp "$face" "$stage/fonts/$family.ttf"
done
touch "$stage/.complete"
timed "web configure" emcmake cmake -S "$root" -B "$out/wasm" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DDEMOTORVA_WEB_PREFIX="$prefix" -DDEMOTORVA_WEB_STAGE="$stage" -DDEMOTORVA_WEB_SITE="$out/site"
timed "web build" cmake --build "$out/wasm" -j "$jobs"
say "the page is in $out/site ($(du -sh "$out/site" | cut -f1)); serve it with"
say "  python3 -m http.server --bind 127.0.0.1 --directory $out/site 8080"
say "and open http://127.0.0.1:8080/"
