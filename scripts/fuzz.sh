#!/usr/bin/env bash
# Builds the fuzz targets with clang under ASan and UBSan in build-fuzz/ and runs each for a
# bounded time (STM_FUZZ_SECONDS, 60 by default), starting from the examples; a crash leaves its
# input in build-fuzz/ and fails.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${STM_FUZZ_SECONDS:-60}
jobs=$(nproc)
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DSTM_FUZZ=ON -DSTM_BUILD_TESTS=OFF -DSTM_BUILD_BENCH=OFF
cmake --build build-fuzz -j"$jobs" --target stm-fuzz-model-file

# New inputs go to the first folder; the examples are only read.
mkdir -p build-fuzz/corpus/model-file
build-fuzz/fuzz/stm-fuzz-model-file build-fuzz/corpus/model-file examples \
  -max_total_time="$seconds" -max_len=32768 -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix=build-fuzz/ -print_final_stats=1
