#!/usr/bin/env bash
# Frame rates per scene of the web page (build-web/site, from scripts/web.sh) in headless
# Chromium on its software WebGL, beside the native program's --benchmark on the same machine
# in the same run. Prints both and appends them, with the date and commit, to
# bench/web_frame_rates.log. The page hands the browser a turn after every frame, which a
# browser answers after 4 ms at the soonest: the page's figures cannot exceed about 250 frames/s.
# Both play at --fps F of demo time (10 unless told; the page draws about ten frames a second on
# a software renderer, so the default 60 would take half an hour).
# Usage: bench/web_frame_rates.sh [F]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD:-$root/build}"
site="${DEMOTORVA_WEB_SITE:-$root/build-web/site}"
fps="${1:-10}"
case "$fps" in ''|*[!0-9]*) echo "the frame rate is a whole number, not '$fps'" >&2; exit 2;; esac
[ -f "$site/demotorva.wasm" ] || { echo "no web build in $site: run scripts/web.sh" >&2; exit 2; }
browser=$(command -v chromium || command -v chromium-browser) || { echo "chromium is missing" >&2; exit 2; }
cmake --build "$build" --target demotorva datapack >/dev/null

out=$(mktemp -d)
server=""
chrome=""
trap '[ -n "$chrome" ] && kill $chrome 2>/dev/null; [ -n "$server" ] && kill $server 2>/dev/null; rm -rf "$out"' EXIT
python3 -u -m http.server --bind 127.0.0.1 --directory "$site" 0 >"$out/server.log" 2>&1 &
server=$!
port=""
for _ in $(seq 50); do
    port=$(grep -o 'port [0-9]*' "$out/server.log" | awk '{ print $2 }' || true)
    [ -n "$port" ] && break
    sleep 0.1
done
[ -n "$port" ] || { echo "the page server did not start" >&2; exit 1; }

"$browser" --headless --no-sandbox --use-angle=swiftshader --enable-unsafe-swiftshader \
    --enable-logging=stderr --v=0 --no-first-run --user-data-dir="$out/profile" \
    --window-size=1000,800 "http://127.0.0.1:$port/index.html?benchmark&fps=$fps" 2>"$out/chrome.log" &
chrome=$!
for _ in $(seq 1800); do
    grep -q 'demotorva ended with status' "$out/chrome.log" 2>/dev/null && break
    sleep 1
done
kill "$chrome" 2>/dev/null || true
wait "$chrome" 2>/dev/null || true
chrome=""
# The program's report from the page's console: its standard output, without what went to
# standard error (the emulation's notes) or came from the browser.
page=$(grep 'INFO:CONSOLE' "$out/chrome.log" | sed -n 's/^[^"]*"\(.*\)", source: .*/\1/p' |
    grep -v -e '^demotorva ended' -e '^stderr: ' -e '^\[\.WebGL')
native=$(SDL_AUDIODRIVER=dummy "$build/demotorva" --data "$build/data" --benchmark --fps "$fps")
report=$(printf 'web page (headless chromium, SwiftShader):\n%s\nnative (same machine):\n%s\n' "$page" "$native")
echo "$report"
{
    echo "# $(date -u +%Y-%m-%dT%H:%MZ) $(git -C "$root" rev-parse --short HEAD) --fps $fps"
    echo "$report"
} >>"$root/bench/web_frame_rates.log"
