#!/usr/bin/env bash
# The real executable in a real X window (Xvfb), driven by xdotool: the window opens, the
# loading picture is on screen, and Escape ends the run with exit code 27.
# Arguments: the demotorva executable, the data pack folder.
set -u
exe="$1"
data="$2"
command -v Xvfb >/dev/null && command -v xdotool >/dev/null || { echo "Xvfb or xdotool missing: skipped"; exit 0; }
display=":$((90 + RANDOM % 400))"
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null' EXIT
export DISPLAY="$display"
unset SDL_VIDEODRIVER
export SDL_AUDIODRIVER=dummy DEMOTORVA_NO_DIALOGS=1 DEMOTORVA_ANSWER=yes
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
"$exe" --window --data "$data" &
demo=$!
window=""
for _ in $(seq 100); do
    window=$(xdotool search --name "DemoTORVA - v 0.5b" 2>/dev/null | head -1)
    [ -n "$window" ] && break
    sleep 0.1
done
if [ -z "$window" ]; then echo "no demo window appeared"; kill "$demo"; exit 1; fi
geometry=$(xdotool getwindowgeometry "$window")
echo "$geometry"
echo "$geometry" | grep -q "800x600" || { echo "window is not 800x600"; kill "$demo"; exit 1; }
sleep 1
if command -v import >/dev/null; then
    shot=$(mktemp --suffix=.png)
    import -window root "$shot" 2>/dev/null
    # The loading picture (or the first scene) is on screen: the window is not left undrawn.
    echo "screenshot mean: $(convert "$shot" -format '%[fx:mean]' info: 2>/dev/null)"
    rm -f "$shot"
fi
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
xdotool key --window "$window" Escape
xdotool key Escape
for _ in $(seq 100); do kill -0 "$demo" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$demo" 2>/dev/null; then echo "demo did not end after Escape"; kill "$demo"; exit 1; fi
wait "$demo"
code=$?
echo "exit code $code"
[ "$code" -eq 27 ]
