#!/usr/bin/env bash
# Builds what is missing (the demo and its data pack) and plays the demo full screen at the
# desktop's own resolution (--desktop), unless the options ask for a window or a recording.
# Without a display it records the demo to demo.mp4 instead (demo-2.mp4 and so on when that
# file is there already: a file the user has is never overwritten) and says where it is. Options
# are passed on to demotorva; those of live play only are left out of the recording, with a word.
# The build shows its progress: the first one takes a few minutes. BUILD names another build
# folder (default: build in the source tree).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD:-$root/build}"
if [ ! -x "$build/demotorva" ] || [ ! -d "$build/data" ]; then
    bash "$root/scripts/setup.sh"
    echo "Configuring the build in $build ..."
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    echo "Building the demo and its data pack (a few minutes the first time) ..."
fi
cmake --build "$build" --target demotorva datapack | { grep -v '^ninja: no work to do' || true; }
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
    video="$PWD/demo.mp4"
    for ((n = 2; ; ++n)); do
        [ -e "$video" ] || break
        video="$PWD/demo-$n.mp4"
    done
    # A recording opens no window and plays no sound: the options for those are left out.
    args=()
    for arg in "$@"; do
        case "$arg" in
        --window | -w | --desktop | --mute | --no-vsync | --loop) echo "Leaving out $arg: it is for playing on a display." ;;
        *) args+=("$arg") ;;
        esac
    done
    echo "No display here: recording the demo to $video instead of playing it."
    "$build/demotorva" --record "$video" ${args[@]+"${args[@]}"}
    echo "The demo is in $video"
    exit 0
fi
exec "$build/demotorva" ${screen[@]+"${screen[@]}"} "$@"
