#!/usr/bin/env bash
# Builds one libFuzzer program per reader of outside input with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs each for a while from its seed corpus
# (tests/fuzz/corpus/<reader>) inside a private network namespace:
#   scripts/fuzz.sh [SECONDS per reader, default 20]
# What a run finds is left in build-fuzz/artifacts. Without clang's libFuzzer it says so and does
# nothing: the test suite replays the seeds and damaged copies of them in every build all the same.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=${1:-20}
probe='extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }'
if ! command -v clang++ >/dev/null ||
  ! echo "$probe" | clang++ -x c++ -fsanitize=fuzzer - -o /dev/null 2>/dev/null; then
  echo "== no clang with libFuzzer: the readers are not fuzzed"
  exit 0
fi
readers=()
for corpus in tests/fuzz/corpus/*/; do
  readers+=("$(basename "$corpus")")
done
# The normal build (GCC) is the one held to zero warnings; clang's own would only bury the finds.
CXX=clang++ bash scripts/build.sh build-fuzz -DTANZO_FUZZ=ON -DTANZO_SANITIZE=address,undefined \
  -DTANZO_BUILD_BENCH=OFF -DTANZO_PRECOMPILED_HEADERS=OFF -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" \
  -DCMAKE_CXX_FLAGS=-w \
  -- "${readers[@]/#/fuzz_}"
mkdir -p build-fuzz/artifacts
status=0
for reader in "${readers[@]}"; do
  # New finds go to a corpus of the build folder; the committed seeds stay as they are.
  mkdir -p "build-fuzz/corpus/$reader"
  echo "== fuzzing $reader for $seconds s"
  if ! bash scripts/netns.sh "build-fuzz/tests/fuzz_$reader" -max_total_time="$seconds" -rss_limit_mb=2048 \
    -artifact_prefix="build-fuzz/artifacts/$reader-" -print_final_stats=1 \
    "build-fuzz/corpus/$reader" "tests/fuzz/corpus/$reader" >"build-fuzz/$reader.log" 2>&1; then
    echo "fuzzing $reader FAILED:"
    tail -n 40 "build-fuzz/$reader.log"
    status=1
  fi
  grep -E '^stat::number_of_executed_units' "build-fuzz/$reader.log" || true
done
exit $status
