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
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${SDL_VIDEODRIVER:-}" != "offscreen" ]; then
    echo "No display here: recording the demo to $PWD/demo.mp4 instead of playing it."
    "$build/demotorva" --record demo.mp4 "$@"
    echo "The demo is in $PWD/demo.mp4"
    exit 0
fi
screen=(--desktop)
for arg in "$@"; do
    case "$arg" in
    --window | --desktop | --record | --frames | --audio | --benchmark | --help | -h | --version) screen=() ;;
    esac
done
exec "$build/demotorva" "${screen[@]}" "$@"
