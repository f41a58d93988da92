#!/bin/bash
# The demo ends by itself after 188 s: rendered offline from 187.6 s with no end time and no
# keys, it exits with 0 right after the first frame drawn past 188 s, and that frame still shows
# the closing picture.
# Usage: late_scenes_pictures_test.sh <demotorva executable> <data pack folder>
set -u
exe=$1
pack=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

timeout 900 "$exe" --data "$pack" --frames "$out" --from 187.6 --fps 5 >"$out/log.txt" 2>&1
code=$?
if [ "$code" -ne 0 ]; then
    echo "demotorva exited with $code"
    tail -5 "$out/log.txt"
    exit 1
fi

frames=$(cd "$out" && ls frame-*.png 2>/dev/null | sort)
times=$(echo "$frames" | sed -e 's/^frame-[0-9]*-//' -e 's/\.png$//' | tr '\n' ' ')
expected="0187.600000 0187.800000 0188.000000 0188.200000 "
if [ "$times" != "$expected" ]; then
    echo "frames written at: $times"
    echo "expected:          $expected"
    exit 1
fi

# The last frame is drawn in full: the closing text and the wall, not a cleared frame.
last=$(echo "$frames" | tail -1)
brightest=$(convert "$out/$last" -colorspace Gray -format '%[fx:int(maxima*255)]' info: 2>/dev/null)
if [ -z "$brightest" ] || [ "$brightest" -lt 100 ]; then
    echo "last frame $last is empty (brightest grey ${brightest:-unknown}/255)"
    exit 1
fi
echo "ended after $last with exit code 0"
