#!/usr/bin/env bash
# Runs every fuzz target for a bounded time under ASan (leak checking on) and UBSan, as many at
# once as there are cores: the model file reader from examples/ for STM_FUZZ_SECONDS (60), each
# reader of archives from its seeds in fuzz/corpus/<reader>/ and the inputs in
# fuzz/crashers/<reader>/ for STM_FUZZ_ARCHIVE_SECONDS (20). New inputs stay in the build folder.
# STM_FUZZ_BUILD names a build configured with -DSTM_FUZZ=ON (scripts/test.sh passes its clang
# build); without it the targets are built in build-fuzz/. A failure prints the target's log and
# leaves the input in the build folder: put it under fuzz/crashers/<reader>/ once it is fixed.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc)
build=${STM_FUZZ_BUILD:-}
if [ -z "$build" ]; then
  build=build-fuzz
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DSTM_FUZZ=ON -DSTM_BUILD_TESTS=OFF -DSTM_BUILD_BENCH=OFF
  cmake --build "$build" -j"$jobs" --target stm-fuzz
fi

export STM_FUZZ_BUILD_DIR=$build
run_one() {
  local target=$1 seconds=$2 max_len=$3
  shift 3
  local dir=$STM_FUZZ_BUILD_DIR
  local seeds=()
  for s in "$@"; do [ -d "$s" ] && seeds+=("$s"); done
  mkdir -p "$dir/corpus/$target"
  if "$dir/fuzz/$target" "$dir/corpus/$target" "${seeds[@]}" -max_total_time="$seconds" -max_len="$max_len" \
    -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$dir/$target-" -print_final_stats=1 >"$dir/$target.log" 2>&1; then
    echo "fuzz: $target clean: $(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$dir/$target.log" | grep -o '[0-9]*$') runs in ${seconds} s"
  else
    echo "fuzz: $target FAILED; its log:"
    tail -n 60 "$dir/$target.log"
    return 1
  fi
}
export -f run_one

model_seconds=${STM_FUZZ_SECONDS:-60}
archive_seconds=${STM_FUZZ_ARCHIVE_SECONDS:-20}
{
  echo "stm-fuzz-model-file $model_seconds 32768 examples"
  for reader_dir in fuzz/corpus/*/; do
    reader=$(basename "$reader_dir")
    echo "stm-fuzz-archive-$reader $archive_seconds 4096 fuzz/corpus/$reader fuzz/crashers/$reader"
  done
} | xargs -P "$jobs" -L 1 bash -c 'run_one "$@"' _
