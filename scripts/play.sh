#!/usr/bin/env bash
# Builds what is missing (the demo and its data pack) and plays the demo full screen at the
# desktop's own resolution (--desktop), unless the options ask for a window or a recording.
# Without a display it records the demo to demo.mp4 instead and says where it is. Options are
# passed on to demotorva.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build"
if [ ! -x "$build/demotorva" ] || [ ! -d "$build/data" ]; then
    bash "$root/scripts/setup.sh"
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --target demotorva datapack >/dev/null
# Options that play nothing on screen (help, version, recordings, the benchmark) go to the
# demo as they are, display or not; they also name the outputs themselves.
screen=(--desktop)
as_given=""
for arg in "$@"; do
    case "$arg" in
    --window | -w | --desktop) screen=() ;;
    --record | --record=* | --frames | --frames=* | --audio | --audio=* | --benchmark | --help | -h | \
        --version | -V) screen=() as_given=1 ;;
    esac
done
if [ -z "$as_given" ] && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] &&
    [ "${SDL_VIDEODRIVER:-}" != "offscreen" ]; then
    echo "No display here: recording the demo to $PWD/demo.mp4 instead of playing it."
    "$build/demotorva" --record "$PWD/demo.mp4" "$@"
    echo "The demo is in $PWD/demo.mp4"
    exit 0
fi
exec "$build/demotorva" "${screen[@]}" "$@"
