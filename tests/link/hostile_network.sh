#!/usr/bin/env bash
# The whole program beside the stand-in controller (private namespaces joined by a veth pair, as
# scripts/run.sh puts them) under hostile traffic sent from the controller's own address:
#   1. 3,000 forged discovery answers in 10 s, each naming a new unit: the program keeps running
#      with a bounded number of threads and says in its log that its list of units is full;
#   2. 20,000 bad frames a second, then 20,000 large datagrams a second: a label changed at the
#      controller still reaches the program, which reads it back, while each flood lasts;
#   3. 64 forged cue counts, each claiming 255 cues of another playback: the program asks for no
#      more than 48 cues' values each, and still reads back a label changed at the controller;
#   4. 64 forged cue counts a second for 30 s while FLASH 1 is clicked once a second, beside a
#      controller that answers at once, then for 30 s more beside one that answers 1 ms late: every
#      press and release reaches the controller, in order, and a label changed at the controller
#      (its notification) and a label and level told only as "everything changed" of their
#      playback (as after a swap) each reach the program within a second; the program grows by
#      no more than 10 MB over the minute;
#   5. the same with 48 cues on every playback and 64 forged "cue count changed" a second instead,
#      which the controller answers with the count as it was: the program sends the controller no
#      more for each than a genuine one asks (the count and the 384 values of the cues, 385
#      requests), and a swap of two playbacks at the controller, announced as it announces one
#      ("everything changed", then "cue count changed", of each), has the program read their cues'
#      labels within one pass over the cues (the controller answering no more than the 24,576
#      reads of every cue's values meanwhile; the flood keeps them all waiting);
#   6. the same with 96 forged notifications a second, 64 of them "cue count changed" and 32 of
#      other codes that lead to reads, timing the label and the "everything changed";
#   7. 20,000 well-formed replies a second with hostile values (huge counts, "everything
#      changed", long texts, NaN, random cue blocks): labels are still read back meanwhile.
# Then SIGTERM must end the program with status 0. The CPU time the program took under each
# flood, the time each label took to be read back and the memory the program grew by are printed
# for the record, and judged only where said.
#   hostile_network.sh SOURCE_DIR BINARY_DIR FLOOD_TOOL
set -euo pipefail
src=$1 bin=$2 flood=$3
# shellcheck source=../support/e2e.sh
source "$src/tests/support/e2e.sh"
e2e_private_namespace "$0" "$@"
e2e_begin "$bin/test-files/hostile_network"
start_standin "$bin/bin/standin"
start_xvfb
write_options english
start_program "$bin/bin/Programmer"
await_window

# Whether the program still runs and the condition holds: a program that ended fails the run.
running_and() {
  kill -0 "$program_pid" 2>/dev/null || fail "the program ended"
  "$@"
}
label_reads() { grep -c "^rx link .*manager=41:Playback command=5:GetLabel index=5," "$standin_log" || true; }
more_label_reads() { [ "$(label_reads)" -gt "$1" ]; }
# A label changed at the controller is announced to the program, which reads it back. The
# controller does not repeat an announcement, and a flood may crowd one out: the label is changed
# again every few seconds, for up to 30 s.
round_trip() {
  local before try start=${EPOCHREALTIME/./}
  before=$(label_reads)
  for try in $(seq 10); do
    standin_control playback 5 label "$1-$try" >/dev/null
    for _ in $(seq 30); do
      if running_and more_label_reads "$before"; then
        echo "$1: the label was read back $(((${EPOCHREALTIME/./} - start) / 1000)) ms after it changed"
        return 0
      fi
      sleep 0.02
    done
  done
  fail "the label was never read back after $1"
}
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$program_pid/stat"; }
memory_kb() { awk '/^VmRSS/ { print $2 }' "/proc/$program_pid/status"; }
cue_reads() { grep -c "^rx link .*manager=43:Cue" "$standin_log" || true; }
flooding() {  # KIND RATE SECONDS: in the background, from the controller's address
  nsenter --target "$standin_pid" --net -- "$flood" 192.168.77.1 16945 "$@" >"$work/flood-$1.txt" 2>&1 &
  flooder=$!
}
# The flood has ended, by itself, cleanly.
flooded() {  # KIND
  flood_ended() { ! kill -0 "$flooder" 2>/dev/null; }
  await "the $1 flood did not end" flood_ended
  stop_checked "$flooder" "$work/flood-$1.txt" "the $1 flood"
}

await "the program did not talk to the controller" running_and logged "^rx link"
round_trip calm

flooding answers 300 10
# The program's threads, counted five times a second while the flood lasts.
threads=0
while kill -0 "$flooder" 2>/dev/null; do
  count=$(ls "/proc/$program_pid/task" | wc -l)
  [ "$count" -gt "$threads" ] && threads=$count
  sleep 0.2
done
flooded answers
echo "forged answers: $(cat "$work/flood-answers.txt"); most threads seen: $threads"
[ "$threads" -le 90 ] || fail "$threads threads under forged answers"
round_trip after-answers

for kind in frames large; do
  before=$(cpu_ticks)
  flooding $kind 20000 6
  for n in 1 2 3; do round_trip "$kind-$n"; done
  flooded $kind
  echo "$kind: $(cat "$work/flood-$kind.txt"); the program took $(($(cpu_ticks) - before)) CPU ticks (100 a second) meanwhile"
done

reads=$(cue_reads) memory=$(memory_kb)
flooding counts 640 0.099
flooded counts
round_trip after-counts
await "the program kept asking for cues" steady_for_a_second cue_reads
reads=$(($(cue_reads) - reads))
echo "64 forged counts: $reads reads of cues; the program grew by $(($(memory_kb) - memory)) kB"
[ "$reads" -le $((64 * 48 * 8)) ] || fail "64 forged counts made the program ask $reads times for a cue's values"

# How long a change at the controller took to be read by the program: the command changes it, and
# each pattern names a read that must arrive since, within a second, or with "pass" within one
# pass over the cues (no more reads of cues answered meanwhile than the 24,576 values the cues
# hold, however long that takes the controller). Only what the stand-in logged since is looked
# at: under the flood its log grows by megabytes. The time runs from the change, made once the
# command has returned, to the read, which one follower of the log wakes for as it is written: on
# a loaded machine starting the command, or a process for each look at the log, took hundreds of
# milliseconds that were none of the program's.
read_within() {  # WHAT second|pass PATTERNS (extended, one a line) COMMAND...
  local what=$1 limit=$2 patterns=$3 start pattern size waited cues patience=10000 left found follower
  shift 3
  [ "$limit" = second ] || patience=120000
  size=$(stat -c %s "$standin_log")
  "$@" >/dev/null
  start=${EPOCHREALTIME/./}
  while read -r pattern; do
    left=$((patience - (${EPOCHREALTIME/./} - start) / 1000))
    found=0
    if [ $left -gt 0 ]; then
      printf -v left '%d.%03d' $((left / 1000)) $((left % 1000))
      exec {follower}< <(exec tail -s 0.01 -f -c +$((size + 1)) "$standin_log")
      timeout "$left" grep -m 1 -q -E -- "$pattern" <&$follower && found=1 waited=$(((${EPOCHREALTIME/./} - start) / 1000))
      kill $! 2>/dev/null || true
      exec {follower}<&-
    fi
    running_and true
    [ $found = 1 ] || fail "$what: no read $pattern within $((patience / 1000)) s"
  done <<<"$patterns"
  if [ "$limit" = second ]; then
    echo "$what: read $waited ms after it changed"
    [ $waited -le 1000 ] || fail "$what: read only $waited ms after it changed"
    return
  fi
  # Up to the line that answered the last of the reads, however late the log was looked at.
  cues=$(tail -c +$((size + 1)) "$standin_log" | awk -v patterns="$patterns" '
    BEGIN { n = split(patterns, pattern, "\n") }
    /^rx link .*manager=43:Cue/ { cues++ }
    { for (i = 1; i <= n; i++) if (!(i in seen) && $0 ~ pattern[i]) { seen[i] = 1; most = cues } }
    END { print most + 0 }')
  echo "$what: read $waited ms after it changed, $cues reads of cues meanwhile"
  [ "$cues" -le $((64 * 48 * 8)) ] || fail "$what: read only after $cues reads of cues, more than one pass"
}
# Commands run at the controller without a word to the program.
silently() {  # COMMAND... (each one argument)
  { standin_control notify-frames off && for command in "$@"; do eval "standin_control $command"; done &&
    standin_control notify-frames on; } >/dev/null
}
# A label changed at the controller (its notification), and a label and level of playback 9 told
# only as "everything changed" of it.
changes_read() {  # WHAT DELAY N
  sleep 2
  read_within "$1: the label of playback 7 ($2 ms late, $3)" second \
    "^rx link .*:Playback command=5:GetLabel index=7," standin_control playback 7 label "told-$2-$3"
  sleep 2
  silently "playback 9 label all-$2-$3" "playback 9 intensity 0.$3"
  read_within "$1: everything of playback 9 ($2 ms late, $3)" second \
    "$(printf '%s\n' "^rx link .*:Playback command=5:GetLabel index=9," "^rx link .*:Playback command=23:GetIntensity index=9,")" \
    standin_control notify 41 9 0 0 0
}
# Playbacks 20+2N and 21+2N, of 48 cues each, swap at the controller, whose answers must then give
# the program cue labels that it has not read before: those of the first cue of each, and of the
# last cue of the one it reads first, whichever that is. Beside a controller 1 ms late one pass
# over the cues takes about 26 s, as long as the flood: one swap is timed there.
swapped_playbacks='index=(2[2-9]|3[01]),'
swap_read() {  # WHAT DELAY N
  local a=$((20 + 2 * $3)) b=$((21 + 2 * $3)) tag="swap-$2-$3"
  [ "$2" = 0 ] || [ "$3" = 1 ] || return 0
  sleep 4
  silently "cue $a 0 label $tag-$a-0" "cue $a 47 label $tag-$a-47" "cue $b 0 label $tag-$b-0" \
    "cue $b 47 label $tag-$b-47"
  read_within "$1: the cues of playbacks $a and $b after a swap ($2 ms late)" pass \
    "$(printf '%s\n' "^tx link .*command=5:GetLabel index=$a,0,0 .*value=$tag-$b-0\$" \
      "^tx link .*command=5:GetLabel index=$b,0,0 .*value=$tag-$a-0\$" \
      "^tx link .*command=5:GetLabel index=($a,47,0 .*value=$tag-$b-47|$b,47,0 .*value=$tag-$a-47)\$")" \
    standin_control swap $a $b
}
# What the program asked of the controller since the log had the size given, but what the changes
# timed meanwhile ask for and FLASH 1.
requests_since() {  # SIZE
  tail -c +$(($1 + 1)) "$standin_log" | grep "^rx link " | grep -Ev "$swapped_playbacks|SetFlashDown" | wc -l
}
# A flood for 30 s beside a controller that answers at once, then for 30 s beside one that answers
# 1 ms late, while FLASH 1 is clicked once a second and changes at the controller are timed five
# times (PROBE WHAT DELAY N). With a limit, the requests for each forged datagram are judged: as
# the flood ends, since what the program asks after it only adds to the requests that may be
# asked.
flooded_while_changed() {  # KIND RATE WHAT PROBE [MOST-REQUESTS-EACH]
  local kind=$1 rate=$2 what=$3 probe=$4 most=${5:-} before memory delay n clicker grown presses size sent asked
  before=$(cpu_ticks) memory=$(memory_kb)
  mark
  for delay in 0 1; do
    standin_control delay $delay >/dev/null
    size=$(stat -c %s "$standin_log")
    flooding "$kind" "$rate" 30
    # FLASH 1, clicked with no hold time once a second.
    (while kill -0 "$flooder" 2>/dev/null; do xdotool mousemove --window "$xid" 58 987 click 1; sleep 1; done) &
    clicker=$!
    for n in 1 2 3 4 5; do "$probe" "$what" $delay $n; done
    flooded "$kind"
    wait $clicker
    sent=$(awk '{ print $1 }' "$work/flood-$kind.txt") asked=$(requests_since "$size")
    echo "$what ($delay ms late): $asked requests for $sent forged datagrams"
    [ -z "$most" ] || [ "$asked" -le $((most * sent)) ] ||
      fail "$what ($delay ms late): $asked requests for $sent forged datagrams, more than $most each"
  done
  standin_control delay 0 >/dev/null
  grown=$(($(memory_kb) - memory))
  presses=$(received Playback SetFlashDown 0)
  echo "$what and FLASH for 60 s: the program took $(($(cpu_ticks) - before)) CPU ticks and grew by $grown kB; $(wc -w <<<"$presses") presses and releases"
  [[ "$presses " =~ ^(true\ false\ )+$ ]] || fail "FLASH 1 reached the controller as '$presses' under $what"
  # A sanitizer's allocator keeps freed memory aside for a while: the growth is judged without one.
  # (ldd's whole output is read first: grep -q ending at the first match could cut ldd short, and
  # its broken pipe fail the test.)
  [[ $(ldd "$bin/bin/Programmer") =~ lib[at]san ]] || [ $grown -le 10240 ] ||
    fail "the program grew by $grown kB under $what and presses"
}
flooded_while_changed counts 64 "64 forged counts a second" changes_read
# Every playback holds a full list, which the program reads again for each "cue count changed",
# forged or not, as a genuine one asks: its count and the 384 values of its cues.
for p in $(seq 0 63); do standin_control playback "$p" count 48 >/dev/null; done
await "the program kept asking for cues" steady_for_a_second cue_reads
flooded_while_changed count-notifies 64 "64 forged count notifications a second" swap_read $((1 + 48 * 8))
flooded_while_changed notifies 96 "96 forged notifications a second" changes_read

before=$(cpu_ticks) memory=$(memory_kb)
flooding replies 20000 10
for n in 1 2 3; do round_trip "replies-$n"; done
flooded replies
echo "replies: $(cat "$work/flood-replies.txt"); the program took $(($(cpu_ticks) - before)) CPU ticks and grew by $(($(memory_kb) - memory)) kB meanwhile"
round_trip after-replies

stop_program
grep -q "\[DeviceManager\] The list of units is full" "$work"/home/Zevral/Programmer/Logs/*.txt ||
  fail "the full list of units is not in the log"
echo "hostile network: forged units and floods left the program running and answering"
