#!/usr/bin/env bash
# Builds the program and starts it inside a private network namespace, where its discovery
# broadcasts reach nothing but what runs beside it: the stand-in controller, in a namespace of its
# own joined to this one (TANZO_STANDIN names another stand-in executable, "off" none; see
# start_standin in tests/support/e2e.sh for its other settings).
# With a display it opens its window there; without one it runs under Xvfb, saves a
# screenshot to build/screenshot.png and stops after TANZO_RUN_SECONDS (default 10;
# 0 runs until interrupted). TANZO_BUILD_DIR names another build folder (default: build).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${TANZO_BUILD_DIR:-build}

if [ "${TANZO_IN_NETNS:-}" != 1 ]; then
  bash scripts/setup.sh
  bash scripts/build.sh "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
  export TANZO_IN_NETNS=1
  exec bash scripts/netns.sh bash "$0" "$@"
fi

case $build in /*) ;; *) build=$root/$build ;; esac
program=$build/bin/Programmer
shot=$build/screenshot.png
seconds=${TANZO_RUN_SECONDS:-10}
# shellcheck source=../tests/support/e2e.sh
source "$root/tests/support/e2e.sh"
work=$build/run
rm -rf "$work" && mkdir -p "$work"
trap e2e_end EXIT

standin=${TANZO_STANDIN:-$build/bin/standin}
if [ "$standin" = off ]; then
  :
elif [ -x "$standin" ]; then
  # shellcheck disable=SC2086
  TANZO_STANDIN_LOG=${TANZO_STANDIN_LOG:-$build/standin.log} start_standin "$standin" ${TANZO_STANDIN_ARGS:-}
else
  echo "No stand-in controller at $standin; the program runs alone."
fi

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  "$program" "$@"
  exit $?
fi

start_xvfb
start_program "$program" "$@"
echo "Program output: $program_out"
await_window
/usr/bin/import -window root "$shot" && echo "Screenshot of the headless display: $shot"
xwininfo -id "$xid" | sed -n 's/^ *\(Width\|Height\): */window \1 /p'

if [ "$seconds" != 0 ]; then
  for _ in $(seq $((seconds * 10))); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.1; done
else
  while kill -0 "$program_pid" 2>/dev/null; do sleep 0.1; done
fi
e2e_stop "$program_pid" "$program_out" 0 "the program"
program_pid=''
[ -z "$e2e_report" ] || printf '%s\n' "$e2e_report"
echo "Programmer exited with status $e2e_status"
exit "$e2e_status"
