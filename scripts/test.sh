#!/usr/bin/env bash
# Builds the program and runs every test, each suite inside a private network namespace:
#   1. the normal build;
#   2. the same suite built with AddressSanitizer and UndefinedBehaviorSanitizer;
#   3. the threaded tests built with ThreadSanitizer (tests labelled "threads");
#   4. a short run of every reader's fuzz program (scripts/fuzz.sh).
# scripts/test.sh --quick runs the first stage only.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
quick=0
[ "${1:-}" = "--quick" ] && quick=1

bash scripts/setup.sh
jobs=${TANZO_JOBS:-$(nproc)}
status=0

run_suite() { # dir, extra ctest arguments...
  local dir=$1; shift
  bash scripts/netns.sh ctest --test-dir "$dir" --output-on-failure -j"$jobs" --timeout 600 "$@" || status=1
}

echo "== build"
bash scripts/build.sh build
echo "== tests"
run_suite build

if [ $quick -eq 0 ]; then
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1
  export LSAN_OPTIONS=suppressions=$root/tests/lsan.supp:print_suppressions=0
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=$root/tests/tsan.supp
  echo "== build with AddressSanitizer and UndefinedBehaviorSanitizer"
  # Sanitizer builds keep assertions on and optimise lightly: they compile three times faster.
  bash scripts/build.sh build-asan -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" \
    -DTANZO_SANITIZE=address,undefined -DTANZO_BUILD_BENCH=OFF
  echo "== tests with AddressSanitizer and UndefinedBehaviorSanitizer"
  run_suite build-asan -LE no-sanitizer
  if ctest --test-dir build -N -L threads 2>/dev/null | grep -q 'Total Tests: [1-9]'; then
    echo "== build with ThreadSanitizer"
    # Only what the threaded tests run.
    bash scripts/build.sh build-tsan -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" \
      -DTANZO_SANITIZE=thread -DTANZO_BUILD_BENCH=OFF -- tests_link tests_model tests_shell standin
    echo "== threaded tests with ThreadSanitizer"
    run_suite build-tsan -L threads
  fi
  echo "== fuzzing the readers"
  bash scripts/fuzz.sh 15 || status=1
fi

[ $status -eq 0 ] || echo "== some test stage FAILED (see above)"
exit $status
