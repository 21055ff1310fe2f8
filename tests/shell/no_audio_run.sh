#!/usr/bin/env bash
# no_audio_run.sh PROGRAM WORKDIR: the program started without a usable audio device says why,
# loads its clips all the same, keeps running and ends cleanly on SIGTERM.
# The program broadcasts once its device link runs: only ever start this inside a private network
# namespace (ctest is run in one).
set -u
# shellcheck source=../support/program_run.sh
source "$(dirname "$0")/../support/program_run.sh"
program=$1
work=$2
rm -rf "$work"
mkdir -p "$work/home"
export XDG_DATA_HOME=$work/home
export TANZO_UPDATE_URL=
export SDL_VIDEODRIVER=dummy
export SDL_AUDIODRIVER=bogus

fail() { echo "FAIL: $*"; sed 's/^/  | /' "$work/out.txt"; exit 1; }

run_started_then_ended "$work/out.txt" "$program"
rc=$?
[ $rc -eq 0 ] || fail "exit status $rc after SIGTERM"
grep -q '^Mix_OpenAudio: ' "$work/out.txt" || fail "the missing audio device was not reported"
log=$(cat "$work"/home/Zevral/Programmer/Logs/*.txt 2>/dev/null) || fail "no log written"
grep -q '\[AudioOutManager\] [1-9][0-9]* files loaded$' <<<"$log" || fail "the clips were not loaded"
grep -q '\[Logger\] Close$' <<<"$log" || fail "the log was not closed"
echo "PASS"
