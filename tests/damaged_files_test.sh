#!/usr/bin/env bash
# The demo against a data pack it was not made for: every file it reads missing, one at a
# time, and every file damaged at once (cut short at several points, or replaced by random
# bytes of the same size). Each run plays the demo offline from start to end at a low frame
# rate and must end by itself with exit code 0; a missing model must be named on standard
# output with the reader's line, and every missing file counted on standard error.
# Arguments: the demotorva executable, the data pack folder. DEMOTORVA_FILES_FPS sets the
# frame rate of the runs (default 2).
set -u
exe="$1"
data="$2"
fps="${DEMOTORVA_FILES_FPS:-2}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy DEMOTORVA_NO_DIALOGS=1
failures=0

# Plays the demo on the pack in $1; $2 names the case. Writes the run's output to $work/out.
play() {
    local pack="$1" name="$2"
    timeout 600 "$exe" --data "$pack" --frames "$work/frames" --fps "$fps" --from 188 \
        >"$work/out" 2>&1
    local code=$?
    if [ "$code" -ne 0 ]; then
        echo "FAIL $name: exit code $code"
        tail -5 "$work/out"
        failures=$((failures + 1))
        return 1
    fi
    return 0
}

mapfile -t files < <(cd "$data" && find . -type f ! -name '.*' | sed 's|^\./||' | sort)
[ "${#files[@]}" -gt 0 ] || { echo "empty data pack $data"; exit 1; }

for file in "${files[@]}"; do
    rm -rf "$work/pack"
    cp -r "$data" "$work/pack"
    rm -f "$work/pack/$file"
    play "$work/pack" "without $file" || continue
    if ! grep -qF "demotorva: 1 of the demo's files are missing from $work/pack;" "$work/out"; then
        echo "FAIL without $file: standard error did not count the missing file"
        failures=$((failures + 1))
        continue
    fi
    case "$file" in
    *.ase)
        if ! grep -qxF "# $file not found!" "$work/out"; then
            echo "FAIL without $file: the reader did not name the missing model"
            failures=$((failures + 1))
            continue
        fi
        ;;
    esac
    echo "ok   without $file"
done

# Damages every file of the pack in $work/pack with the operation $1 (a fraction to cut to,
# or "random").
damage() {
    local how="$1" file size
    for file in "${files[@]}"; do
        size=$(stat -c %s "$data/$file")
        if [ "$how" = random ]; then
            head -c "$size" /dev/urandom >"$work/pack/$file"
        else
            head -c "$(awk -v s="$size" -v f="$how" 'BEGIN { printf "%d", s * f }')" \
                "$data/$file" >"$work/pack/$file"
        fi
    done
}

for how in 0 0.003 0.1 0.5 0.9 0.999 random; do
    rm -rf "$work/pack"
    cp -r "$data" "$work/pack"
    damage "$how"
    play "$work/pack" "every file damaged ($how)" && echo "ok   every file damaged ($how)"
done

echo "$failures failures"
[ "$failures" -eq 0 ]
