#!/usr/bin/env bash
# Builds the demo with AddressSanitizer and UndefinedBehaviorSanitizer (the "sanitize" preset,
# clang) and renders the whole demo offline under them; LeakSanitizer checks the exit. Any
# report fails the run. Arguments are passed on to demotorva (default: --fps 10).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-sanitize"
command -v clang++ >/dev/null && command -v ninja >/dev/null || bash "$root/scripts/setup.sh" --test
# The same options for the build, which runs the sanitized data-pack generator, as for the demo.
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy DEMOTORVA_NO_DIALOGS=1
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:halt_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$root/tests/sanitizer/leaks.supp:print_suppressions=1"
cmake --preset sanitize -S "$root" >/dev/null
cmake --build "$build" --target demotorva datapack
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
# SDL unloads the GL driver at exit, before LeakSanitizer looks; what the driver still holds
# then shows as leaks of an unknown module that no suppression can name. Loaded from the
# start, the driver stays mapped and its allocations stay reachable.
preload=""
for lib in /lib/x86_64-linux-gnu/libEGL_mesa.so.0 /usr/lib/x86_64-linux-gnu/dri/swrast_dri.so; do
    [ -e "$lib" ] && preload="$preload $lib"
done
export LD_PRELOAD="${preload# }"
[ $# -gt 0 ] || set -- --fps 10
"$build/demotorva" --data "$build/data" --frames "$out/frames" --audio "$out/demo.wav" "$@"
echo "sanitized run: no reports"
