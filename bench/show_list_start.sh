#!/usr/bin/env bash
# bench/show_list_start.sh [BUILD_DIR] [ROUNDS]: what the show list costs the program's start, over
# data folders, the program headless (dummy video and audio) in a private network namespace.
#   empty    - no shows at all, what every other folder is held against
#   plain    - 500 shows as the program writes them
#   plain5k  - 5,000 shows as the program writes them, every one of them listed
#   comments - 490 shows, 75 of them behind a 2 MB comment before the root element
#   prologs  - 10 shows, each behind a 31 MB comment before the root element
#   comments50 - 50 shows, each behind 199,990 empty comments (1.4 MB)
#   attr50, attr200 - 50 and 200 shows whose root tag holds an attribute of 1,000,000 bytes
#   tscii50  - 50 shows, each behind a comment of 4 MB declared TSCII, in which every byte (0x82)
#              is four characters, 12 bytes of UTF-8
#   utf7_50  - 50 shows, each behind a comment of 4 MB declared UTF-7, the encoding the C library
#              converts slowest for each character
#   win400   - 400 shows, each behind a comment of 4 MB declared Windows-1252, in which every byte
#              (0xE9) is two bytes of UTF-8
#   xml100k  - 500 shows beside 100,000 tiny shows of the main product named *.xml
#   fifo100k - 500 shows beside 100,000 pipes named *.show
#   reach8k  - as many names as the list reads, 4,096 *.show and 4,096 *.xml, of one show whose
#              root stands behind a 5 MB comment, past the list's first glance
#   far3k    - 3,000 shows behind a 4 MB comment, each read whole as OPEN reads it, and a show as the
#              program writes it
#   left100k - 500 shows beside 100,000 files left by saves cut short (of a writer long gone),
#              made again before each start
#   chain100k - 500 shows beside 100,000 links, each through a chain of 39 more to a show that is
#              not there
#   largest22 - 22 copies of the largest show a user makes as the program writes it (14 MB), a
#              small show after them and a show of the main product: every one listed as it opens
#   ibm933x8 - eight shows of 31.5 MB in IBM933 (EBCDIC, Korean in every cue's label), each opened
#              whole, and checked whole by the list, some 0.9 s each
# Prints, per folder, the medians of ROUNDS runs (default 3):
#   window   - start to the first font opened for the window's areas, which are made once the model
#              (and with it the show list) is
#   sigterm  - SIGTERM sent 0.1 s after start (while the list is read) to the end of the process;
#              TANZO_SHOW_LIST_SIGTERM_AFTER lists other times to send it at, in seconds, each timed
#              every round (sigterm_max: the slowest end of all)
#   idle     - SIGTERM sent once the window's areas are made to the end of the process
#   peak     - the process's peak resident memory, read once it is up
#   lines    - the log lines that start wrote
# TANZO_SHOW_LIST_FOLDERS names the folders to time (default: all of them).
# BUILD_DIR defaults to build (the program is not built here); the folders are made once in
# $TMPDIR and removed at the end.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=program_start.sh
source "$root/bench/program_start.sh"
bench_begin "$0" "$@"

plain_show='<?xml version="1.0" encoding="UTF-8" standalone="no" ?>
<show application="Tanzo" version="1.7.0"><system><host><os>Linux</os></host><device /></system><fixtures /><playbacks /></show>'
# A comment of MB megabytes in lines of 64 characters.
comment() {  # MB
  printf '<?xml version="1.0" encoding="UTF-8" standalone="no" ?>\n<!--\n'
  awk -v n=$(($1 * 16384)) 'BEGIN { line = sprintf("%63s", ""); gsub(/ /, "x", line); for (i = 0; i < n; i++) print line }'
  printf -- '-->\n'
}
make_folder() {  # NAME SHOWS LONG MB
  local data=$work/$1/Zevral/Programmer i
  mkdir -p "$data"
  comment "$4" >"$work/prolog"
  for i in $(seq 1 "$2"); do
    if [ "$i" -le "$3" ]; then
      { cat "$work/prolog"; sed 1d <<<"$plain_show"; } >"$data/show$i.show"
    else
      printf '%s\n' "$plain_show" >"$data/show$i.show"
    fi
  done
}
mkdir -p "$work/empty/Zevral/Programmer"
make_folder plain 500 0 0
make_folder plain5k 5000 0 0
make_folder comments 490 75 2
make_folder prologs 10 10 31
# Shows of a crafted start: the start (all before the root's attributes) given, then the plain show.
make_crafted() {  # NAME SHOWS START
  local data=$work/$1/Zevral/Programmer i
  mkdir -p "$data"
  { printf '%s' "$3"; sed -n 's/^<show application="Tanzo" version="1.7.0">/>/p' <<<"$plain_show"; } >"$work/crafted"
  for i in $(seq 1 "$2"); do cp "$work/crafted" "$data/show$i.show"; done
}
make_crafted comments50 50 "$(printf '<?xml version="1.0" encoding="UTF-8" standalone="no" ?>\n'
  awk 'BEGIN { for (i = 0; i < 199990; i++) printf "<!---->" }'
  printf '\n<show application="Tanzo" version="1.7.0"')"
attribute=$(printf '<show application="Tanzo" version="1.7.0" label="'
  awk 'BEGIN { s = sprintf("%1000s", ""); gsub(/ /, "x", s); for (i = 0; i < 1000; i++) printf "%s", s }'
  printf '"')
make_crafted attr50 50 "$attribute"
make_crafted attr200 200 "$attribute"
make_crafted tscii50 50 "$(printf '<?xml version="1.0" encoding="TSCII" standalone="no" ?>\n<!--'
  head -c $((4 * 1024 * 1024 - 1024)) /dev/zero | tr '\0' '\202'
  printf -- '-->\n<show application="Tanzo" version="1.7.0"')"
make_crafted utf7_50 50 "$(printf '<?xml version="1.0" encoding="UTF-7" standalone="no" ?>\n<!--'
  head -c $((4 * 1024 * 1024 - 1024)) /dev/zero | tr '\0' x
  printf -- '-->\n<show application="Tanzo" version="1.7.0"')"
make_crafted win400 400 "$(printf '<?xml version="1.0" encoding="windows-1252" standalone="no" ?>\n<!--'
  head -c $((4 * 1024 * 1024 - 1024)) /dev/zero | tr '\0' '\351'
  printf -- '-->\n<show application="Tanzo" version="1.7.0"')"
# Folders of many entries beside the plain shows: names of a few files (a file takes at most
# 65,000), or pipes.
for name in xml100k fifo100k; do cp -r "$work/plain" "$work/$name"; done
printf '<show application="Lumivo"/>\n' >"$work/tiny.xml"
for n in 0 1; do cp "$work/tiny.xml" "$work/tiny$n.xml"; done
perl -e 'for (0 .. 99999) { link("$ARGV[0]/tiny" . $_ % 2 . ".xml", sprintf("%s/m%06d.xml", $ARGV[1], $_)) or die $! }' \
  "$work" "$work/xml100k/Zevral/Programmer"
seq -f "$work/fifo100k/Zevral/Programmer/p%06g.show" 100000 | xargs mkfifo
mkdir -p "$work/reach8k/Zevral/Programmer"
{ comment 5; sed 1d <<<"$plain_show"; } >"$work/far.show"
perl -e 'for (0 .. 8191) { link($ARGV[0], sprintf("%s/r%04d.%s", $ARGV[1], $_ % 4096, $_ < 4096 ? "show" : "xml")) or die $! }' \
  "$work/far.show" "$work/reach8k/Zevral/Programmer"
mkdir -p "$work/far3k/Zevral/Programmer"
{ comment 4; sed 1d <<<"$plain_show"; } >"$work/far4.show"
perl -e 'for (0 .. 2999) { link($ARGV[0], sprintf("%s/f%04d.show", $ARGV[1], $_)) or die $! }' \
  "$work/far4.show" "$work/far3k/Zevral/Programmer"
printf '%s\n' "$plain_show" >"$work/far3k/Zevral/Programmer/plain.show"
cp -r "$work/plain" "$work/left100k"
for n in 0 1; do printf '%s\n' "$plain_show" >"$work/left$n"; done
# Makes the leftovers again (those a start left stay): names of two files, a process id above any
# the system gives.
leftovers() {
  perl -e 'for (0 .. 99999) { link("$ARGV[0]/left" . $_ % 2,
    sprintf("%s/.s%05d.show.tanzo-partial-2147483000-Q1w2E3", $ARGV[1], $_)) or $!{EEXIST} or die $! }' \
    "$work" "$work/left100k/Zevral/Programmer"
}
cp -r "$work/plain" "$work/chain100k"
(
  cd "$work/chain100k/Zevral/Programmer"
  ln -s gone.show c1
  for n in $(seq 2 39); do ln -s "c$((n - 1))" "c$n"; done
  perl -e 'for (0 .. 99999) { symlink("c39", sprintf("l%05d.show", $_)) or die $! }'
)
# The largest show a user makes, as the program writes it: 64 playbacks of 48 cues, each of four
# blocks of 800 bytes (some 14 MB). LABEL, where given, stands before each cue's label; ENCODING is
# the one declared (default UTF-8).
largest_show() {  # [LABEL] [ENCODING]
  awk -v extra="${1:-}" -v encoding="${2:-UTF-8}" 'BEGIN {
    block = sprintf("%1064s", ""); gsub(/ /, "A", block); block = block "AA=="
    printf "<?xml version=\"1.0\" encoding=\"%s\" standalone=\"no\" ?>\n", encoding
    print "<show application=\"Tanzo\" version=\"1.7.0\">"
    print "    <system>\n        <host>\n            <os>Linux</os>\n        </host>\n        <device />\n    </system>"
    print "    <fixtures />\n    <playbacks>"
    for (p = 0; p < 64; p++) {
      printf "        <playback index=\"%d\" label=\"Look %d\" intensity=\"0.5\" gomode=\"Toggle\">\n            <cues>\n", p, p
      for (c = 1; c <= 48; c++) {
        printf "                <cue label=\"%sCue %d\" fade=\"2s\" delay=\"1s\" condition=\"Follow\">\n", extra, c
        print "                    <blocks>"
        for (b = 0; b < 4; b++) print "                        <block>" block "</block>"
        print "                    </blocks>\n                </cue>"
      }
      print "            </cues>\n        </playback>"
    }
    print "    </playbacks>\n</show>"
  }'
}
mkdir -p "$work/largest22/Zevral/Programmer"
(
  cd "$work/largest22/Zevral/Programmer"
  largest_show >large00.show
  for n in $(seq -w 1 21); do ln large00.show "large$n.show"; done
  printf '%s\n' "$plain_show" >small.show
  printf '<show application="Lumivo"><playbacks><buttons/></playbacks></show>\n' >main.xml
)
# 150 Korean letters and 5,856 bytes of ASCII before each cue's label: 31.5 MB of IBM933 that
# decode to just under the 32 MB of text a show may have.
mkdir -p "$work/ibm933x8/Zevral/Programmer"
korean=$(awk 'BEGIN { for (i = 0; i < 150; i++) printf "\352\260\200" }')
largest_show "$korean $(printf '%5856s' '' | tr ' ' x) " IBM933 | iconv -f UTF-8 -t IBM933 \
  >"$work/ibm933x8/Zevral/Programmer/show1.show"
for n in 2 3 4 5 6 7 8; do
  cp "$work/ibm933x8/Zevral/Programmer/show1.show" "$work/ibm933x8/Zevral/Programmer/show$n.show"
done
sync
# Made 3 s before the first start, as a user's folder has settled.
sleep 3

printf '%-10s %9s %9s %9s %9s %9s %9s\n' folder window_ms sigterm_ms sigterm_max idle_ms peak_mb lines
for name in ${TANZO_SHOW_LIST_FOLDERS:-empty plain plain5k comments prologs comments50 attr50 attr200 tscii50 utf7_50 win400 xml100k fifo100k reach8k far3k left100k chain100k largest22 ibm933x8}; do
  : >"$work/window" && : >"$work/sigterm" && : >"$work/idle" && : >"$work/peak" && : >"$work/lines"
  for _ in $(seq "$rounds"); do
    [ "$name" != left100k ] || leftovers
    start "$name"
    # The first font opened: the window's areas are made once the model (and the show list) is.
    await_output TTF_OpenFont >>"$work/window"
    # Up: the areas are made and the main loop runs.
    sleep 0.5
    awk '$1 == "VmHWM:" { print int($2 / 1024) }' /proc/"$pid"/status >>"$work/peak"
    stop >>"$work/idle"
    cat "$work/$name"/Zevral/Programmer/Logs/*.txt | wc -l >>"$work/lines"
    for after in ${TANZO_SHOW_LIST_SIGTERM_AFTER:-0.1}; do
      [ "$name" != left100k ] || leftovers
      start "$name"
      sleep "$after"
      stop >>"$work/sigterm"
    done
  done
  printf '%-10s %9s %9s %9s %9s %9s %9s\n' "$name" "$(median <"$work/window")" "$(median <"$work/sigterm")" \
    "$(sort -n "$work/sigterm" | tail -1)" "$(median <"$work/idle")" "$(median <"$work/peak")" "$(median <"$work/lines")"
done
