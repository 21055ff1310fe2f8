#!/usr/bin/env bash
# bench/log_folder_start.sh [BUILD_DIR] [ROUNDS]: what old log files cost the program's start, the
# program headless (dummy video and audio) in a private network namespace, over "Logs" folders of
# files of one line each, written 20 days before (all of them due to go):
#   none, 5000, 20000 - that many
# Prints, per folder, the medians of ROUNDS runs (default 3):
#   window  - start to the first font opened for the window's areas
#   at_window - the log files the folder holds then
#   after_5s  - and 5 s later, before SIGTERM
# TANZO_LOG_FOLDERS names the folders to time (default: all of them). BUILD_DIR defaults to build
# (the program is not built here); the folders are made in $TMPDIR and removed at the end.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=program_start.sh
source "$root/bench/program_start.sh"
bench_begin "$0" "$@"

# A fresh folder of old files for each run: a run removes them.
fill() {  # NAME FILES
  local logs=$work/$1/Zevral/Programmer/Logs i
  rm -rf "$logs" && mkdir -p "$logs"
  for ((i = 1; i <= $2; i++)); do echo '[09:00:00] [Logger] Open' >"$logs/old$i.txt"; done
  [ "$2" -eq 0 ] || find "$logs" -name '*.txt' -print0 | xargs -0 touch -d '20 days ago'
  sync
}
count() { find "$work/$1/Zevral/Programmer/Logs" -name '*.txt' | wc -l; }

printf '%-7s %9s %9s %9s\n' folder window_ms at_window after_5s
for name in ${TANZO_LOG_FOLDERS:-none 5000 20000}; do
  files=$name
  [ "$name" != none ] || files=0
  : >"$work/window" && : >"$work/at" && : >"$work/after"
  for _ in $(seq "$rounds"); do
    fill "$name" "$files"
    start "$name" keep-logs
    await_output TTF_OpenFont >>"$work/window"
    count "$name" >>"$work/at"
    sleep 5
    count "$name" >>"$work/after"
    stop >/dev/null
  done
  printf '%-7s %9s %9s %9s\n' "$name" "$(median <"$work/window")" "$(median <"$work/at")" "$(median <"$work/after")"
done
