#!/usr/bin/env bash
# Whole-program runs: app_run.sh MODE PROGRAM WORKDIR [CLOSER]
#   smoke  - no display (dummy video): starts, runs, and exits 0 on SIGTERM
#   bogus  - a video driver that does not exist: says why on standard output and exits non-zero
#   xvfb   - on a private X server: a 768 x 1024 window "Tanzo Programmer", exit 0 on SIGTERM,
#            and exit 0 when the window is closed (CLOSER asks it to, as a window manager would)
# The program broadcasts once its device link runs: only ever start this inside a private network
# namespace (ctest is run in one).
set -u
# shellcheck source=../support/program_run.sh
source "$(dirname "$0")/../support/program_run.sh"
mode=$1
program=$2
work=$3
rm -rf "$work"
mkdir -p "$work/home"
export XDG_DATA_HOME=$work/home
export TANZO_UPDATE_URL=
export SDL_AUDIODRIVER=dummy
# The renderer fallback is part of what is tested: no render driver is forced.
unset SDL_RENDER_DRIVER

fail() { echo "FAIL: $*"; [ -f "$work/out.txt" ] && sed 's/^/  | /' "$work/out.txt"; exit 1; }

# The run's log file, without its time stamps.
log_lines() {
  local files=("$work"/home/Zevral/Programmer/Logs/*.txt)
  [ ${#files[@]} -eq 1 ] && [ -f "${files[0]}" ] || return 1
  sed 's/^\[[0-9:]*\] //' "${files[0]}"
}
# Each pattern must match a later line than the one before.
expect_in_order() {
  local text=$1; shift
  local rest=$text
  for pattern in "$@"; do
    local n
    n=$(grep -n -m 1 -e "$pattern" <<<"$rest" | cut -d: -f1)
    [ -n "$n" ] || { echo "$text" | sed 's/^/  log| /'; fail "log lacks (in order): $pattern"; }
    rest=$(tail -n +$((n + 1)) <<<"$rest")
  done
}

case $mode in
smoke)
  SDL_VIDEODRIVER=dummy run_started_then_ended "$work/out.txt" "$program"
  rc=$?
  [ $rc -eq 0 ] || fail "exit status $rc after SIGTERM"
  lines=$(log_lines) || fail "expected exactly one log file"
  expect_in_order "$lines" '^\[Logger\] Open$' '^\[SkinManager\] ' '^\[GlyphManager\] ' \
    '^\[App\] Platform: Linux$' \
    "^\\[App\\] Number of logical CPU cores: $(getconf _NPROCESSORS_ONLN)$" '^\[App\] Binary path: /' \
    '^\[App\] Application Data path: ' '^\[App\] Common Data path: ' \
    '^\[App\] Resources Specific path: ' '^\[App\] Resources Shared path: ' \
    '^\[App\] 0 IP address found:$' '^\[AudioOutManager\] ' '^\[App\] debug counter = 1$'
  [ "$(tail -n 1 <<<"$lines")" = "[Logger] Close" ] || fail "the log does not end with its close"
  # The resources of the build tree are whole: every loader found its files and no lookup failed.
  expect_in_order "$lines" '^\[SkinManager\] Page "skin" loaded [1-9][0-9]* images' \
    '^\[GlyphManager\] Page "display" loaded [1-9][0-9]* images' \
    '^\[LanguageManager\] [1-9][0-9]* languages loaded$' '^\[AudioOutManager\] [1-9][0-9]* files loaded$'
  missing=$(grep -E 'Could not|Error loading|Failed|No common data' <<<"$lines") && fail "missing resource: $missing"
  ;;

bogus)
  SDL_VIDEODRIVER=bogus timeout -s KILL 10 "$program" >"$work/out.txt" 2>&1
  rc=$?
  [ $rc -ne 0 ] || fail "exit status 0 without video"
  [ $rc -ne 137 ] || fail "still running after 10 s without video"
  grep -q '^ERROR SDL_Init: ' "$work/out.txt" || fail "no reason printed"
  lines=$(log_lines) || fail "expected exactly one log file"
  expect_in_order "$lines" '^\[Logger\] Open$' '^\[App\] ERROR SDL_Init: ' '^\[Logger\] Close$'
  ;;

xvfb)
  unset SDL_VIDEODRIVER
  # On X the window system's GL stack is loaded and keeps some allocations to the end; its
  # libraries have no frame pointers, so the leak checker cannot even name them. Our own code is
  # leak-checked by the smoke run.
  export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0
  exec 3>"$work/display"
  # Only the namespace's own abstract socket: display lock files are not shared reliably between
  # namespaces, and other tests start X servers of their own at the same time.
  Xvfb -displayfd 3 -screen 0 1024x1280x24 -nolisten tcp -nolisten unix >"$work/xvfb.txt" 2>&1 &
  xvfb=$!
  exec 3>&-
  trap 'kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null' EXIT
  # The waits below are deadlines only: each step takes a fraction of a second unless the machine
  # is very busy.
  for _ in $(seq 300); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || fail "Xvfb did not start"
  export DISPLAY=:$(head -n 1 "$work/display")

  "$program" >"$work/out.txt" 2>&1 &
  pid=$!
  info=""
  for _ in $(seq 300); do
    info=$(xwininfo -name "Tanzo Programmer" 2>/dev/null) && break
    kill -0 $pid 2>/dev/null || break
    sleep 0.1
  done
  [ -n "$info" ] || { kill -KILL $pid 2>/dev/null; fail "no window named Tanzo Programmer"; }
  width=$(sed -n 's/^ *Width: *//p' <<<"$info")
  height=$(sed -n 's/^ *Height: *//p' <<<"$info")
  [ "$width" = 768 ] && [ "$height" = 1024 ] || { kill -KILL $pid; fail "window is ${width}x$height"; }
  sleep 0.5
  kill -TERM $pid
  for _ in $(seq 300); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  if kill -0 $pid 2>/dev/null; then kill -KILL $pid; fail "still running 30 s after SIGTERM"; fi
  wait $pid
  rc=$?
  [ $rc -eq 0 ] || fail "exit status $rc after SIGTERM"

  # Again, ended by closing its window. SDL replaces the window it opened first by one that suits
  # its renderer, which on a busy machine can be a while after the first appeared: a close sent to
  # a window that has gone since is sent again to the one there is then. A close that reached a
  # window still there is never repeated.
  "$program" >"$work/out.txt" 2>&1 &
  pid=$!
  window_id() {
    xwininfo -name "Tanzo Programmer" 2>/dev/null | sed -n 's/^xwininfo: Window id: \(0x[0-9a-f]*\) .*/\1/p'
  }
  id=""
  for _ in $(seq 300); do
    id=$(window_id) && [ -n "$id" ] && break
    kill -0 $pid 2>/dev/null || break
    sleep 0.1
  done
  [ -n "$id" ] || { kill -KILL $pid 2>/dev/null; fail "no window to close"; }
  sleep 0.5
  asked=""
  closed=""
  for _ in $(seq 300); do
    kill -0 $pid 2>/dev/null || break
    if [ -z "$asked" ] || ! xwininfo -id "$asked" >/dev/null 2>&1; then
      id=$(window_id)
      if [ -n "$id" ] && "$4" "$id" 2>/dev/null; then asked=$id closed=1; else asked=""; fi
    fi
    sleep 0.1
  done
  [ -n "$closed" ] || { kill -KILL $pid 2>/dev/null; fail "could not ask the window to close"; }
  if kill -0 $pid 2>/dev/null; then kill -KILL $pid; fail "still running 30 s after its window was closed"; fi
  wait $pid
  rc=$?
  [ $rc -eq 0 ] || fail "exit status $rc after the window was closed"
  ;;

*)
  echo "unknown mode $mode"; exit 2 ;;
esac
echo "PASS: $mode"
