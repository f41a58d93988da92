#!/usr/bin/env bash
# Installs the Debian packages DemoTORVA needs. Without arguments: what building the demo and
# its data pack, playing it and recording it need. With --test: also what the tests, fuzzers
# and benchmarks need (GoogleTest, clang, assimp, Xvfb, ...). Safe to run again: packages
# already present are left alone.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ pkg-config
  # libraries
  libsdl2-dev libopenmpt-dev libfreetype-dev libfontconfig-dev libgl-dev
  libglu1-mesa-dev libgl1-mesa-dri libpng-dev
  # fonts: the outline font and the data pack's pictures
  fonts-liberation fonts-dejavu-core fonts-noto-cjk
  # recording (--record, and scripts/play.sh where there is no display)
  ffmpeg
)
test_packages=(
  # tests, fuzzers, tools and benchmarks
  clang googletest libgtest-dev libbenchmark-dev libclang-rt-14-dev xvfb xdotool x11-utils
  openmpt123 xmp libassimp-dev assimp-utils imagemagick
)
case "${1:-}" in
"") ;;
--test) packages+=("${test_packages[@]}") ;;
*) echo "usage: scripts/setup.sh [--test]" >&2; exit 2 ;;
esac

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
