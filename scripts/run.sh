#!/usr/bin/env bash
# Builds the program and starts it inside a private network namespace, where its discovery
# broadcasts reach nothing but what runs beside it.
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
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; }
trap cleanup EXIT

# A hook for what runs beside the program in the namespace (the stand-in controller).
if [ -f "$root/scripts/run-beside.sh" ]; then
  # shellcheck source=/dev/null
  source "$root/scripts/run-beside.sh"
fi

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  "$program" "$@"
  exit $?
fi

# The X server listens only on the private namespace's abstract socket, so it can neither clash
# with nor be reached from another display on the machine.
displayfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x1280x24 -nolisten tcp -nolisten unix 3>"$displayfile" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.1; done
export DISPLAY=:$(head -n 1 "$displayfile")
rm -f "$displayfile"
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

"$program" "$@" &
program_pid=$!
if xid=$(timeout 20 xdotool search --sync --name '^Tanzo Programmer$' 2>/dev/null | head -n 1) && [ -n "$xid" ]; then
  sleep 2
  /usr/bin/import -window root "$shot" && echo "Screenshot of the headless display: $shot"
  xwininfo -id "$xid" | sed -n 's/^ *\(Width\|Height\): */window \1 /p'
else
  echo "The program opened no window."
fi

if [ "$seconds" != 0 ]; then
  for _ in $(seq $((seconds * 10))); do kill -0 $program_pid 2>/dev/null || break; sleep 0.1; done
  kill -TERM $program_pid 2>/dev/null || true
fi
set +e
wait $program_pid
rc=$?
set -e
echo "Programmer exited with status $rc"
exit $rc
