#!/usr/bin/env bash
# no_audio_run.sh PROGRAM WORKDIR: the program started without a usable audio device says why,
# says that no clip could be loaded for it, keeps running and ends cleanly on SIGTERM.
set -euo pipefail
program=$1
# shellcheck source=../support/e2e.sh
source "$(dirname "$0")/../support/e2e.sh"
e2e_private_namespace "$0" "$@"
e2e_begin "$2"
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=bogus

start_program "$program"
await_started
stop_program
grep -q '^Mix_OpenAudio: ' "$program_out" || fail "the missing audio device was not reported"
log=$(cat "$work"/home/Zevral/Programmer/Logs/*.txt 2>/dev/null) || fail "no log written"
grep -q '\[AudioOutManager\] 0 files loaded$' <<<"$log" || fail "clips were counted as loaded without a device"
grep -q '\[Logger\] Close$' <<<"$log" || fail "the log was not closed"
echo "PASS"
