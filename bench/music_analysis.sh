#!/usr/bin/env bash
# Analyses the generated soundtrack: builds bench/music_analysis.cpp against libopenmpt (kept
# out of the default build), runs it on the pack's module (or the module given), then asks
# ffmpeg for the reference figures of the whole mix and of each section: integrated loudness,
# loudness range and true peak (ebur128), the level above 2.5 kHz against the whole
# (volumedetect) and astats. Prints the figures and appends them with the date and commit to
# bench/music_analysis.log.
#   bench/music_analysis.sh [MODULE] [-- --rows FROM TO]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD:-$root/build}"
module="$build/data/Mod_.it"
if [ $# -gt 0 ] && [ "$1" != "--" ]; then module="$1"; shift; fi
if [ "${1:-}" = "--" ]; then shift; fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
c++ -O2 -std=c++20 -o "$work/music_analysis" "$root/bench/music_analysis.cpp" \
    $(pkg-config --cflags --libs libopenmpt)
{
"$work/music_analysis" "$module" "$work/mix.wav" "$@"
echo
echo "ffmpeg on the whole mix:"
ffmpeg -hide_banner -nostats -i "$work/mix.wav" -af ebur128=peak=true -f null - 2>&1 |
    sed -n '/Summary/,$p' | grep -E 'I:|Peak:|LRA:' | sed 's/^ */  /'
echo "ffmpeg per section (integrated, range, true peak):"
for span in intro:0:34.8 temple:34.8:55.6 tunnel:55.6:75 credits:75:130 ending:130:188; do
    IFS=: read -r name from to <<< "$span"
    ffmpeg -hide_banner -nostats -i "$work/mix.wav" -af "atrim=$from:$to,ebur128=peak=true" -f null - 2>&1 |
        sed -n '/Summary/,$p' | grep -E ' I:| LRA:| Peak:' | awk -v n="$name" '{v = v " " $2 " " $3} END {print "  " n v}'
done
all=$(ffmpeg -hide_banner -nostats -i "$work/mix.wav" -af volumedetect -f null - 2>&1 | grep mean_volume | sed 's/.*: //')
high=$(ffmpeg -hide_banner -nostats -i "$work/mix.wav" -af highpass=f=2500,highpass=f=2500,volumedetect -f null - 2>&1 |
    grep mean_volume | sed 's/.*: //')
echo "  mean level $all, above 2.5 kHz $high"
ffmpeg -hide_banner -nostats -i "$work/mix.wav" -af astats=measure_perchannel=none -f null - 2>&1 |
    grep -E 'Peak level dB|RMS level dB|Crest factor' | sed 's/^\[.*\] */  /'
} > "$work/report.txt"
cat "$work/report.txt"
{
    echo "# $(date -u +%Y-%m-%dT%H:%MZ) $(git -C "$root" rev-parse --short HEAD) $module"
    grep -v '^ *[0-9]*\.[0-9] ' "$work/report.txt"
} >> "$root/bench/music_analysis.log"
