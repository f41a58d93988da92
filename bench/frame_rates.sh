#!/usr/bin/env bash
# Frame rates of every scene, played offscreen as fast as it goes without readback, beside a
# baseline frame (a clear and one full-screen textured quad) measured in the same run: per scene
# its frames per second, the ratio to the baseline, the longest frame and the gap at the cut
# before it, and the start-up to the first frame. Prints the figures and appends them with the
# date, commit and arguments to bench/frame_rates.log, which is kept in the repository so that
# figures from different commits can be compared (as ratios: the machine's load changes them).
#
# On a machine whose speed drifts (a shared or virtual one) one run's ratios can be a sixth or
# more off; --runs N plays the benchmark N times and adds the median of each figure over them.
# A first run, with Mesa's shader cache empty, is measured with --cold: the cache is switched off
# (MESA_SHADER_CACHE_DISABLE=true), so every program is compiled where the demo first meets it,
# and the log's line says so. The cuts after the intro are met over the intro's first, all but
# black frames, so there the intro's longest frame is one of those, not a stall the viewer sees.
# Usage: bench/frame_rates.sh [--runs N] [--cold] [demotorva options, e.g. --fps 20 --size 1600x1200]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD:-$root/build}"
runs=1
args=()
while [ $# -gt 0 ]; do
    case "$1" in
        --runs) runs="${2:-}"; shift 2 || { echo "--runs needs a count" >&2; exit 2; };;
        --cold) export MESA_SHADER_CACHE_DISABLE=true; shift;;
        *) args+=("$1"); shift;;
    esac
done
case "$runs" in ''|*[!0-9]*|0) echo "--runs takes a whole number from 1 up, not '$runs'" >&2; exit 2;; esac
cmake --build "$build" --target demotorva datapack >/dev/null
cache=""
[ "${MESA_SHADER_CACHE_DISABLE:-}" != true ] || cache=" (shader cache off)"
all=""
for ((run = 1; run <= runs; ++run)); do
    out=$(SDL_AUDIODRIVER=dummy "$build/demotorva" --data "$build/data" --benchmark "${args[@]}")
    echo "$out"
    all+="$out"$'\n'
    {
        echo "# $(date -u +%Y-%m-%dT%H:%MZ) $(git -C "$root" rev-parse --short HEAD) ${args[*]}$cache"
        echo "$out"
    } >> "$root/bench/frame_rates.log"
done
[ "$runs" -gt 1 ] || exit 0

# The median of the numbers on standard input.
median() {
    sort -g | awk '{ v[NR] = $1 } END { if (NR == 0) exit; if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
# Column COLUMN of the lines of every run whose first word is NAME.
column() { awk -v name="$1" -v c="$2" '$1 == name { print $c }' <<<"$all"; }
summary=$(
    printf 'median of %d runs\n' "$runs"
    printf 'start-up to first frame: %.1f ms\n' "$(awk '/^start-up/ { print $5 }' <<<"$all" | median)"
    printf 'baseline: %.1f frames/s\n' "$(awk '/^baseline/ { print $7 }' <<<"$all" | median)"
    echo "scene    frames/s  of baseline  longest ms  gap before ms"
    for scene in $(awk '$1 == "scene" { on = 1; next } /^(start-up|baseline)/ { on = 0 } on { print $1 }' <<<"$all" | awk '!seen[$0]++'); do
        gap=$(column "$scene" 6 | grep -E '^[0-9.]+$' | median)
        printf '%-8s %9.1f %12.3f %11.1f %14s\n' "$scene" "$(column "$scene" 3 | median)" \
            "$(column "$scene" 4 | median)" "$(column "$scene" 5 | median)" "${gap:-start}"
    done
)
echo "$summary"
{
    echo "# $(date -u +%Y-%m-%dT%H:%MZ) $(git -C "$root" rev-parse --short HEAD) ${args[*]} --runs $runs$cache"
    echo "$summary"
} >> "$root/bench/frame_rates.log"
