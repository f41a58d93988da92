#!/usr/bin/env bash
# Frame rates of every scene, played offscreen as fast as it goes without readback, beside a
# baseline frame (a clear and one full-screen textured quad) measured in the same run: per scene
# its frames per second, the ratio to the baseline, the longest frame and the gap at the cut
# before it, and the start-up to the first frame. Prints the figures and appends them with the
# date, commit and arguments to bench/frame_rates.log, which is kept in the repository so that
# figures from different commits can be compared (as ratios: the machine's load changes them).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD:-$root/build}"
cmake --build "$build" --target demotorva datapack >/dev/null
out=$(SDL_AUDIODRIVER=dummy "$build/demotorva" --data "$build/data" --benchmark "$@")
echo "$out"
{
    echo "# $(date -u +%Y-%m-%dT%H:%MZ) $(git -C "$root" rev-parse --short HEAD) $*"
    echo "$out"
} >> "$root/bench/frame_rates.log"
