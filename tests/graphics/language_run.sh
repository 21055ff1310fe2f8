#!/usr/bin/env bash
# language_run.sh PROGRAM WORKDIR: at its first start the program copies its language files into
# the user's common data folder and loads them without a missing phrase or file.
set -euo pipefail
program=$1
# shellcheck source=../support/e2e.sh
source "$(dirname "$0")/../support/e2e.sh"
e2e_private_namespace "$0" "$@"
e2e_begin "$2"
export SDL_VIDEODRIVER=dummy
languages=$work/home/Zevral/Common/Languages

start_program "$program"
await_started
stop_program
lines=$(sed -n 's/^\[[0-9:]*\] \[LanguageManager\] //p' "$work"/home/Zevral/Programmer/Logs/*.txt)
[ "$lines" = "Loading from \"$languages\""$'\n'"3 languages loaded" ] || fail "the languages logged: [$lines]"
[ "$(cat "$languages/version.txt")" = "1.7.0" ] || fail "version.txt: $(cat "$languages/version.txt")"
for file in english deutsch francais; do
  [ -f "$languages/Factory/$file.xml" ] || fail "Factory lacks $file.xml"
done
echo "PASS"
