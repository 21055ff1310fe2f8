#!/usr/bin/env bash
# bench/language_start.sh [BUILD_DIR] [ROUNDS]: what a user language file costs the program's start,
# the program headless (dummy video and audio) in a private network namespace, over three user
# folders (tests/support/language_files.sh makes the files):
#   none     - no user language file
#   labels   - one file as full as its 256 KB bound allows of languages without phrases
#   phrases  - one such file of languages with one phrase of their own each
#   many     - a hundred copies of the labels file
#   factory  - the same hundred copies in Factory, beside User, the version file kept from a newer
#              program so that they are not replaced by the shipped files
#   names    - 1,000,000 names of one small language file in User
#   pipes    - 100,000 pipes named *.xml in User
#   shipped  - the shipped folder (TANZO_RESOURCES) of 10,000 small language files, the version
#              file removed before each start so that each copies them
# Prints, per folder, the medians of ROUNDS runs (default 3):
#   start    - start to "Broadcasting to:" (the device link is made once the languages are read)
#   window   - start to the first font opened for the window's areas
#   sigterm  - SIGTERM sent 0.1 s after start (while the languages are read) to the end of the
#              process
#   lines    - the log lines one start wrote
#   kbytes   - the log one start wrote
# TANZO_LANGUAGE_FOLDERS names the folders to time (default: all of them).
# BUILD_DIR defaults to build (the program is not built here); the folders are made once in
# $TMPDIR and removed at the end.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=program_start.sh
source "$root/bench/program_start.sh"
bench_begin "$0" "$@"
# shellcheck source=../tests/support/language_files.sh
source "$root/tests/support/language_files.sh"

for name in none labels phrases; do
  mkdir -p "$work/$name/Zevral/Common/Languages/User"
  [ $name = none ] || crafted_language_file $name "$work/$name/Zevral/Common/Languages/User/crafted.xml"
done
mkdir -p "$work/many/Zevral/Common/Languages/User"
for n in $(seq 100 199); do
  cp "$work/labels/Zevral/Common/Languages/User/crafted.xml" "$work/many/Zevral/Common/Languages/User/crafted$n.xml"
done

mkdir -p "$work/factory/Zevral/Common/Languages"
cp -r "$work/many/Zevral/Common/Languages/User" "$work/factory/Zevral/Common/Languages/Factory"
printf '999.0.0' >"$work/factory/Zevral/Common/Languages/version.txt"

small='<show><languages><language label="Small"><p ref="Cancel">Cancel</p></language></languages></show>'
mkdir -p "$work/names/Zevral/Common/Languages/User" "$work/pipes/Zevral/Common/Languages/User"
# Twenty files of 50,000 names each: a file takes at most 65,000.
for n in $(seq 0 19); do printf '%s\n' "$small" >"$work/small$n.xml"; done
perl -e 'for (0 .. 999999) { link("$ARGV[0]/small" . $_ % 20 . ".xml", sprintf("%s/l%07d.xml", $ARGV[1], $_)) or die $! }' \
  "$work" "$work/names/Zevral/Common/Languages/User"
seq -f "$work/pipes/Zevral/Common/Languages/User/p%06g.xml" 100000 | xargs mkfifo
# The shipped resources, but for a languages folder of 10,000 files of their own.
mkdir -p "$work/resources"
for entry in "$build/Resources"/*; do
  [ "$(basename "$entry")" = languages ] || ln -s "$entry" "$work/resources/"
done
mkdir -p "$work/resources/languages" "$work/shipped"
for n in $(seq 10000 19999); do printf '%s\n' "$small" >"$work/resources/languages/l$n.xml"; done
sync

printf '%-9s %9s %9s %11s %9s %9s\n' folder start_ms window_ms sigterm_ms lines kbytes
for name in ${TANZO_LANGUAGE_FOLDERS:-none labels phrases many factory names pipes shipped}; do
  : >"$work/start" && : >"$work/window" && : >"$work/sigterm" && : >"$work/lines" && : >"$work/bytes"
  unset TANZO_RESOURCES
  [ $name = shipped ] && export TANZO_RESOURCES=$work/resources
  for _ in $(seq "$rounds"); do
    rm -f "$work/shipped/Zevral/Common/Languages/version.txt"
    start "$name"
    await_output 'Broadcasting to:' >>"$work/start"
    await_output TTF_OpenFont >>"$work/window"
    sleep 0.5
    stop >/dev/null
    cat "$work/$name"/Zevral/Programmer/Logs/*.txt | wc -l >>"$work/lines"
    echo $(($(cat "$work/$name"/Zevral/Programmer/Logs/*.txt | wc -c) / 1024)) >>"$work/bytes"
    rm -f "$work/shipped/Zevral/Common/Languages/version.txt"
    start "$name"
    sleep 0.1
    stop >>"$work/sigterm"
  done
  printf '%-9s %9s %9s %11s %9s %9s\n' "$name" "$(median <"$work/start")" "$(median <"$work/window")" \
    "$(median <"$work/sigterm")" \
    "$(median <"$work/lines")" "$(median <"$work/bytes")"
done
