#!/usr/bin/env bash
# The sanitizers' build and run, in a folder of their own: `build` makes the core and widget tests
# and the palette fuzzers with clang's AddressSanitizer and UndefinedBehaviorSanitizer; `test`
# runs those tests there (tests/fuzz/run.sh runs the fuzzers).
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
step=${1:?build or test}
build_dir=${2:?build folder}
case $step in
    build)
        # clang, whose libFuzzer the fuzzers need, so that the sanitized code is built once for
        # both. One translation unit per few sources, line tables alone for the reports'
        # file:line, and -O1, the level the sanitizers are made for: -O2 spent 40% more time
        # inlining instrumented code, and the tests ran no faster for it.
        cmake -S "$source_dir" -B "$build_dir" -G Ninja -DCMAKE_C_COMPILER=clang \
            -DCMAKE_CXX_COMPILER=clang++ -DHUEBROOK_SANITIZE=ON -DHUEBROOK_FUZZ=ON \
            -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_UNITY_BUILD=ON \
            "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG" >/dev/null
        cmake --build "$build_dir" --target unit_tests fuzzers
        ;;
    test)
        export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
        export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
        export LSAN_OPTIONS=suppressions="$source_dir/tests/sanitize/lsan.supp"
        cd "$build_dir" && ctest -L 'core|widgets' -LE cube --output-on-failure -j "$(nproc)"
        ;;
    *)
        echo "usage: $0 build|test FOLDER" >&2
        exit 2
        ;;
esac
