# Shared by the real-window checks: a virtual X server and the demo's window in it.
# Sourced, not run, by a check whose first argument is the demotorva executable.

# The window is found by its title, which carries the version the program reports.
demo_title="DemoTORVA - v $("$1" --version | awk '{print $2}')"

# start_xvfb SIZE: starts Xvfb at SIZE (for example 1024x768) on a display of its own, exports
# DISPLAY and sets xvfb to its process; returns once the server answers (up to 30 seconds,
# since a machine busy with other tests can be slow to bring it up).
start_xvfb() {
    # The server picks a free display itself and writes its number, so checks running side by
    # side never share or fight over one.
    local number
    number=$(mktemp)
    # -noreset: by default the server resets whenever its last client leaves, and a demo that
    # connects during that reset finds no display (SDL then falls back on drawing nowhere).
    # The polling below connects and leaves many times a second, so resets would be frequent.
    Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp -noreset 3>"$number" >/dev/null 2>&1 &
    xvfb=$!
    for _ in $(seq 300); do [ -s "$number" ] && break; sleep 0.1; done
    export DISPLAY=":$(head -1 "$number")"
    rm -f "$number"
    for _ in $(seq 300); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
}

# find_demo_window PID: sets window to the demo's visible window, waiting up to 90 seconds
# (loading on a busy machine takes a while); empty when none appears or the demo has died.
# Only a visible window counts: a hidden one may be about to be replaced.
find_demo_window() {
    window=""
    for _ in $(seq 900); do
        window=$(xdotool search --onlyvisible --name "$demo_title" 2>/dev/null | head -1)
        [ -n "$window" ] && break
        kill -0 "$1" 2>/dev/null || break
        sleep 0.1
    done
}

# report_missing_window PID: what a demo that showed no window was doing, for the log.
report_missing_window() {
    echo "windows by that name, hidden ones too: $(xdotool search --name "$demo_title" 2>&1 | tr '\n' ' ')"
    if kill -0 "$1" 2>/dev/null && command -v gdb >/dev/null; then
        # The main thread first: the other threads are the driver's and SDL's idle workers.
        gdb -p "$1" -batch -ex "thread 1" -ex "bt 25" -ex "thread apply all bt 6" 2>/dev/null |
            grep -E "^#|^Thread|^\[Current" | head -80
    fi
}
