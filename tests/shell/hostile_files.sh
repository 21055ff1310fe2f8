#!/usr/bin/env bash
# The whole program starting over damaged and hostile files: hostile_files.sh PROGRAM WORKDIR
# Each row puts one kind of file in place of every file read at start (a show in the show list,
# options.xml, user.personality, a user language file, the languages' version.txt, and in a copy
# of the resources a shipped language file and the hints); the program must start, say in its
# log what it refused, still load the shipped languages and end with status 0 on SIGTERM. Under
# the sanitizer build the same run checks every read.
#   deep       - 80,000 nested elements (the parser recurses once per level)
#   truncated  - text that ends inside a UTF-8 character
#   oversized  - 100 MB (sparse) files
#   fifo       - named pipes (opened as files they wait for their other end), today's log too
#   folder     - folders, today's log too
#   unreadable - links to the reader's own memory, whose first read fails for anyone, root too
#   expanding  - files within their reader's size bound declared TSCII, behind a comment whose
#                every byte (0x82) is four characters, 12 bytes of UTF-8: past the bound as text
#   kana       - files of 16 KB declared EUC-JISX0213, of KA with the semi-voiced mark (two
#                characters of a byte pair), at which the C library's converter loses its place
#                once its output fills between the two: each reader decodes them whole
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
  fifo) rm -f "$2" && mkfifo "$2" ;;
  folder) rm -f "$2" && mkdir "$2" ;;
  unreadable) rm -f "$2" && ln -s /proc/self/mem "$2" ;;
  expanding)
    # Kilobytes of the comment: past the text bound of the reader (a show's 32 MB, which the list
    # reads as far as the reader, the library's 16 MB), within its size bound.
    local kb=200
    case ${2##*/} in hostile.show) kb=3000 ;; user.personality) kb=1500 ;; esac
    rm -f "$2"
    { printf '<?xml version="1.0" encoding="TSCII" ?>\n<!--'
      head -c $((kb * 1024)) /dev/zero | tr '\0' '\202'
      printf -- '-->\n<show/>\n'; } >"$2"
    ;;
  kana)
    rm -f "$2"
    { printf '<?xml version="1.0" encoding="EUC-JISX0213" ?>\n<show>'
      awk 'BEGIN { for (i = 0; i < 8000; i++) printf "\244\367" }'
      printf '</show>\n'; } >"$2"
    ;;
  esac
}

resources=$(cd "$(dirname "$program")/../Resources" && pwd)
for kind in deep truncated oversized fifo folder unreadable expanding kana; do
  dir=$work/$kind
  data=$dir/home/Zevral/Programmer
  common=$dir/home/Zevral/Common/Languages
  res=$dir/resources
  mkdir -p "$data/Logs" "$common/User"
  cp -rs "$resources" "$res"
  files=("$data/hostile.show" "$data/options.xml" "$data/user.personality" "$common/User/hostile.xml"
    "$common/version.txt")
  case $kind in
  expanding | kana) files+=("$res/languages/hostile.xml" "$res/explanations/explanations.xml") ;;
  fifo | folder | unreadable)
    files+=("$res/languages/hostile.xml" "$res/explanations/explanations.xml")
    # The log is written, never read: only what cannot take it at all is put in its place.
    [ $kind = unreadable ] || hostile $kind "$data/Logs/$(date +%Y%m%d)001.txt"
    ;;
  esac
  for file in "${files[@]}"; do
    hostile $kind "$file"
  done
  XDG_DATA_HOME=$dir/home TANZO_RESOURCES=$res start_program "$program"
  await_started
  stop_program
  log=$(find "$data/Logs" -name '*.txt' -type f | head -n 1)
  [ -n "$log" ] || fail_row "no log"
  grep -q '\[LanguageManager\] [3-9] languages loaded' "$log" || fail_row "the shipped languages did not load"
  [ "$(tail -n 1 "$log" | sed 's/^\[[0-9:]*\] //')" = "[Logger] Close" ] || fail_row "the log does not end with its close"
  case $kind in
  deep) expected="nests its elements deeper than 64 levels" ;;
  oversized) expected="is larger than" ;;
  truncated | kana) expected= ;;
  fifo | folder) expected="is not a regular file" ;;
  unreadable) expected="cannot be read|Failed to copy" ;;
  expanding) expected="decodes to more than" ;;
  esac
  case $kind in
  deep | oversized)
    # The show list reads a show's root tag only: a show is refused there for its size alone.
    refused=(user.personality hostile.xml)
    [ $kind = deep ] || refused+=(hostile.show)
    for file in "${refused[@]}"; do
      grep -q "Not read: \".*/$file\" $expected" "$log" || fail_row "no refusal of $file in the log"
    done
    grep -q "\[Options\] .*/options.xml could not be read (it $expected" "$log" || fail_row "no refusal of options.xml in the log"
    ;;
  kana) ! grep -q "is not in its encoding" "$log" || fail_row "a reader refused genuine kana" ;;
  fifo | folder | unreadable | expanding)
    for file in "${files[@]}"; do
      if [ $kind = expanding ]; then
        # A shipped language file is read as copied; the version file is no XML. The show list
        # reads a show as far as the reader does, beside the window, which SIGTERM does not wait
        # for: the show is refused there only once its 32 MB of text are decoded.
        [ "$file" != "$res/languages/hostile.xml" ] || file=$common/Factory/hostile.xml
        [ "${file##*/}" != version.txt ] && [ "${file##*/}" != hostile.show ] || continue
      fi
      grep -F "$file" "$log" | grep -qE "$expected" || fail_row "no refusal of $file in the log"
    done
    # Left as it was: never written over, nor swept away by a save.
    case $kind in
    fifo) [ -p "$data/options.xml" ] || fail_row "options.xml was replaced" ;;
    folder) [ -d "$data/options.xml" ] || fail_row "options.xml was replaced" ;;
    esac
    ;;
  esac
done
echo "hostile files: every row started, refused what it must and ended with status 0"
