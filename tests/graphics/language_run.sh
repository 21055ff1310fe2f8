#!/usr/bin/env bash
# language_run.sh PROGRAM WORKDIR: at its first start the program copies its language files into
# the user's common data folder and loads them without a missing phrase or file; a user file as
# costly as its bound allows adds a few lines to the log at each start.
set -euo pipefail
program=$1
# shellcheck source=../support/e2e.sh
source "$(dirname "$0")/../support/e2e.sh"
# shellcheck source=../support/language_files.sh
source "$(dirname "$0")/../support/language_files.sh"
e2e_private_namespace "$0" "$@"
e2e_begin "$2"
export SDL_VIDEODRIVER=dummy
languages=$work/home/Zevral/Common/Languages
logs=$work/home/Zevral/Programmer/Logs

start_program "$program"
await_started
stop_program
lines=$(sed -n 's/^\[[0-9:]*\] \[LanguageManager\] //p' "$logs"/*.txt)
[ "$lines" = "Loading from \"$languages\""$'\n'"3 languages loaded" ] || fail "the languages logged: [$lines]"
[ "$(cat "$languages/version.txt")" = "1.7.0" ] || fail "version.txt: $(cat "$languages/version.txt")"
for file in english deutsch francais; do
  [ -f "$languages/Factory/$file.xml" ] || fail "Factory lacks $file.xml"
done

for kind in labels phrases; do
  crafted_language_file $kind "$languages/User/crafted.xml"
  rm -rf "$logs"
  start_program "$program"
  await_started
  stop_program
  # Two lines of loading, twenty that name a language and a phrase it lacks, one sum.
  lines=$(cat "$logs"/*.txt | grep -c '\] \[LanguageManager\] ')
  [ "$lines" -eq 23 ] || fail "$kind: $lines lines of the languages logged"
  bytes=$(cat "$logs"/*.txt | wc -c)
  [ "$bytes" -le 1048576 ] || fail "$kind: $bytes bytes logged"
done
echo "PASS"
