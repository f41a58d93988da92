#!/usr/bin/env bash
# Recording time of the demo beside its drawing time, measured in the same run: --benchmark
# (drawing alone, no readback) and --record of the same stretch at the same size. On a machine
# shared with other work the ratio (recording / drawing) says more than either time. Prints the
# figures and appends them with the date and commit to bench/record_time.log.
# Usage: bench/record_time.sh [--size WxH] [--supersample N] [--to S] [--preset P] ...
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD:-$root/build}"
cmake --build "$build" --target demotorva datapack >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
seconds() { local s; s=$(date +%s.%N); "$@" >/dev/null 2>"$work/err" || { cat "$work/err"; exit 1; }; echo "$(date +%s.%N) - $s" | bc; }
bench_args=()
# --benchmark takes the frame options but not the video ones.
args=("$@")
i=0
while [ $i -lt ${#args[@]} ]; do
    case "${args[$i]}" in
        --preset|--crf) i=$((i + 2)); continue;;
    esac
    bench_args+=("${args[$i]}")
    i=$((i + 1))
done
drawing=$(seconds "$build/demotorva" --data "$build/data" --benchmark "${bench_args[@]}")
recording=$(seconds "$build/demotorva" --data "$build/data" --record "$work/demo.mp4" -q "$@")
size=$(stat -c %s "$work/demo.mp4")
line=$(printf 'drawing %.1f s, recording %.1f s, ratio %.2f, %d bytes, load %s' "$drawing" "$recording" \
       "$(echo "$recording / $drawing" | bc -l)" "$size" "$(cut -d' ' -f1 /proc/loadavg)")
echo "$line"
echo "# $(date -u +%Y-%m-%dT%H:%MZ) $(git -C "$root" rev-parse --short HEAD) $* : $line" >> "$root/bench/record_time.log"
