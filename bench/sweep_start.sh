#!/usr/bin/env bash
# bench/sweep_start.sh [BUILD_DIR] [ROUNDS]: what the sweeps of files left by saves cut short cost
# the program's start, the program headless (dummy video and audio) in a private network namespace,
# over data folders of many names:
#   empty    - no shows at all, what every other folder is held against
#   names1m  - 1,000,000 files that are no shows
#   linked16 - 16 shows, each a link to a folder of its own that holds the show and 100,000 files
#              left by saves cut short (of a writer long gone), made again before each start
# Prints, per folder, the medians of ROUNDS runs (default 3):
#   window   - start to the first font opened for the window's areas, which are made once the model
#              (and with it both sweeps) is
#   sigterm  - SIGTERM sent 0.1 s after start (while the sweeps walk the folders) to the end of the
#              process
# TANZO_SWEEP_FOLDERS names the folders to time (default: all of them).
# BUILD_DIR defaults to build (the program is not built here); the folders are made once in
# $TMPDIR and removed at the end.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=program_start.sh
source "$root/bench/program_start.sh"
bench_begin "$0" "$@"

mkdir -p "$work/empty/Zevral/Programmer" "$work/names1m/Zevral/Programmer" "$work/linked16/Zevral/Programmer"
# Names of a few files: a file takes at most 65,000.
for n in $(seq 0 19); do printf 'x\n' >"$work/file$n"; done
for n in $(seq 0 39); do printf 'x\n' >"$work/left$n"; done
perl -e 'for (0 .. 999999) { link("$ARGV[0]/file" . $_ % 20, sprintf("%s/n%07d.txt", $ARGV[1], $_)) or die $! }' \
  "$work" "$work/names1m/Zevral/Programmer"
for n in $(seq 0 15); do
  mkdir -p "$work/linked16/shared$n"
  printf '<show application="Tanzo" version="1.7.0"/>\n' >"$work/linked16/shared$n/show.show"
  ln -s "../../shared$n/show.show" "$work/linked16/Zevral/Programmer/show$n.show"
done
# Makes the leftovers again (those a start removed): names of forty files, a process id above any the
# system gives.
leftovers() {
  perl -e 'for my $f (0 .. 15) { for (0 .. 99999) { link("$ARGV[0]/left" . $_ % 40,
    sprintf("%s/shared%d/.s%05d.show.tanzo-partial-2147483000-Q1w2E3", $ARGV[1], $f, $_)) or $!{EEXIST} or die $! } }' \
    "$work" "$work/linked16"
}
leftovers
sync

printf '%-9s %9s %9s\n' folder window_ms sigterm_ms
for name in ${TANZO_SWEEP_FOLDERS:-empty names1m linked16}; do
  : >"$work/window" && : >"$work/sigterm"
  for _ in $(seq "$rounds"); do
    [ "$name" != linked16 ] || leftovers
    start "$name"
    await_output TTF_OpenFont >>"$work/window"
    sleep 0.5
    stop >/dev/null
    [ "$name" != linked16 ] || leftovers
    start "$name"
    sleep 0.1
    stop >>"$work/sigterm"
  done
  printf '%-9s %9s %9s\n' "$name" "$(median <"$work/window")" "$(median <"$work/sigterm")"
done
