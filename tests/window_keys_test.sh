#!/usr/bin/env bash
# The keys and window events of a real run under Xvfb, driven by xdotool and read back from
# screenshots: T and F show and hide their overlays, Down freezes the picture and Up lets it
# move again, hiding the window stops drawing and showing it goes on, Space five times ends
# the demo, holding Right seeks past the end, and closing the window ends it, each with exit
# code 0. Arguments: the demotorva executable, the data pack folder. DEMOTORVA_X_CLOSE_WINDOW
# names the helper that closes a window as a window manager would; DEMOTORVA_COUNT_CLEARS the
# preload library that counts the frames drawn.
set -u
exe="$1"
data="$2"
for tool in Xvfb xdotool import convert compare; do
    command -v "$tool" >/dev/null || { echo "$tool missing: skipped"; exit 0; }
done
work=$(mktemp -d)
. "$(dirname "$0")/support/xvfb_session.sh"
start_xvfb 1024x768
demo=""
trap '[ -n "$demo" ] && kill "$demo" 2>/dev/null; kill "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT
unset SDL_VIDEODRIVER
export SDL_AUDIODRIVER=dummy DEMOTORVA_NO_DIALOGS=1
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

# Frames drawn so far by the running demo (each clears once), when they are counted.
counted=""
if [ -n "${DEMOTORVA_COUNT_CLEARS:-}" ] && [ -f "$DEMOTORVA_COUNT_CLEARS" ]; then counted=1; fi
clears() { od -An -t u8 -N8 "$work/clears" | tr -d ' '; }

# Starts the demo in a window and waits for it; sets demo and window.
start() {
    head -c 8 /dev/zero >"$work/clears"
    if [ -n "$counted" ]; then
        DEMOTORVA_CLEAR_COUNT="$work/clears" LD_PRELOAD="$DEMOTORVA_COUNT_CLEARS" \
            "$exe" --window --data "$data" "$@" >"$work/out" 2>&1 &
    else
        "$exe" --window --data "$data" "$@" >"$work/out" 2>&1 &
    fi
    demo=$!
    find_demo_window "$demo"
    if [ -z "$window" ]; then
        echo "no demo window appeared on $DISPLAY; the demo said:"
        cat "$work/out"
        report_missing_window "$demo"
        exit 1
    fi
    xdotool windowfocus --sync "$window" 2>/dev/null
}

# Waits up to $1 seconds for the demo to end; sets code to its exit code, or to "running"
# (and stops it) when it does not end.
ending() {
    for _ in $(seq $(($1 * 10))); do kill -0 "$demo" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$demo" 2>/dev/null; then
        code=running
        kill "$demo"
        wait "$demo" 2>/dev/null
    else
        wait "$demo"
        code=$?
    fi
    demo=""
}

shot() { import -window "$window" "$work/$1.png" 2>/dev/null; }
# Pixels of the overlays' green in a screenshot.
green() {
    convert "$work/$1.png" -alpha off -fuzz 20% -fill black +opaque "rgb(26,204,26)" \
        -fill white -opaque "rgb(26,204,26)" -format "%[fx:round(mean*w*h)]" info:
}
# Pixels that differ between two screenshots.
changed() { compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1 | cut -d' ' -f1; }
press() { xdotool key "$1"; }

# Overlays and pause.
start
sleep 4
shot plain
# A frame can take a second on a loaded machine with software rendering.
press t
sleep 1.5
shot time
press t
press f
sleep 1.5
shot fps
press f
sleep 1.5
shot none
plain=$(green plain) time=$(green time) fps=$(green fps) none=$(green none)
echo "overlay green pixels: none $plain, time $time, fps $fps, none again $none"
[ "$time" -gt $((plain + 300)) ] || fail "T did not show the time"
[ "$fps" -gt $((plain + 300)) ] || fail "F did not show the frame rate"
[ "$none" -lt $((time - 300)) ] || fail "T and F again did not hide the overlays"

press Down
sleep 0.5
shot paused1
sleep 1.5
shot paused2
press Up
sleep 1.5
shot resumed
echo "pixels changed: paused $(changed paused1 paused2), resumed $(changed paused2 resumed)"
[ "$(changed paused1 paused2)" -eq 0 ] || fail "the picture moved while paused"
[ "$(changed paused2 resumed)" -gt 0 ] || fail "the picture did not move after Up"

# Hidden, nothing is drawn; shown again, the demo goes on.
xdotool windowunmap --sync "$window"
sleep 0.5
hidden=$(clears)
sleep 1
drawn=$(($(clears) - hidden))
xdotool windowmap --sync "$window"
sleep 1
shot shown
if [ -n "$counted" ]; then
    echo "frames drawn while hidden: $drawn; since shown: $(($(clears) - hidden - drawn))"
    [ "$drawn" -eq 0 ] || fail "$drawn frames were drawn while the window was hidden"
    [ "$(clears)" -gt $((hidden + drawn)) ] || fail "no frame was drawn after the window came back"
fi
[ "$(changed resumed shown)" -gt 0 ] || fail "the picture did not go on after the window came back"
kill -0 "$demo" 2>/dev/null || fail "the demo ended while hidden"

# Closing the window ends the program with exit code 0.
if [ -n "${DEMOTORVA_X_CLOSE_WINDOW:-}" ]; then
    "$DEMOTORVA_X_CLOSE_WINDOW" "$window"
    ending 10
    echo "closed: exit code $code"
    [ "$code" = 0 ] || fail "closing the window gave $code"
else
    ending 0
fi

# Five presses of Space end the five scenes.
start
sleep 2
for _ in 1 2 3 4 5; do press space; sleep 0.7; done
ending 10
echo "five spaces: exit code $code"
[ "$code" = 0 ] || fail "five presses of Space gave $code, not the demo's end with 0"

# Right seeks half a second per key-down: 400 presses leave every scene at once.
start
sleep 1
xdotool key --delay 2 --repeat 400 Right
ending 20
echo "seek past the end: exit code $code"
[ "$code" = 0 ] || fail "seeking past the end gave $code, not the demo's end with 0"

# Without a sound device: one box with its text, code and what to do, then a silent run that the preview
# keys cannot disturb; Space five times still ends it.
start_silent() { SDL_AUDIODRIVER=no-such-driver start; }
start_silent
sleep 2
for key in Down Up Right Left Right; do press "$key"; sleep 0.3; done
for _ in 1 2 3 4 5; do press space; sleep 0.7; done
ending 10
boxes=$(grep -c "^Error: " "$work/out")
echo "no sound device: exit code $code, $boxes boxes"
grep -q "^Error: Can't initialize digital sound system" "$work/out" || fail "no box said the sound system failed"
grep -q "^(error code: [1-9]" "$work/out" || fail "the box gave no error code"
[ "$boxes" -eq 1 ] || fail "$boxes error boxes instead of one without a sound device"
[ "$code" = 0 ] || fail "the silent run gave $code, not its end with 0"
# The box itself says why and what to do, for a demo started from a menu with no terminal.
grep -A1 "^(error code: [1-9]" "$work/out" | grep -q "^no sound output could be opened (.*--mute$" ||
    fail "the box did not say why there is no sound"

echo "$failures failures"
[ "$failures" -eq 0 ]
