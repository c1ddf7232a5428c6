#!/usr/bin/env bash
# Builds the palette fuzzers with clang and runs each for a bounded time on its seed corpus: the
# palette file's harnesses for the time given, each exchange reader's for a fifth of it.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build_dir=${1:?build folder}
seconds=${2:-30}
harnesses=(reader cycle ase aco kpl soc gpl)
cmake -S "$source_dir" -B "$build_dir" -G Ninja -DCMAKE_C_COMPILER=clang \
    -DCMAKE_CXX_COMPILER=clang++ -DHUEBROOK_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build_dir" --target "${harnesses[@]/#/fuzz_palette_}"
for harness in "${harnesses[@]}"; do
    corpus="$build_dir/corpus-$harness"
    mkdir -p "$corpus"
    case $harness in
        reader | cycle) seeds=corpus; time=$seconds ;;
        *) seeds=corpus-$harness; time=$(( (seconds + 4) / 5 )) ;;
    esac
    cp -n "$source_dir/tests/fuzz/$seeds"/* "$corpus"/ 2>/dev/null || true
    artifacts="$build_dir/artifacts-$harness"
    rm -rf "$artifacts" && mkdir -p "$artifacts"
    status=0
    "$build_dir/bin/fuzz_palette_$harness" -max_total_time="$time" -max_len=4096 \
        -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" \
        >"$build_dir/fuzz-$harness.log" 2>&1 || status=$?
    grep -E '^(Done|SUMMARY)' "$build_dir/fuzz-$harness.log" | sed "s/^/$harness: /"
    if [ "$status" -ne 0 ] || [ -n "$(ls -A "$artifacts")" ]; then
        tail -40 "$build_dir/fuzz-$harness.log" >&2
        echo "fuzzing $harness found a failing input, kept in $artifacts" >&2
        exit 1
    fi
done
