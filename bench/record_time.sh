#!/usr/bin/env bash
# Recording time of the demo beside its drawing time, measured in the same run: --benchmark
# (drawing alone, no readback) and --record of the same stretch at the same size, each as wall
# time and as processor time (user and system, ffmpeg included). On a machine shared with other
# work the ratios say more than the times; on two quiet cores a recording takes at least half
# its processor time. Prints the figures and appends them with the date and commit to
# bench/record_time.log.
# Usage: bench/record_time.sh [--size WxH] [--supersample N] [--to S] [--preset P] ...
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD:-$root/build}"
cmake --build "$build" --target demotorva datapack >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
# Wall and processor seconds of a command: "WALL CPU".
seconds() {
    /usr/bin/time -f '%e %U %S' -o "$work/time" "$@" >/dev/null 2>"$work/err" || { cat "$work/err"; exit 1; }
    awk '{ printf "%.1f %.1f", $1, $2 + $3 }' "$work/time"
}
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
read -r draw_wall draw_cpu <<<"$(seconds "$build/demotorva" --data "$build/data" --benchmark "${bench_args[@]}")"
read -r rec_wall rec_cpu <<<"$(seconds "$build/demotorva" --data "$build/data" --record "$work/demo.mp4" -q "$@")"
size=$(stat -c %s "$work/demo.mp4")
line=$(awk -v dw="$draw_wall" -v dc="$draw_cpu" -v rw="$rec_wall" -v rc="$rec_cpu" -v n="$size" \
       -v load="$(cut -d' ' -f1 /proc/loadavg)" 'BEGIN {
    printf "drawing %.1f s (processor %.1f s), recording %.1f s (processor %.1f s), wall ratio %.2f, " \
           "processor ratio %.2f, %d bytes, load %s", dw, dc, rw, rc, rw / dw, rc / dc, n, load }')
echo "$line"
echo "# $(date -u +%Y-%m-%dT%H:%MZ) $(git -C "$root" rev-parse --short HEAD) $* : $line" >> "$root/bench/record_time.log"
