#!/usr/bin/env bash
# Every robustness check in one run: each data file missing and damaged, no sound device, no
# font face, real-window runs under Xvfb driven by xdotool, the long scrubbing run and the
# replayed fuzzing corpus (all part of the test suite, so CI runs them too), then what is too
# long for CI: both file readers under the fuzzers for SECONDS each (default 600; CI gives
# them 60) and the whole demo rendered under the sanitizers.
# Usage: scripts/robustness.sh [SECONDS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-600}"
bash "$root/scripts/setup.sh" --test
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build"
SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy ctest --test-dir "$root/build" --output-on-failure -j2 \
    -R 'damaged_files|window_keys|window_xvfb|desktop_xvfb|no_font_face|LongRun|FuzzCorpus|LoadingScreen'
bash "$root/scripts/fuzz.sh" "$seconds"
bash "$root/scripts/sanitize.sh"
echo "robustness: every check passed"
