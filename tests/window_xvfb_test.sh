#!/usr/bin/env bash
# The real executable in a real X window (Xvfb), driven by xdotool: the window opens, the
# loading picture is on screen, and Escape ends the run with exit code 0; with a display that
# does not answer it says so, with the remedy, and ends with 1.
# Arguments: the demotorva executable, the data pack folder.
set -u
exe="$1"
data="$2"
command -v Xvfb >/dev/null && command -v xdotool >/dev/null || { echo "Xvfb or xdotool missing: skipped"; exit 0; }
. "$(dirname "$0")/support/xvfb_session.sh"
start_xvfb 1024x768
trap 'kill "$xvfb" 2>/dev/null' EXIT
unset SDL_VIDEODRIVER
export SDL_AUDIODRIVER=dummy DEMOTORVA_NO_DIALOGS=1 DEMOTORVA_ANSWER=yes
"$exe" --window --data "$data" &
demo=$!
find_demo_window "$demo"
if [ -z "$window" ]; then
    echo "no demo window appeared on $DISPLAY"
    report_missing_window "$demo"
    kill "$demo"
    exit 1
fi
geometry=$(xdotool getwindowgeometry "$window")
echo "$geometry"
echo "$geometry" | grep -q "800x600" || { echo "window is not 800x600"; kill "$demo"; exit 1; }
sleep 1
if command -v import >/dev/null; then
    shot=$(mktemp --suffix=.png)
    import -window "$window" "$shot" 2>/dev/null
    # The loading picture (or the first scene) is on screen: the window is not left undrawn.
    mean=$(convert "$shot" -format '%[fx:round(mean*1000)]' info: 2>/dev/null)
    rm -f "$shot"
    echo "window mean: $mean / 1000"
    [ "${mean:-0}" -gt 20 ] || { echo "the window shows no picture"; kill "$demo"; exit 1; }
fi
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
xdotool key --window "$window" Escape
xdotool key Escape
# Loading may still be under way on a busy machine; the key is acted on once it is done.
for _ in $(seq 600); do kill -0 "$demo" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$demo" 2>/dev/null; then echo "demo did not end after Escape"; kill "$demo"; exit 1; fi
wait "$demo"
code=$?
echo "exit code $code"
[ "$code" -eq 0 ] || exit 1

# A display that does not answer: the demo says so in one line and ends, instead of playing
# unseen.
err=$(mktemp)
DISPLAY=:9999 timeout 60 "$exe" --window --data "$data" 2>"$err" >/dev/null
code=$?
cat "$err"
grep -q "no display could be opened (DISPLAY is :9999); set DISPLAY, or record with --record FILE" "$err" ||
    { echo "no display not reported (exit code $code)"; exit 1; }
[ "$code" -ne 124 ] || { echo "demo went on without a display"; exit 1; }
[ "$code" -eq 1 ] || { echo "no display gave exit code $code, not 1"; exit 1; }
# That line is the whole message: no box with the window-class text after it to hide the cause.
if grep "^ERROR: " "$err"; then echo "a box followed the line about the display"; exit 1; fi
rm -f "$err"
