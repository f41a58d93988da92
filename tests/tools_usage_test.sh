#!/usr/bin/env bash
# The command lines of demotorva-inspect and demotorva-datapack: --help and --version (and -h,
# -V) answer on standard output alone with status 0; a missing or extra argument or an unknown
# option gives the usage on standard error alone with status 2, the inspector's under a line
# saying what was wrong; a file that cannot be read or written is said with the system's
# reason, status 1.
# Arguments: the demotorva executable (in the build tree), the data pack folder.
set -eu
build=$(dirname "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# expect STATUS STREAM PATTERN COMMAND...: the status, and PATTERN on STREAM with the other empty.
expect() {
    local want="$1" stream="$2" pattern="$3"
    shift 3
    local status=0
    "$@" >"$work/out" 2>"$work/err" || status=$?
    local quiet=err
    [ "$stream" = out ] || quiet=out
    if [ "$status" -ne "$want" ] || ! grep -q "$pattern" "$work/$stream" || [ -s "$work/$quiet" ]; then
        echo "$*: status $status (want $want), stdout: $(cat "$work/out"), stderr: $(cat "$work/err")"
        exit 1
    fi
}

for tool in "$build/tools/inspect/demotorva-inspect" "$build/tools/datapack/demotorva-datapack"; do
    name=$(basename "$tool")
    expect 0 out "^Usage: $name" "$tool" --help
    expect 0 out "^Usage: $name" "$tool" -h
    expect 0 out "^$name [0-9]*\.[0-9]*\.[0-9]*$" "$tool" --version
    expect 0 out "^$name [0-9]" "$tool" -V
    expect 2 err "^Usage: $name" "$tool"
    expect 2 err "^Usage: $name" "$tool" --bogus
    expect 2 err "^Usage: $name" "$tool" --help extra
done
expect 2 err "^Usage: demotorva-inspect" "$build/tools/inspect/demotorva-inspect" ase one two
expect 2 err "^Usage: demotorva-datapack" "$build/tools/datapack/demotorva-datapack" "$work/pack" extra
[ ! -e "$work/pack" ] || { echo "demotorva-datapack wrote a pack despite an extra argument"; exit 1; }

inspect="$build/tools/inspect/demotorva-inspect"
expect 2 err "^demotorva-inspect: no command given" "$inspect"
expect 2 err "^demotorva-inspect: unknown command 'obj'" "$inspect" obj file
expect 2 err "^demotorva-inspect: no FILE given after tga" "$inspect" tga
expect 2 err "^demotorva-inspect: unexpected argument 'two' after the FILE" "$inspect" ase one two
expect 2 err "^demotorva-inspect: --png needs a file name" "$inspect" tga one --png
expect 2 err "^demotorva-inspect: --help takes no argument" "$inspect" --help extra
expect 1 err "^demotorva-inspect: cannot read $work/none.ase: No such file or directory$" "$inspect" ase "$work/none.ase"
expect 1 err "^demotorva-inspect: cannot read $work/none.tga: No such file or directory$" "$inspect" tga "$work/none.tga"
status=0
SDL_VIDEODRIVER=offscreen "$inspect" tga "$2/maps/loading.tga" --png "$work/nodir/x.png" >/dev/null 2>"$work/err" || status=$?
[ "$status" -eq 1 ] && grep -q "^demotorva-inspect: cannot write $work/nodir/x.png: No such file or directory$" "$work/err" ||
    { echo "--png into a missing folder: status $status, $(cat "$work/err")"; exit 1; }
touch "$work/plain"
expect 1 err "^demotorva-datapack: cannot create the folder $work/plain/pack: Not a directory$" \
    "$build/tools/datapack/demotorva-datapack" "$work/plain/pack"
# A file of the pack that cannot be written (here a folder stands where the picture goes).
mkdir -p "$work/blocked/maps/loading.tga"
expect 1 err "^demotorva-datapack: cannot write $work/blocked/maps/loading.tga: Is a directory$" \
    "$build/tools/datapack/demotorva-datapack" "$work/blocked"
