#!/usr/bin/env bash
# The scaled frame in real X windows (Xvfb, 1280 x 720, no window manager), driven by xdotool:
# --desktop covers the whole screen with the 800 x 600 frame scaled to 960 x 720 between black
# bars; a --window resized to 1000 x 400 shows the frame 533 x 400 between bars; with the
# framebuffer switched off --desktop says so and falls back to the mode switch or its question.
# On a 1920 x 1080 screen --desktop draws its frame at 1440 x 1080 itself: bars 240 wide and
# edges as hard as drawn, where an 800 x 600 frame scaled up (--size 800x600) has soft ones.
# Each run ends with Escape and exit code 0.
# Arguments: the demotorva executable, the data pack folder.
set -u
exe="$1"
data="$2"
for tool in Xvfb xdotool import convert; do
    command -v "$tool" >/dev/null || { echo "$tool missing: skipped"; exit 0; }
done
. "$(dirname "$0")/support/xvfb_session.sh"
start_xvfb 1280x720
work=$(mktemp -d)
demo=""
cleanup() {
    [ -n "$demo" ] && kill "$demo" 2>/dev/null
    kill "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
unset SDL_VIDEODRIVER
export SDL_AUDIODRIVER=dummy DEMOTORVA_NO_DIALOGS=1 DEMOTORVA_ANSWER=yes
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Starts the demo with the given options and waits for its window.
start() {
    "$exe" "$@" --data "$data" >"$work/out" 2>"$work/err" &
    demo=$!
    find_demo_window "$demo"
    if [ -z "$window" ]; then
        fail "no window for $*"
        cat "$work/err"
        report_missing_window "$demo"
        kill "$demo" 2>/dev/null
        wait "$demo" 2>/dev/null
        demo=""
        return 1
    fi
    sleep 2
}

# Ends the demo with Escape and checks its exit code.
finish() {
    xdotool windowfocus "$window" 2>/dev/null
    xdotool key --window "$window" Escape
    xdotool key Escape
    for _ in $(seq 300); do kill -0 "$demo" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$demo" 2>/dev/null; then
        fail "demo did not end after Escape"
        kill "$demo"
    fi
    wait "$demo"
    code=$?
    demo=""
    [ "$code" -eq 0 ] || fail "exit code $code, not 0"
}

# Brightest channel value (0 to 255) of a region WxH+X+Y of a picture.
brightest() {
    convert "$1" -crop "$2" +repage -format '%[fx:round(255*max(maxima.r,max(maxima.g,maxima.b)))]' info:
}

geometryOf() { xdotool getwindowgeometry "$1" | sed -n 's/.*Geometry: //p'; }

# Full screen at the desktop's size: bars 160 pixels wide on either side.
if start --desktop; then
    size=$(geometryOf "$window")
    [ "$size" = "1280x720" ] || fail "desktop window is $size, not 1280x720"
    import -window root "$work/desktop.png"
    left=$(brightest "$work/desktop.png" 158x720+0+0)
    right=$(brightest "$work/desktop.png" 158x720+1122+0)
    middle=$(brightest "$work/desktop.png" 940x700+170+10)
    echo "desktop: left bar $left, right bar $right, picture $middle"
    [ "$left" -eq 0 ] && [ "$right" -eq 0 ] || fail "desktop bars are not black"
    [ "$middle" -gt 0 ] || fail "desktop picture is black"
    finish
fi

# A window made wider than the frame's shape: 1000 x 400 shows 533 x 400 from x 233.
if start --window; then
    size=$(geometryOf "$window")
    [ "$size" = "800x600" ] || fail "window opened at $size, not 800x600"
    xdotool windowsize "$window" 1000 400
    sleep 3
    size=$(geometryOf "$window")
    [ "$size" = "1000x400" ] || fail "window resized to $size, not 1000x400"
    import -window "$window" "$work/window.png"
    left=$(brightest "$work/window.png" 230x400+0+0)
    right=$(brightest "$work/window.png" 230x400+770+0)
    middle=$(brightest "$work/window.png" 520x390+240+5)
    echo "resized window: left bar $left, right bar $right, picture $middle"
    [ "$left" -eq 0 ] && [ "$right" -eq 0 ] || fail "window bars are not black"
    [ "$middle" -gt 0 ] || fail "window picture is black"
    finish
fi

# No framebuffer objects: said on standard error, then the mode switch (or its question,
# answered Yes) gives an 800 x 600 picture.
export DEMOTORVA_NO_FRAMEBUFFER=1
if start --desktop; then
    grep -q "cannot draw the frame offscreen" "$work/err" || fail "fallback not reported: $(cat "$work/err")"
    size=$(geometryOf "$window")
    [ "$size" = "800x600" ] || fail "fallback window is $size, not 800x600"
    finish
fi
unset DEMOTORVA_NO_FRAMEBUFFER

# Largest step between horizontal neighbours inside the picture (0 to 255): a frame drawn at
# the screen's size keeps its hard edges; in one scaled up 1.8 times with linear filtering
# neighbours lie 1/1.8 of a frame pixel apart, so no step exceeds 255 / 1.8 = 142.
hardestEdge() {
    convert "$1" -crop 1440x1080+240+0 +repage \( +clone -roll +1+0 \) -compose difference -composite \
        -crop 1436x1080+2+0 +repage -format '%[fx:round(255*maxima)]' info:
}
kill "$xvfb" 2>/dev/null
start_xvfb 1920x1080
for size in "" 800x600; do
    if start --desktop ${size:+--size "$size"}; then
        # The hardest edge of ten looks two seconds apart: the loading picture and a slow
        # start on a busy machine show no drawn edges at all.
        edge=0
        for _ in $(seq 10); do
            import -window root "$work/full-hd.png"
            e=$(hardestEdge "$work/full-hd.png")
            [ "$e" -gt "$edge" ] && edge=$e
            sleep 2
        done
        left=$(brightest "$work/full-hd.png" 238x1080+0+0)
        right=$(brightest "$work/full-hd.png" 238x1080+1682+0)
        echo "1920 x 1080 desktop${size:+ --size $size}: bars $left and $right, hardest edge $edge"
        [ "$left" -eq 0 ] && [ "$right" -eq 0 ] || fail "1920 x 1080 bars are not black"
        if [ -z "$size" ]; then
            [ "$edge" -gt 150 ] || fail "the 1440 x 1080 frame looks scaled up (hardest edge $edge)"
        else
            [ "$edge" -le 150 ] || fail "the 800 x 600 frame looks drawn at full size (hardest edge $edge)"
        fi
        finish
    fi
done

[ "$failures" -eq 0 ]
