#!/usr/bin/env bash
# Installs what is needed, builds everything and runs the whole test suite.
# STM_SANITIZE=1 builds into build-asan with AddressSanitizer and UBSan instead.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

build_dir=build
cmake_args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTM_BUILD_TESTS=ON)
if [ "${STM_SANITIZE:-0}" = "1" ]; then
  build_dir=build-asan
  cmake_args+=(-DSTM_SANITIZE=ON -DSTM_BUILD_BENCH=OFF)
fi

jobs=$(nproc)
cmake -S . -B "$build_dir" "${cmake_args[@]}"
cmake --build "$build_dir" -j"$jobs"

# A second compiler reads the library too, its warnings also errors, and the fuzz targets run
# for a bounded time (not under STM_SANITIZE, whose build is a check of its own). They come
# before the suite so that the suite's summary closes the output.
if [ "${STM_SANITIZE:-0}" != "1" ]; then
  cmake -S . -B build-clang -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
    -DCMAKE_CXX_COMPILER=clang++ -DSTM_BUILD_TESTS=OFF -DSTM_BUILD_BENCH=OFF
  cmake --build build-clang -j"$jobs" --target stmview
  bash scripts/fuzz.sh
fi

ctest --test-dir "$build_dir" --output-on-failure -j"$jobs"
