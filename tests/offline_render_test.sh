#!/usr/bin/env bash
# Offline rendering: frames of a short stretch with the expected names, count and identical
# bytes on a second run; the WAV's length and sound; a recording's streams, size and sample
# rate (ffprobe); scripts/play.sh recording without a display; refusals before the first frame; a full disk and a missing EGL said with the
# system's reason; the run-up counted by the progress line; no file left by a failed or
# interrupted recording; the benchmark's figures. Arguments: the demotorva executable, the data pack folder.
set -eu
exe="$1"
scripts="$(cd "$(dirname "$0")/../scripts" && pwd)"
data="$2"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export SDL_AUDIODRIVER=dummy

"$exe" --data "$data" --frames "$work/a" --audio "$work/a.wav" --fps 10 --from 0.5 --to 1.2 >/dev/null
"$exe" --data "$data" --frames "$work/b" --fps 10 --from 0.5 --to 1.2 >/dev/null
count=$(ls "$work/a" | wc -l)
[ "$count" -eq 8 ] || { echo "expected 8 frames, got $count"; ls "$work/a"; exit 1; }
[ -f "$work/a/frame-000005-0000.500000.png" ] || { echo "unexpected names:"; ls "$work/a"; exit 1; }
[ -f "$work/a/frame-000012-0001.200000.png" ] || { echo "unexpected names:"; ls "$work/a"; exit 1; }
diff -r "$work/a" "$work/b" >/dev/null || { echo "two runs gave different frames"; exit 1; }

# 8 frames at 10 per second: 0.8 s of stereo 16-bit samples at 44100 Hz after a 44-byte header.
size=$(stat -c %s "$work/a.wav")
[ "$size" -eq $((44 + 35280 * 4)) ] || { echo "WAV has $size bytes"; exit 1; }
if [ -f "$data/Mod_.it" ]; then
    "$exe" --data "$data" --audio "$work/full.wav" --fps 10 --to 3 >/dev/null
    loud=$(od -An -v -t d2 -j 44 "$work/full.wav" | tr -s ' ' '\n' | awk '$1 > 500 || $1 < -500 {n++} END {print n+0}')
    [ "$loud" -gt 0 ] || { echo "WAV is silent"; exit 1; }
    # Its start is the module's start, rendered by the same player: the stretch from 0.5 s is
    # the same samples as the full render from its 0.5 s on.
    "$exe" --data "$data" --audio "$work/late.wav" --fps 10 --from 0.5 --to 1.2 >/dev/null
    cmp -s <(tail -c +$((44 + 22050 * 4 + 1)) "$work/full.wav" | head -c $((35280 * 4))) \
        <(tail -c +45 "$work/late.wav") || { echo "stretch audio does not line up with demo time"; exit 1; }
fi

if command -v ffmpeg >/dev/null && command -v ffprobe >/dev/null; then
    "$exe" --data "$data" --record "$work/clip.mp4" --size 640x480 --fps 25 --to 1.96 >/dev/null 2>&1
    streams=$(ffprobe -v error -show_entries stream=codec_type,width,height,sample_rate -of csv=p=0 "$work/clip.mp4" |
              sort | tr '\n' ' ')
    [ "$streams" = "audio,48000 video,640,480 " ] || { echo "streams: $streams"; exit 1; }
    duration=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$work/clip.mp4")
    awk -v d="$duration" 'BEGIN { exit !(d > 1.85 && d < 2.15) }' || { echo "duration $duration"; exit 1; }

    # scripts/play.sh without a display records instead, leaving a demo.mp4 that is there alone,
    # and leaves the options of playing on a display out.
    mkdir "$work/play"
    echo "mine" >"$work/play/demo.mp4"
    (cd "$work/play" && env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER BUILD="$(dirname "$exe")" \
        bash "$scripts/play.sh" --window --data "$data" --size 320x240 --fps 10 --to 0.5 -q \
        >"$work/play.out" 2>&1) || { echo "play.sh without a display: $(cat "$work/play.out")"; exit 1; }
    [ "$(cat "$work/play/demo.mp4")" = "mine" ] || { echo "play.sh overwrote demo.mp4"; exit 1; }
    [ -s "$work/play/demo-2.mp4" ] && grep -q "^The demo is in $work/play/demo-2.mp4$" "$work/play.out" &&
        grep -q "^Leaving out --window" "$work/play.out" || { echo "play.sh: $(cat "$work/play.out")"; exit 1; }
fi

# Refusals come before the first frame: exit 1, the file and the reason named.
touch "$work/plain"
refused() {
    local reason="$1"
    shift
    rm -rf "$work/early"
    set +e
    "$exe" --data "$data" --frames "$work/early" "$@" >/dev/null 2>"$work/err"
    local code=$?
    set -e
    [ "$code" -eq 1 ] || { echo "exit $code for $*"; cat "$work/err"; exit 1; }
    grep -qF "$reason" "$work/err" || { echo "for $*: $(cat "$work/err")"; exit 1; }
    [ -z "$(ls -A "$work/early" 2>/dev/null)" ] || { echo "frames drawn before refusing $*"; exit 1; }
}
refused "$work/none/v.mp4: the folder $work/none does not exist" --record "$work/none/v.mp4"
refused "$work/plain/v.mkv: $work/plain is not a folder" --record "$work/plain/v.mkv"
refused "$work/v.avi: the name must end in .mp4 or .mkv" --record "$work/v.avi"
refused "$work/v.mp4: a video needs an even width and height, not 801 x 600" --record "$work/v.mp4" --size 801x600
refused "$work/a.mp3: the name must end in .wav" --audio "$work/a.mp3"
if [ "$(id -u)" -ne 0 ]; then
    mkdir "$work/locked" && chmod a-w "$work/locked"
    refused "the folder $work/locked is not writable" --record "$work/locked/v.mp4"
fi

# A full disk (/dev/full takes no byte): exit 1 with the system's reason; no partial file is
# left to pass for a frame, and the frames written before it are said to be left.
mkdir "$work/full" "$work/fullframes"
ln -s /dev/full "$work/full/a.wav"
ln -s /dev/full "$work/fullframes/frame-000002-0002.000000.png"
full() {
    set +e
    "$exe" --data "$data" "$@" -q >/dev/null 2>"$work/err"
    local code=$?
    set -e
    [ "$code" -eq 1 ] || { echo "exit $code on a full disk for $*"; cat "$work/err"; exit 1; }
    grep -q ": No space left on device$" "$work/err" || { echo "no reason for $*: $(cat "$work/err")"; exit 1; }
}
full --audio "$work/full/a.wav" --to 1
full --frames "$work/fullframes" --fps 1 --to 5
grep -qF "the 2 frames written before the run stopped are left in $work/fullframes" "$work/err" ||
    { echo "frames left unsaid: $(cat "$work/err")"; exit 1; }
[ "$(ls "$work/fullframes")" = "$(printf 'frame-000000-0000.000000.png\nframe-000001-0001.000000.png')" ] ||
    { echo "left after a full disk: $(ls "$work/fullframes")"; exit 1; }

# Without EGL SDL cannot make the offscreen window: the box says SDL's reason under its text.
set +e
SDL_VIDEO_EGL_DRIVER=/nonexistent/libEGL.so.1 DEMOTORVA_NO_DIALOGS=1 \
    "$exe" --data "$data" --frames "$work/noegl" --to 0 -q >/dev/null 2>"$work/err"
code=$?
set -e
[ "$code" -eq 1 ] && grep -A1 "^ERROR: Window Creation Error.$" "$work/err" | grep -qi "EGL" ||
    { echo "window failure without EGL: exit $code, $(cat "$work/err")"; exit 1; }

# The progress line on a terminal counts the run-up before --from: the share done grows while
# no frame is written yet.
if command -v script >/dev/null; then
    script -qec "'$exe' --data '$data' --frames '$work/late' --fps 5 --from 30 --to 30" /dev/null |
        tr '\r' '\n' >"$work/progress"
    grep -qE "^run-up to 0:30: frame [0-9]+ of 150 \(([1-9]|[1-9][0-9])\.[0-9] %\)" "$work/progress" ||
        { echo "no run-up in the progress line: $(cat "$work/progress")"; exit 1; }
fi

# An encoder that fails (exits at once, so the demo's writes meet a closed pipe) and a
# recording stopped by SIGTERM or SIGINT: exit 1 and nothing left in the folder.
mkdir "$work/fake" "$work/failed"
printf '#!/bin/sh\nfor a; do last=$a; done\necho partial > "$last"\nexit 1\n' >"$work/fake/ffmpeg"
chmod +x "$work/fake/ffmpeg"
set +e
PATH="$work/fake:$PATH" "$exe" --data "$data" --record "$work/failed/v.mp4" --to 1 -q >/dev/null 2>&1
code=$?
set -e
[ "$code" -eq 1 ] || { echo "failed encoder: exit $code"; exit 1; }
[ -z "$(ls -A "$work/failed")" ] || { echo "left after a failed encoder: $(ls -A "$work/failed")"; exit 1; }
if command -v ffmpeg >/dev/null; then
    for signal in TERM INT; do
        out="$work/stopped-$signal"
        mkdir "$out"
        "$exe" --data "$data" --record "$out/v.mkv" -q >/dev/null 2>&1 &
        pid=$!
        for _ in $(seq 600); do ls -A "$out" | grep -q part && break; sleep 0.1; done
        sleep 1
        kill -"$signal" "$pid"
        set +e
        wait "$pid"
        code=$?
        set -e
        [ "$code" -eq 1 ] || { echo "SIG$signal: exit $code"; exit 1; }
        [ -z "$(ls -A "$out")" ] || { echo "left after SIG$signal: $(ls -A "$out")"; exit 1; }
    done
fi

out=$("$exe" --data "$data" --benchmark --to 2 --fps 30)
for scene in baseline intro overall; do
    echo "$out" | grep -q "^$scene" || { echo "benchmark lacks $scene:"; echo "$out"; exit 1; }
done
echo "offline rendering ok"
