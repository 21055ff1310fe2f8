#!/usr/bin/env bash
# bench/language_start.sh [BUILD_DIR] [ROUNDS]: what a user language file costs the program's start,
# the program headless (dummy video and audio) in a private network namespace, over three user
# folders (tests/support/language_files.sh makes the files):
#   none     - no user language file
#   labels   - one file as full as its 256 KB bound allows of languages without phrases
#   phrases  - one such file of languages with one phrase of their own each
# Prints, per folder, the medians of ROUNDS runs (default 3):
#   start    - start to "Broadcasting to:" (the device link is made once the languages are read)
#   sigterm  - SIGTERM sent 0.5 s after start to the end of the process
#   lines    - the log lines one start wrote
#   kbytes   - the log one start wrote
# BUILD_DIR defaults to build (the program is not built here); the folders are made once in
# $TMPDIR and removed at the end.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
rounds=${2:-3}
case $build in /*) ;; *) build=$root/$build ;; esac
program=$build/bin/Programmer
[ -x "$program" ] || { echo "no program at $program" >&2; exit 1; }

if [ "${TANZO_LANGUAGE_NETNS:-}" != 1 ]; then
  export TANZO_LANGUAGE_NETNS=1
  exec bash "$root/scripts/netns.sh" bash "$0" "$build" "$rounds"
fi
# shellcheck source=../tests/support/language_files.sh
source "$root/tests/support/language_files.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export SDL_VIDEODRIVER=dummy SDL_RENDER_DRIVER=software SDL_AUDIODRIVER=dummy TANZO_UPDATE_URL=
for name in none labels phrases; do
  mkdir -p "$work/$name/Zevral/Common/Languages/User"
  [ $name = none ] || crafted_language_file $name "$work/$name/Zevral/Common/Languages/User/crafted.xml"
done

now_ms() { echo $(($(date +%s%N) / 1000000)); }
# Starts the program over the folder, its log emptied; sets pid, started and out.
start() {  # NAME
  out=$work/out.txt
  rm -rf "$work/$1/Zevral/Programmer/Logs"
  started=$(now_ms)
  XDG_DATA_HOME=$work/$1 stdbuf -oL "$program" >"$out" 2>&1 &
  pid=$!
}
await_broadcast() {
  until grep -q '^Broadcasting to:' "$out" 2>/dev/null; do
    kill -0 "$pid" 2>/dev/null || { echo "the program ended at start" >&2; cat "$out" >&2; exit 1; }
    sleep 0.005
  done
  echo $(($(now_ms) - started))
}
# Sends SIGTERM and prints the milliseconds until the process has ended.
stop() {
  local sent
  sent=$(now_ms)
  kill -TERM "$pid"
  wait "$pid" || { echo "the program ended with status $?" >&2; exit 1; }
  echo $(($(now_ms) - sent))
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

printf '%-9s %9s %11s %9s %9s\n' folder start_ms sigterm_ms lines kbytes
for name in none labels phrases; do
  : >"$work/start" && : >"$work/sigterm" && : >"$work/lines" && : >"$work/bytes"
  for _ in $(seq "$rounds"); do
    start "$name"
    await_broadcast >>"$work/start"
    sleep 0.5
    stop >/dev/null
    cat "$work/$name"/Zevral/Programmer/Logs/*.txt | wc -l >>"$work/lines"
    echo $(($(cat "$work/$name"/Zevral/Programmer/Logs/*.txt | wc -c) / 1024)) >>"$work/bytes"
    start "$name"
    sleep 0.5
    stop >>"$work/sigterm"
  done
  printf '%-9s %9s %11s %9s %9s\n' "$name" "$(median <"$work/start")" "$(median <"$work/sigterm")" \
    "$(median <"$work/lines")" "$(median <"$work/bytes")"
done
