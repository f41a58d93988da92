#!/usr/bin/env bash
# The demo on a machine whose font configuration offers no faces at all: it still plays to the
# end with exit code 0, standard error names the missing face, and the overlays, switched on,
# simply do not show (a frame with them equals a frame without them).
# Arguments: the demotorva executable, the data pack folder.
set -u
exe="$1"
data="$2"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy DEMOTORVA_NO_DIALOGS=1
cat >"$work/fonts.conf" <<CONF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig><dir>$work/no-fonts</dir><cachedir>$work/cache</cachedir></fontconfig>
CONF
mkdir -p "$work/no-fonts"
failures=0
FONTCONFIG_FILE="$work/fonts.conf" "$exe" --data "$data" --fps 2 --show-time --show-fps \
    --frames "$work/bare" --from 20 --to 20 >"$work/out" 2>&1
code=$?
echo "without faces: exit code $code"
[ "$code" -eq 0 ] || { echo "FAIL exit code $code"; cat "$work/out"; failures=$((failures + 1)); }
grep -qi "narrow" "$work/out" || { echo "FAIL standard error does not name the missing face"; failures=$((failures + 1)); }
FONTCONFIG_FILE="$work/fonts.conf" "$exe" --data "$data" --fps 2 \
    --frames "$work/plain" --from 20 --to 20 >/dev/null 2>&1
if ! cmp -s "$work"/bare/*.png "$work"/plain/*.png; then
    echo "FAIL the overlays drew something without a face"
    failures=$((failures + 1))
fi
# The whole demo still plays to its end without faces.
FONTCONFIG_FILE="$work/fonts.conf" "$exe" --data "$data" --fps 1 --show-time \
    --frames "$work/all" --from 188 >/dev/null 2>&1 || { echo "FAIL the demo did not play to its end"; failures=$((failures + 1)); }
echo "$failures failures"
[ "$failures" -eq 0 ]
