#!/usr/bin/env bash
# bench/show_list_start.sh [BUILD_DIR] [ROUNDS]: what the show list costs the program's start, over
# three data folders, the program headless (dummy video and audio) in a private network namespace.
#   plain    - 500 shows as the program writes them
#   comments - 490 shows, 75 of them behind a 2 MB comment before the root element
#   prologs  - 10 shows, each behind a 31 MB comment before the root element
# Prints, per folder, the medians of ROUNDS runs (default 3):
#   window   - start to the first font opened for the window's areas, which are made once the model
#              (and with it the show list) is
#   sigterm  - SIGTERM sent 0.1 s after start (while the list is read) to the end of the process
#   idle     - SIGTERM sent once the window's areas are made to the end of the process
#   peak     - the process's peak resident memory, read once it is up
# BUILD_DIR defaults to build (the program is not built here); the folders are made once in
# $TMPDIR and removed at the end.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=program_start.sh
source "$root/bench/program_start.sh"
bench_begin "$0" "$@"

plain_show='<?xml version="1.0" encoding="UTF-8" standalone="no" ?>
<show application="Tanzo" version="1.7.0"><system><host><os>Linux</os></host><device /></system><fixtures /><playbacks /></show>'
# A comment of MB megabytes in lines of 64 characters.
comment() {  # MB
  printf '<?xml version="1.0" encoding="UTF-8" standalone="no" ?>\n<!--\n'
  awk -v n=$(($1 * 16384)) 'BEGIN { line = sprintf("%63s", ""); gsub(/ /, "x", line); for (i = 0; i < n; i++) print line }'
  printf -- '-->\n'
}
make_folder() {  # NAME SHOWS LONG MB
  local data=$work/$1/Zevral/Programmer i
  mkdir -p "$data"
  comment "$4" >"$work/prolog"
  for i in $(seq 1 "$2"); do
    if [ "$i" -le "$3" ]; then
      { cat "$work/prolog"; sed 1d <<<"$plain_show"; } >"$data/show$i.show"
    else
      printf '%s\n' "$plain_show" >"$data/show$i.show"
    fi
  done
}
make_folder plain 500 0 0
make_folder comments 490 75 2
make_folder prologs 10 10 31
sync

printf '%-9s %9s %9s %9s %9s\n' folder window_ms sigterm_ms idle_ms peak_mb
for name in plain comments prologs; do
  : >"$work/window" && : >"$work/sigterm" && : >"$work/idle" && : >"$work/peak"
  for _ in $(seq "$rounds"); do
    start "$name"
    # The first font opened: the window's areas are made once the model (and the show list) is.
    await_output TTF_OpenFont >>"$work/window"
    # Up: the areas are made and the main loop runs.
    sleep 0.5
    awk '$1 == "VmHWM:" { print int($2 / 1024) }' /proc/"$pid"/status >>"$work/peak"
    stop >>"$work/idle"
    start "$name"
    sleep 0.1
    stop >>"$work/sigterm"
  done
  printf '%-9s %9s %9s %9s %9s\n' "$name" "$(median <"$work/window")" "$(median <"$work/sigterm")" \
    "$(median <"$work/idle")" "$(median <"$work/peak")"
done
