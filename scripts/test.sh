#!/usr/bin/env bash
# Installs what is missing, builds everything (the demo, its data pack, the tools and the test
# suites) and runs the tests. No display or sound card is needed.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh --test
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDEMOTORVA_TESTS=ON
cmake --build build
export SDL_VIDEODRIVER="${SDL_VIDEODRIVER:-offscreen}"
export SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}"
ctest --test-dir build --output-on-failure -j2 "$@"
