#!/usr/bin/env bash
# Installs every Debian package DemoTORVA needs to build, test, generate its data pack and
# record video. Safe to run again: packages already present are left alone.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ clang pkg-config
  # libraries
  libsdl2-dev libopenmpt-dev libfreetype-dev libfontconfig-dev libgl-dev
  libglu1-mesa-dev libgl1-mesa-dri libpng-dev
  # fonts: the outline font and the data pack's pictures
  fonts-liberation fonts-dejavu-core fonts-noto-cjk
  # tests, tools and benchmarks
  googletest libgtest-dev libbenchmark-dev libclang-rt-14-dev xvfb xdotool x11-utils
  ffmpeg openmpt123 xmp libassimp-dev assimp-utils imagemagick
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && { echo "setup: all packages present"; exit 0; }

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
echo "setup: installed ${missing[*]}"
