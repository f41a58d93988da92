# The first 55.6 s of the demo rendered offline through the command line, with the time overlay
# on (scripts/contact_sheets.sh lays frames of the same run out against the timelines).
#
# Checks what only the whole program shows: the run ends well and writes every frame, the first
# frame is black but for the time overlay, which no fade darkens.
#
# Usage: bash early_scenes_pictures_test.sh DEMOTORVA_EXECUTABLE DATA_PACK_DIR
set -u
exe=$1
pack=${DEMOTORVA_TEST_PACK:-$2}
out=early_scenes_sheet
fail=0
check() {  # check DESCRIPTION CONDITION...
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; fail=1; fi
}
command -v convert > /dev/null && command -v montage > /dev/null || { echo "imagemagick is needed"; exit 1; }

rm -rf "$out" && mkdir -p "$out"
SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "$exe" --data "$pack" --frames "$out" --from 0 --to 55.65 \
    --fps 20 --show-time > "$out/log.txt" 2>&1
status=$?
check "offline rendering exits with 0 (got $status)" test "$status" -eq 0
count=$(ls "$out" | grep -c '^frame-.*\.png$')
check "every frame from 0 to 55.6 s is written (got $count)" test "$count" -eq 1114

# Frame of demo time T (the one whose name ends in the nearest time).
frame_at() {
    ls "$out" | grep '^frame-' | awk -v t="$1" -F'[-.]' '{
        v = ($3 "." $4) + 0; d = v - t; if (d < 0) d = -d
        if (best == "" || d < bestd) { best = $0; bestd = d } } END { print best }'
}
# mean of one channel (r, g or b, 0..255) over a crop WxH+X+Y of frame F.
channel_mean() {
    convert "$out/$1" -crop "$2" +repage -format "%[fx:int(255*mean.$3)]" info:
}

first=$(frame_at 0)
check "the first frame is black below the time overlay" \
    test "$(convert "$out/$first" -crop 800x540+0+60 +repage -format '%[fx:int(255*maxima)]' info:)" -le 2
# The overlay sits near the top edge, green.
check "the time overlay shows over the black first frame" \
    test "$(channel_mean "$first" 240x50+280+0 g)" -gt "$(( $(channel_mean "$first" 240x50+280+0 r) + 2 ))"

exit $fail
