#!/usr/bin/env bash
# Whole-program runs: app_run.sh MODE PROGRAM WORKDIR [CLOSER]
#   smoke  - no display (dummy video): starts, runs, and exits 0 on SIGTERM
#   bogus  - a video driver that does not exist: says why on standard output and exits 1
#   nodisplay - no X server, no Wayland and no driver chosen: the same, where SDL would draw
#            into a window nobody sees (skipped where a console display could answer)
#   xvfb   - on a private X server: a 768 x 1024 window "Tanzo Programmer", exit 0 on SIGTERM,
#            and exit 0 when the window is closed (CLOSER asks it to, as a window manager would)
#   twice  - two instances on one data folder, started at once and then a second apart: each
#            keeps a log file of its own, whole
set -euo pipefail
mode=$1 program=$2 closer=${4:-}
# shellcheck source=../support/e2e.sh
source "$(dirname "$0")/../support/e2e.sh"
e2e_private_namespace "$0" "$@"
e2e_begin "$3"

# The run's log file, without its time stamps: the only one, or the one given.
log_lines() {  # [FILE]
  local files=("$work"/home/Zevral/Programmer/Logs/*.txt)
  [ $# -eq 1 ] && files=("$1")
  [ ${#files[@]} -eq 1 ] && [ -f "${files[0]}" ] || return 1
  sed 's/^\[[0-9:]*\] //' "${files[0]}"
}
# Each pattern must match a later line than the one before.
expect_in_order() {
  local text=$1 rest=$1 pattern n
  shift
  for pattern in "$@"; do
    n=$(grep -n -m 1 -e "$pattern" <<<"$rest" | cut -d: -f1) || true
    [ -n "$n" ] || { echo "$text" | sed 's/^/  log| /'; fail "log lacks (in order): $pattern"; }
    rest=$(tail -n +$((n + 1)) <<<"$rest")
  done
}

case $mode in
smoke)
  export SDL_VIDEODRIVER=dummy
  start_program "$program"
  await_started
  stop_program
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
  if missing=$(grep -E 'Could not|Error loading|Failed|No common data' <<<"$lines"); then
    fail "missing resource: $missing"
  fi
  ;;

bogus | nodisplay)
  reason='ERROR SDL_Init: '
  if [ $mode = bogus ]; then
    export SDL_VIDEODRIVER=bogus
  else
    [ ! -e /dev/dri ] || { echo "PASS: $mode (skipped: /dev/dri may offer a display)"; exit 0; }
    unset SDL_VIDEODRIVER DISPLAY WAYLAND_DISPLAY
    reason='ERROR SDL_Init: no display: '
  fi
  start_program "$program"
  await_program_end 1
  grep -q "^$reason" "$program_out" || fail "no reason printed"
  lines=$(log_lines) || fail "expected exactly one log file"
  expect_in_order "$lines" '^\[Logger\] Open$' "^\\[App\\] $reason" '^\[Logger\] Close$'
  ;;

xvfb)
  start_xvfb
  start_program "$program"
  await_window
  size=$(xwininfo -id "$xid" | sed -n 's/^ *\(Width\|Height\): *//p' | tr '\n' x)
  [ "$size" = 768x1024x ] || fail "the window is ${size%x}"
  stop_program

  # Again, ended by closing its window. A close sent to a window that has gone since (SDL may
  # replace the first window by one suited to its renderer) is sent again to the one there is
  # then; a close that reached a window still there is never repeated.
  start_program "$program"
  await_window
  asked='' closed=''
  close_asked() {
    kill -0 "$program_pid" 2>/dev/null || return 0
    if [ -z "$asked" ] || ! xwininfo -id "$asked" >/dev/null 2>&1; then
      local id
      id=$(xdotool search --name '^Tanzo Programmer$' 2>/dev/null | head -n 1) || true
      if [ -n "$id" ] && "$closer" "$id" 2>/dev/null; then asked=$id closed=1; else asked=''; fi
    fi
    return 1
  }
  poll close_asked || true
  [ -n "$closed" ] || fail "could not ask the window to close"
  await_program_end 0
  ;;

twice)
  export SDL_VIDEODRIVER=dummy
  for apart in 0 1; do
    rm -rf "$work/home/Zevral/Programmer/Logs"
    start_program "$program"
    first_pid=$program_pid first_out=$program_out
    # The second start follows the first by the time the row names, not by a wait for anything.
    sleep $apart
    start_program "$program"
    await_started
    stop_program
    program_pid=$first_pid program_out=$first_out
    await_started
    stop_program
    files=("$work"/home/Zevral/Programmer/Logs/*.txt)
    [ ${#files[@]} -eq 2 ] || fail "$apart s apart: ${#files[@]} log file(s) for two instances"
    for file in "${files[@]}"; do
      lines=$(log_lines "$file")
      expect_in_order "$lines" '^\[Logger\] Open$' '^\[App\] Platform: Linux$' '^\[App\] debug counter = 1$'
      [ "$(tail -n 1 <<<"$lines")" = "[Logger] Close" ] || fail "$apart s apart: a log does not end with its close"
      [ "$(grep -c '^\[Logger\] Open$' <<<"$lines")" -eq 1 ] || fail "$apart s apart: a log holds another's lines"
    done
  done
  ;;

*)
  echo "unknown mode $mode"
  exit 2
  ;;
esac
echo "PASS: $mode"
