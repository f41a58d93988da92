#!/usr/bin/env bash
# Renders the demo offline with the time read-out on and lays out one frame per row of each
# scene's timeline, labelled with what that row says, on two contact sheets:
# docs/early_scenes.jpg (intro and temple) and docs/late_scenes.jpg (tunnel, credits, end).
# Reading a sheet against the timelines shows at a glance whether every scene does what it
# should and whether the data pack's pictures and models work at their scale.
# Usage: scripts/contact_sheets.sh [OUTPUT_FOLDER]   (default: docs)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dest="$(mkdir -p "${1:-$root/docs}" && cd "${1:-$root/docs}" && pwd)"
build="$root/build"
command -v montage >/dev/null || bash "$root/scripts/setup.sh" --test
if [ ! -x "$build/demotorva" ] || [ ! -d "$build/data" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --target demotorva datapack >/dev/null
frames=$(mktemp -d)
trap 'rm -rf "$frames"' EXIT

# Frame of demo time T: the one whose name ends in the nearest time.
frame_at() {
    ls "$frames" | grep '^frame-' | awk -v t="$1" -F'[-.]' '{
        v = ($3 "." $4) + 0; d = v - t; if (d < 0) d = -d
        if (best == "" || d < bestd) { best = $0; bestd = d } } END { print best }'
}

# sheet OUTPUT ROW...: each ROW is "TIME|what the timeline says".
sheet() {
    local output=$1
    shift
    local tiles=()
    for row in "$@"; do
        tiles+=(-label "${row%%|*} s: ${row#*|}" "$frames/$(frame_at "${row%%|*}")")
    done
    montage "${tiles[@]}" -font DejaVu-Sans -pointsize 11 -fill white -tile 6x -geometry 256x192+3+3 \
        -background "#202020" -quality 85 "$output"
    echo "wrote $output"
}

SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "$build/demotorva" --data "$build/data" --frames "$frames" \
    --from 0 --to 55.65 --fps 20 --show-time >/dev/null
sheet "$dest/early_scenes.jpg" \
    "0|fade in from black" "2|fade in; wall swinging in" "5.25|white flash at its peak" \
    "8|landscape leg 0 ends" "10.7|bar B4 in place" "12.9|tilt reaches 0" \
    "16.3|landscape leg 1 ends" "20|wall still, box room turning" "25.5|landscape leg 2 ends" \
    "30|logo and credit fading in" "34|logo and credit; fade out" "34.8|intro ends, level 0.1" \
    "35.4|temple: flash peak in fade in" "36.8|fade in done; word 1 rising" "39|word 1 at 0.6" \
    "40.2|word 1 falls, word 2 rises" "42|word 2 at 0.6; word 3 rises" "45|word 3 at 0.6; leg 1 ends" \
    "48|word 4 at 0.6" "50|leg 2 ends; word 5 rising" "51|word 5 at 0.6; word 6 rises" \
    "55|word 6 at 0.8; fading out" "55.6|temple ends, fade at 0.27"

rm -f "$frames"/frame-*
SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "$build/demotorva" --data "$build/data" --frames "$frames" \
    --from 55.6 --to 188.3 --fps 20 --show-time >/dev/null
sheet "$dest/late_scenes.jpg" \
    "56|tunnel: orbiting the axis" "58.25|white flash at its peak" "62|texture scrolling, star swooping" \
    "65.4|leg 1: eye and target pass" "68|looking back along -z: words" "73.5|leg 2: facing +z again" \
    "75.2|credits: no link yet" "80|chain of ten links" "92|caption 3 sliding in" \
    "96|captions 1 and 6 sliding in" "99.6|first page in place" "100|first page gone" \
    "110|caption 4 in place" "116|captions 2 and 5 sliding in" "119.6|second page in place" \
    "125|the chain alone" "130.2|end: wire wall, text below" "140|wall turning, fogged" \
    "150|closing text rising" "165|credits in the closing text" "180|thanks for watching" \
    "188.2|last frame: demo over"
