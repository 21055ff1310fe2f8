#!/usr/bin/env bash
# Builds the program and runs every test, each suite inside a private network namespace:
#   1. the normal build;
#   2. the same suite built with AddressSanitizer and UndefinedBehaviorSanitizer;
#   3. the threaded tests and one session of the whole program beside the stand-in, built with
#      ThreadSanitizer (tests labelled "threads");
#   4. a short run of every reader's fuzz program (scripts/fuzz.sh).
# A sanitizer report from any process stage 2 or 3 starts (a test, the program, the stand-in)
# fails the stage, whatever that process's exit status and wherever its output went.
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

# Every sanitized process of the suite writes its AddressSanitizer, LeakSanitizer and
# ThreadSanitizer reports into a file of its own in the suite's folder
# (<folder>/<sanitizer>.<executable>.<pid>), so that none is lost with output a test keeps to
# itself; the end-to-end scripts also show those of the processes they start.
# UndefinedBehaviorSanitizer writes to standard error only: its reports are looked for in the
# tests' output, and the scripts look in the output of what they start.
run_sanitized_suite() { # dir, extra ctest arguments...
  local dir=$1 reports=$root/$1/sanitizer-reports file
  rm -rf "$reports" && mkdir -p "$reports"
  ASAN_OPTIONS=$ASAN_OPTIONS:log_path=$reports/asan:log_exe_name=1 \
    TSAN_OPTIONS=$TSAN_OPTIONS:log_path=$reports/tsan:log_exe_name=1 \
    TANZO_SANITIZER_REPORTS=$reports run_suite "$@"
  for file in "$reports"/*; do
    [ -f "$file" ] || continue
    echo "== sanitizer report $file"
    cat "$file"
    status=1
  done
  if grep -n -A 12 -E '(Address|Leak|Thread|UndefinedBehavior)Sanitizer|: runtime error: ' \
    "$dir/Testing/Temporary/LastTest.log"; then
    echo "== sanitizer reports in the tests' output (above; all of it in $dir/Testing/Temporary/LastTest.log)"
    status=1
  fi
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
  run_sanitized_suite build-asan -LE no-sanitizer
  echo "== build with ThreadSanitizer"
  # Only what the threaded tests and the program's session run.
  bash scripts/build.sh build-tsan -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" \
    -DTANZO_SANITIZE=thread -DTANZO_BUILD_BENCH=OFF -- tests_link tests_model tests_shell standin Programmer
  echo "== threaded tests and a session of the program with ThreadSanitizer"
  run_sanitized_suite build-tsan -L threads
  echo "== fuzzing the readers"
  bash scripts/fuzz.sh 5 || status=1
fi

[ $status -eq 0 ] || echo "== some test stage FAILED (see above)"
exit $status
