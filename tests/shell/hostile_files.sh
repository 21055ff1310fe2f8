#!/usr/bin/env bash
# The whole program starting over damaged and hostile files: hostile_files.sh PROGRAM WORKDIR
# Each row puts one kind of file in place of every file read at start (a show in the show list,
# options.xml, user.personality, a user language file, the languages' version.txt); the program
# must start, say in its log what it refused, still load the shipped languages and end with
# status 0 on SIGTERM. Under the sanitizer build the same run checks every read.
#   deep      - 80,000 nested elements (the parser recurses once per level)
#   truncated - text that ends inside a UTF-8 character
#   oversized - 100 MB (sparse) files
set -euo pipefail
program=$1
# shellcheck source=../support/e2e.sh
source "$(dirname "$0")/../support/e2e.sh"
e2e_private_namespace "$0" "$@"
e2e_begin "$2"
export SDL_VIDEODRIVER=dummy

# Fails the row, with the log of its run.
fail_row() {
  sed 's/^/  log| /' "$data"/Logs/*.txt 2>/dev/null | tail -n 40 || true
  fail "$kind: $*"
}

# KIND FILE: writes the file of the row's kind.
hostile() {
  case $1 in
  deep) { printf '<?xml version="1.0" ?>\n'; awk 'BEGIN { for (i = 0; i < 80000; i++) printf "<a>" }'; } >"$2" ;;
  truncated) printf '<?xml version="1.0" encoding="UTF-8" standalone="no" ?>\n<show application="Tanzo" label="B\xc3\xbchne \xe2\x82' >"$2" ;;
  oversized) truncate -s 100M "$2" ;;
  esac
}

for kind in deep truncated oversized; do
  dir=$work/$kind
  data=$dir/home/Zevral/Programmer
  common=$dir/home/Zevral/Common/Languages
  mkdir -p "$data" "$common/User"
  for file in "$data/hostile.show" "$data/options.xml" "$data/user.personality" "$common/User/hostile.xml" \
    "$common/version.txt"; do
    hostile $kind "$file"
  done
  XDG_DATA_HOME=$dir/home start_program "$program"
  await_started
  stop_program
  logs=("$data"/Logs/*.txt)
  [ -f "${logs[0]}" ] || fail_row "no log"
  log=${logs[0]}
  grep -q '\[LanguageManager\] [3-9] languages loaded' "$log" || fail_row "the shipped languages did not load"
  [ "$(tail -n 1 "$log" | sed 's/^\[[0-9:]*\] //')" = "[Logger] Close" ] || fail_row "the log does not end with its close"
  case $kind in
  deep) expected="nests its elements deeper than 64 levels" ;;
  oversized) expected="is larger than" ;;
  truncated) expected= ;;
  esac
  if [ -n "$expected" ]; then
    for file in hostile.show user.personality hostile.xml; do
      grep -q "Not read: \".*/$file\" $expected" "$log" || fail_row "no refusal of $file in the log"
    done
    grep -q "\[Options\] .*/options.xml could not be read (it $expected" "$log" || fail_row "no refusal of options.xml in the log"
  fi
done
echo "hostile files: every row started, refused what it must and ended with status 0"
