#!/bin/bash
# The demo as a web page (build-web/site, made by scripts/web.sh), served from 127.0.0.1 and
# played by headless Chromium on its software WebGL, held against the native program:
#   - the offline schedule at 10 frames per second draws at 20, 45, 66, 95 and 150 s frames
#     within a mean difference of 2 of 255 of the native --frames pictures of the same times,
#     goes on to the demo's end and sets the title "done". The page stays under 0.5 where it
#     draws as it should; one piece of the GL layer gone wrong (the tile wall's quad strip
#     split along the wrong diagonal) moves the 20 s frame by 3. DEMOTORVA_WEB_MAX_DIFF sets
#     another limit;
#   - in live play the music's position is within 0.1 s of the clock started with it after
#     10 s of play;
#   - neither run puts an error, an uncaught exception or a WebGL complaint on the console.
# Skipped (77) where the page has not been built or Chromium or ImageMagick is missing.
# Usage: web_page_test.sh <demotorva executable> <data pack folder>
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
site=${DEMOTORVA_WEB_SITE:-$root/build-web/site}
exe=$1
pack=$2
if [ ! -f "$site/index.html" ] || [ ! -f "$site/demotorva.wasm" ]; then
    echo "no web build in $site (scripts/web.sh makes it); skipped"
    exit 77
fi
browser=$(command -v chromium || command -v chromium-browser || true)
if [ -z "$browser" ] || ! command -v compare >/dev/null; then
    echo "chromium or ImageMagick's compare is missing (scripts/web.sh --test); skipped"
    exit 77
fi
shots="20 45 66 95 150"
limit=${DEMOTORVA_WEB_MAX_DIFF:-2}

out=$(mktemp -d)
server=""
chrome=""
cleanup() {
    [ -n "$chrome" ] && kill "$chrome" 2>/dev/null
    [ -n "$server" ] && kill "$server" 2>/dev/null
    rm -rf "$out"
}
trap cleanup EXIT

python3 -u -m http.server --bind 127.0.0.1 --directory "$site" 0 >"$out/server.log" 2>&1 &
server=$!
port=""
for _ in $(seq 50); do
    port=$(grep -o 'port [0-9]*' "$out/server.log" | awk '{ print $2 }')
    [ -n "$port" ] && break
    sleep 0.1
done
[ -n "$port" ] || { echo "the page server did not start"; cat "$out/server.log"; exit 1; }

# Plays the page at address query QUERY until the console shows a line matching MARK or
# SECONDS pass; the console goes to $out/NAME.log. False on a timeout.
play() {
    local name=$1 query=$2 mark=$3 seconds=$4
    "$browser" --headless --no-sandbox --use-angle=swiftshader --enable-unsafe-swiftshader \
        --autoplay-policy=no-user-gesture-required --enable-logging=stderr --v=0 \
        --no-first-run --user-data-dir="$out/profile-$name" --window-size=1000,800 \
        "http://127.0.0.1:$port/index.html?$query" 2>"$out/$name.log" &
    chrome=$!
    local waited=0
    while ! grep -q "$mark" "$out/$name.log" 2>/dev/null; do
        if [ "$waited" -ge "$seconds" ]; then
            kill "$chrome" 2>/dev/null
            wait "$chrome" 2>/dev/null
            chrome=""
            return 1
        fi
        sleep 1
        waited=$((waited + 1))
    done
    kill "$chrome" 2>/dev/null
    wait "$chrome" 2>/dev/null
    chrome=""
    return 0
}

# Console lines that say something went wrong: the program's own standard error, uncaught
# exceptions, aborts and WebGL's complaints; not the emulation's three notes at start-up.
consoleErrors() {
    grep 'CONSOLE' "$1" | grep -E 'stderr: |Uncaught|RuntimeError|Aborted|abort\(|WebGL: |GL_INVALID|GL ERROR' |
        grep -v 'stderr: WARNING: using emscripten GL' | cut -c1-300
}

failed=0
# --- Frames against the native program -------------------------------------------------------
list=$(echo "$shots" | tr ' ' ',')
if ! play frames "fps=10&from=20&to=188&shots=$list" "demotorva ended with status" 1500; then
    echo "the offline schedule did not end within 1500 s"
    tail -3 "$out/frames.log" | cut -c1-300
    exit 1
fi
if ! grep -q 'demotorva ended with status 0' "$out/frames.log"; then
    echo "the offline schedule failed:"
    grep CONSOLE "$out/frames.log" | tail -5 | cut -c1-300
    failed=1
fi
errors=$(consoleErrors "$out/frames.log")
if [ -n "$errors" ]; then
    echo "console errors in the offline schedule:"
    echo "$errors" | head -10
    failed=1
fi
for t in $shots; do
    tenth=$(printf '%04d' "$t")
    native="$out/native-$t"
    mkdir -p "$native"
    SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy timeout 600 "$exe" --data "$pack" \
        --frames "$native" --fps 10 --from "$t" --to "$t" --quiet >/dev/null 2>&1
    nativeFrame=$(ls "$native"/frame-*.png 2>/dev/null | head -n 1)
    grep -o "\"frame $t [A-Za-z0-9+/=]*" "$out/frames.log" | head -n 1 | cut -d' ' -f3 |
        base64 -d >"$out/web-$t.png" 2>/dev/null
    if [ -z "$nativeFrame" ] || [ ! -s "$out/web-$t.png" ]; then
        echo "$t s: no native frame or no page frame"
        failed=1
        continue
    fi
    # Mean absolute difference over every channel, in 255ths.
    mae=$(compare -metric MAE "$nativeFrame" "$out/web-$t.png" null: 2>&1 | sed -n 's/.*(\([0-9.e-]*\)).*/\1/p')
    diff=$(awk -v m="$mae" 'BEGIN { printf "%.2f", m * 255 }')
    verdict=ok
    awk -v d="$diff" -v l="$limit" 'BEGIN { exit !(d <= l) }' || { verdict="over $limit"; failed=1; }
    echo "$t s: mean difference $diff of 255 ($verdict)"
    if [ -n "${DEMOTORVA_WEB_KEEP:-}" ]; then
        mkdir -p "$DEMOTORVA_WEB_KEEP"
        cp "$nativeFrame" "$DEMOTORVA_WEB_KEEP/native-$tenth.png"
        cp "$out/web-$t.png" "$DEMOTORVA_WEB_KEEP/web-$tenth.png"
    fi
done

# --- The music in step with the clock ---------------------------------------------------------
if ! play music "play&music-check=10" '"music [0-9.-]* clock' 120; then
    echo "live play reported no music position within 120 s"
    grep CONSOLE "$out/music.log" | tail -5 | cut -c1-300
    failed=1
else
    line=$(grep -o '"music [0-9.-]* clock [0-9.-]*' "$out/music.log" | head -n 1)
    music=$(echo "$line" | awk '{ print $2 }')
    clock=$(echo "$line" | awk '{ print $4 }')
    gap=$(awk -v m="$music" -v c="$clock" 'BEGIN { d = m - c; if (d < 0) d = -d; printf "%.3f", d }')
    if awk -v g="$gap" 'BEGIN { exit !(g <= 0.1) }'; then
        echo "music at $music s after $clock s of play (off by $gap s)"
    else
        echo "music at $music s after $clock s of play: off by $gap s, more than 0.1 s"
        failed=1
    fi
    errors=$(consoleErrors "$out/music.log")
    if [ -n "$errors" ]; then
        echo "console errors in live play:"
        echo "$errors" | head -10
        failed=1
    fi
fi
exit $failed
