#!/usr/bin/env bash
# Puts the stand-in beside this script the way scripts/run.sh does for the program (in a private
# namespace of its own), then lets the test executable broadcast discovery from this side and talk
# to the units across the veth pair.
#   run_beside_check.sh SOURCE_DIR BINARY_DIR TEST_EXECUTABLE
set -euo pipefail
src=$1 bin=$2 tests=$3
# shellcheck source=../support/e2e.sh
source "$src/tests/support/e2e.sh"
e2e_private_namespace "$0" "$@"
e2e_begin "$bin/test-files/run_beside"
start_standin "$bin/bin/standin"

TANZO_BESIDE_CHECK=1 "$tests" --gtest_filter='StandinBeside.*' || fail "the tests beside the stand-in failed"
# Its control port answers in its own namespace.
reply=$(standin_control show settings) || fail "no control reply"
case "$reply" in
  "ok mac=02:00:c0:a8:4d:02 "*) ;;
  *) fail "control reply: $reply" ;;
esac
stop_standin
