#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer and UndefinedBehaviorSanitizer) and runs
# each for the given number of seconds (default 60) from the kept corpus. New inputs go to a
# scratch folder; any finding is written as crash-*/leak-*/timeout-* into the current folder
# and fails the run. Keep a finding's input under tests/fuzz/corpus/ so the tests replay it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
build="$root/build-fuzz"
command -v clang++ >/dev/null && command -v ninja >/dev/null || bash "$root/scripts/setup.sh" --test
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DDEMOTORVA_FUZZ=ON -DDEMOTORVA_TESTS=OFF >/dev/null
cmake --build "$build" --target ase_reader_fuzz tga_loader_fuzz
# The TGA target writes each input to a file: keep that in memory where there is /dev/shm.
[ -d /dev/shm ] && export TMPDIR=/dev/shm
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for target in ase_reader tga_loader; do
    corpus="$root/tests/fuzz/corpus/${target%%_*}"
    mkdir -p "$scratch/$target"
    echo "fuzzing $target for $seconds s"
    code=0
    "$build/tests/fuzz/${target}_fuzz" -max_total_time="$seconds" -max_len=8192 -rss_limit_mb=2048 \
        -print_final_stats=1 "$scratch/$target" "$corpus" >"$scratch/$target.log" 2>&1 || code=$?
    grep -E "^(stat::number_of_executed_units|==[0-9]+==ERROR|SUMMARY)" "$scratch/$target.log" || true
    [ "$code" -eq 0 ] || { tail -40 "$scratch/$target.log"; echo "$target: finding"; exit 1; }
done
echo "fuzzing: no findings"
