#!/usr/bin/env bash
# language_run.sh PROGRAM WORKDIR: at its first start the program copies its language files into
# the user's common data folder and loads them without a missing phrase or file.
# The program broadcasts once its device link runs: only ever start this inside a private network
# namespace (ctest is run in one).
set -u
# shellcheck source=../support/program_run.sh
source "$(dirname "$0")/../support/program_run.sh"
program=$1
work=$2
rm -rf "$work"
mkdir -p "$work/home"
export XDG_DATA_HOME=$work/home TANZO_UPDATE_URL= SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
languages=$work/home/Zevral/Common/Languages

fail() { echo "FAIL: $*"; sed 's/^/  | /' "$work/out.txt"; exit 1; }

run_started_then_ended "$work/out.txt" "$program" || fail "exit status $? after SIGTERM"
lines=$(sed -n 's/^\[[0-9:]*\] \[LanguageManager\] //p' "$work"/home/Zevral/Programmer/Logs/*.txt)
[ "$lines" = "Loading from \"$languages\""$'\n'"3 languages loaded" ] || fail "the languages logged: [$lines]"
[ "$(cat "$languages/version.txt")" = "1.7.0" ] || fail "version.txt: $(cat "$languages/version.txt")"
for file in english deutsch francais; do
  [ -f "$languages/Factory/$file.xml" ] || fail "Factory lacks $file.xml"
done
echo "PASS"
