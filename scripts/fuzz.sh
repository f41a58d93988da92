#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer and UndefinedBehaviorSanitizer), replays
# under them every input kept in tests/fuzz/replay/<reader> (hostile cases, past findings, real
# exports), then fuzzes each reader from its seeds in tests/fuzz/corpus/<reader>, with the
# reader's dictionary where there is one, for the given number of seconds (default 60) or, with
# --runs N, for N inputs. Inputs go up to 1 MB; an input that takes longer than 10 s, a process
# that grows past 2 GB or a single allocation past 256 MB counts as a finding, like a crash. New
# inputs go to a scratch folder; any finding is written as crash-*/leak-*/timeout-*/oom-* into
# the current folder and fails the run. Keep a finding's input under tests/fuzz/replay/ so the
# tests and this script replay it. Seeds stay small (4 KB at most): libFuzzer lets inputs grow
# from the largest seed, and the model reader's time follows an input's size.
#
#   scripts/fuzz.sh [SECONDS] [--runs N] [--only ase_reader|tga_loader]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds=60
runs=-1
targets="ase_reader tga_loader"
while [ $# -gt 0 ]; do
    case "$1" in
    --runs) runs="$2"; shift 2 ;;
    --only) targets="$2"; shift 2 ;;
    *) seconds="$1"; shift ;;
    esac
done
build="$root/build-fuzz"
command -v clang++ >/dev/null && command -v ninja >/dev/null || bash "$root/scripts/setup.sh" --test
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DDEMOTORVA_FUZZ=ON -DDEMOTORVA_TESTS=OFF >/dev/null
cmake --build "$build" --target ase_reader_fuzz tga_loader_fuzz
# The TGA target writes each input to a file: keep that in memory where there is /dev/shm.
[ -d /dev/shm ] && export TMPDIR=/dev/shm
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
limit=(-max_total_time="$seconds")
[ "$runs" -ge 0 ] && limit=(-runs="$runs")
for target in $targets; do
    reader=${target%%_*}
    fuzzer="$build/tests/fuzz/${target}_fuzz"
    limits=(-max_len=1048576 -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=256)
    kept=("$root/tests/fuzz/replay/$reader"/*)
    if [ -e "${kept[0]}" ]; then
        echo "replaying ${#kept[@]} kept inputs for $target"
        "$fuzzer" "${limits[@]}" "${kept[@]}" >"$scratch/$target.replay.log" 2>&1 ||
            { tail -40 "$scratch/$target.replay.log"; echo "$target: a kept input fails"; exit 1; }
    fi
    dict=()
    [ -f "$root/tests/fuzz/$reader.dict" ] && dict=(-dict="$root/tests/fuzz/$reader.dict")
    mkdir -p "$scratch/$target"
    echo "fuzzing $target: ${limit[*]}"
    code=0
    "$fuzzer" "${limit[@]}" "${limits[@]}" "${dict[@]}" -print_final_stats=1 "$scratch/$target" \
        "$root/tests/fuzz/corpus/$reader" >"$scratch/$target.log" 2>&1 || code=$?
    grep -E "^(stat::number_of_executed_units|stat::average_exec_per_sec|==[0-9]+==ERROR|SUMMARY)" "$scratch/$target.log" || true
    [ "$code" -eq 0 ] || { tail -40 "$scratch/$target.log"; echo "$target: finding"; exit 1; }
done
echo "fuzzing: no findings"
