#!/usr/bin/env bash
# Runs the palette fuzzers of the sanitizers' build folder for a bounded time each on its seed
# corpus: the palette file's harnesses for the time given, each exchange reader's for a fifth of
# it. They run two at a time, one per core, each for its whole time.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build_dir=${1:?build folder}
seconds=${2:-30}
harnesses=(reader cycle ase aco kpl soc gpl)
# Built with the sanitizers' tests (tests/sanitize/run.sh build): nothing to do then.
cmake --build "$build_dir" --target fuzzers

# One harness for its time; false when it found a failing input.
fuzz() {
    local harness=$1 seeds time status=0
    local corpus="$build_dir/corpus-$harness" artifacts="$build_dir/artifacts-$harness"
    mkdir -p "$corpus"
    case $harness in
        reader | cycle) seeds=corpus; time=$seconds ;;
        *) seeds=corpus-$harness; time=$(( (seconds + 4) / 5 )) ;;
    esac
    cp -n "$source_dir/tests/fuzz/$seeds"/* "$corpus"/ 2>/dev/null || true
    rm -rf "$artifacts" && mkdir -p "$artifacts"
    "$build_dir/bin/fuzz_palette_$harness" -max_total_time="$time" -max_len=4096 \
        -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" \
        >"$build_dir/fuzz-$harness.log" 2>&1 || status=$?
    [ "$status" -eq 0 ] && [ -z "$(ls -A "$artifacts")" ]
}

# A lane runs its harnesses one after another; the two lanes take about as long.
lane() {
    local harness failed=0
    for harness in "$@"; do
        fuzz "$harness" || { echo "$harness" >>"$build_dir/fuzz-failed"; failed=1; }
    done
    return $failed
}

rm -f "$build_dir/fuzz-failed"
lane reader ase aco kpl &
first=$!
lane cycle soc gpl &
second=$!
wait "$first" || true
wait "$second" || true

for harness in "${harnesses[@]}"; do
    grep -E '^(Done|SUMMARY)' "$build_dir/fuzz-$harness.log" | sed "s/^/$harness: /"
done
if [ -s "$build_dir/fuzz-failed" ]; then
    while read -r harness; do
        tail -40 "$build_dir/fuzz-$harness.log" >&2
        echo "fuzzing $harness found a failing input, kept in $build_dir/artifacts-$harness" >&2
    done <"$build_dir/fuzz-failed"
    exit 1
fi
