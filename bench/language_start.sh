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
# Prints, per folder, the medians of ROUNDS runs (default 3):
#   start    - start to "Broadcasting to:" (the device link is made once the languages are read)
#   sigterm  - SIGTERM sent 0.5 s after start to the end of the process
#   lines    - the log lines one start wrote
#   kbytes   - the log one start wrote
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

printf '%-9s %9s %11s %9s %9s\n' folder start_ms sigterm_ms lines kbytes
for name in none labels phrases many factory; do
  : >"$work/start" && : >"$work/sigterm" && : >"$work/lines" && : >"$work/bytes"
  for _ in $(seq "$rounds"); do
    start "$name"
    await_output 'Broadcasting to:' >>"$work/start"
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
