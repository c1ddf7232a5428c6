#!/usr/bin/env bash
# Builds the core tests with clang, in the shipped build type and in a folder of its own, and runs
# them: the color models and number rules must give the same results whatever the compiler.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build_dir=${1:?build folder}
cmake -S "$source_dir" -B "$build_dir" -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHUEBROOK_WERROR=ON >/dev/null
cmake --build "$build_dir" --target core_tests
cd "$build_dir" && ctest -L core --output-on-failure
