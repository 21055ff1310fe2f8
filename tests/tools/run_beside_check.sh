#!/usr/bin/env bash
# Puts the stand-in beside this script the way scripts/run.sh does for the program (sourcing
# scripts/run-beside.sh in a private namespace of its own), then lets the test executable broadcast
# discovery from this side and talk to the units across the veth pair.
#   run_beside_check.sh SOURCE_DIR BINARY_DIR TEST_EXECUTABLE
set -euo pipefail
src=$1
bin=$2
tests=$3
if [ "${TANZO_BESIDE_INNER:-}" != 1 ]; then
  export TANZO_BESIDE_INNER=1
  exec bash "$src/scripts/netns.sh" bash "$0" "$@"
fi

root=$src
pids=()
log=$(mktemp "${TMPDIR:-/tmp}/standin-beside.XXXXXX")
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -f "$log"
}
trap cleanup EXIT

export TANZO_STANDIN=$bin/bin/standin
export TANZO_STANDIN_LOG=$log
unset TANZO_STANDIN_UNITS TANZO_STANDIN_ARGS
# shellcheck source=/dev/null
source "$src/scripts/run-beside.sh"
if [ -z "${TANZO_STANDIN_PID:-}" ]; then
  echo "run-beside.sh started no stand-in"
  exit 1
fi
status=0
TANZO_BESIDE_CHECK=1 "$tests" --gtest_filter='StandinBeside.*' || status=$?
# Its control port answers in its own namespace.
reply=$(nsenter --target "$TANZO_STANDIN_PID" --net -- "$TANZO_STANDIN" --send 16999 show settings) || status=1
case "$reply" in
  "ok mac=02:00:c0:a8:4d:02 "*) ;;
  *) echo "control reply: $reply"; status=1 ;;
esac
if [ $status -ne 0 ]; then
  echo "--- stand-in log"
  cat "$log"
fi
exit $status
