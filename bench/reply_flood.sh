#!/usr/bin/env bash
# bench/reply_flood.sh [BUILD_DIR] [RATE] [SECONDS] [CORE] [CUES] [BUSY] [KIND] [SENDER] [AFTER]: the whole
# program on one core (taskset) beside the stand-in controller of 64 playbacks of CUES cues (default
# 48), answering 1 ms late, while well-formed forged replies and
# notifications arrive from the controller's address at RATE a second (default 60,000) for SECONDS
# (default 60): the flood the link thread takes faster than the main thread can apply it.
# Private network namespaces and X server as the end-to-end tests make them (tests/support/e2e.sh).
# Prints:
#   grown    - the program's resident memory at the end of the flood less that 5 s into it
#   label    - for a label changed at the controller every 5 s, how long the program took to read it
#              back (the label is changed again after each 3 s without the read)
#   cue      - for the label of the last cue of playback 40 changed at the controller 5 s into the
#              flood, how long the program took to read it back, and how many reads of cues the
#              controller answered meanwhile (one pass over them all is 64 x CUES x 8; "never" when
#              the flood ended first)
#   changes  - of 14 labels of other playbacks, each changed once at the controller during the
#              flood, how many the program never read back by AFTER seconds after the flood, and
#              how long after the flood the last one read came back
#   sigterm  - SIGTERM sent AFTER seconds after the flood ends to the end of the process, and its
#              exit status
#   cpu      - the CPU time the program took under the flood
# CORE (default 0) is the core the program is held to; the stand-in and the flood run on others.
# BUSY (default 0) processes that only spin share that core, as on a slower machine. A build with a
# sanitizer is run the same way (ASan: a lower RATE, as its allocator is slower). KIND (default
# replies) is the flood of datagram_flood: "unasked" leaves out its notifications, whose reads
# keep a controller 1 ms late busy whatever the program does; "bytes" is datagrams of one byte;
# "cue-reads" (single reads of every cue value in turn) and "pairs" ("everything changed" and "cue
# count changed" of each playback) are notifications alone, and want a lower RATE (2,000 or 10,000;
# 128 for 64 pairs).
# SENDER (default controller) is where the flood comes from: "controller" sends from the
# controller's address, "local" from an unprivileged process on the program's own machine, to
# its loopback. AFTER (default 0) is how long the program runs on once the flood has ended.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
rate=${2:-60000}
seconds=${3:-60}
core=${4:-0}
cues=${5:-48}
busy=${6:-0}
kind=${7:-replies}
sender=${8:-controller}
after=${9:-0}
# One sender cannot keep 60,000 a second: several share the rate, each sending the flood from its
# start. Below 20,000 a second one sender does, so that a flood of targets in turn names each once.
senders=3
[ "$rate" -ge 20000 ] || senders=1
case $build in /*) ;; *) build=$root/$build ;; esac
flood=$build/tests/datagram_flood
[ -x "$flood" ] || { echo "no flood tool at $flood" >&2; exit 1; }
# shellcheck source=../tests/support/e2e.sh
source "$root/tests/support/e2e.sh"
e2e_private_namespace "$0" "$build" "$rate" "$seconds" "$core" "$cues" "$busy" "$kind" "$sender" "$after"
e2e_begin "${TMPDIR:-/tmp}/tanzo-reply-flood"
others=$(awk -v c="$core" 'END { for (i = 0; i < n; i++) if (i != c) s = s (s ? "," : "") i; print s }' n="$(nproc)" /dev/null)
start_standin "$build/bin/standin"
start_xvfb
write_options english
start_program taskset -c "$core" "$build/bin/Programmer"
await_window

label_reads() { grep -c "^rx link .*manager=41:Playback command=5:GetLabel index=5," "$standin_log" || true; }
now_ms() { echo $((${EPOCHREALTIME/./} / 1000)); }
memory_kb() { awk '/^VmRSS/ { print $2 }' "/proc/$program_pid/status"; }
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$program_pid/stat"; }
# The CPU ticks each thread took so far, by the thread's name: "name ticks" a line.
thread_ticks() {
  local task
  for task in /proc/"$program_pid"/task/*; do
    echo "$(tr ' ' _ <"$task/comm") $(sed 's/^.*) //' "$task/stat" | awk '{ print $12 + $13 }')"
  done 2>/dev/null | awk '{ t[$1] += $2 } END { for (n in t) print n, t[n] }'
}
# Changes the label of playback 5 at the controller and prints the milliseconds until the program
# read it back; changed again after each 3 s without the read, given up after 15 s.
label_probe() {  # NAME
  local before start try deadline
  before=$(label_reads) start=$(now_ms)
  for try in 1 2 3 4 5; do
    standin_control playback 5 label "$1-$try" >/dev/null
    deadline=$(($(now_ms) + 3000))
    while [ "$(now_ms)" -lt $deadline ]; do
      kill -0 "$program_pid" 2>/dev/null || fail "the program ended"
      if [ "$(label_reads)" -gt "$before" ]; then
        echo $(($(now_ms) - start))
        return
      fi
      sleep 0.01
    done
  done
  echo never
}

# Changes the label of the last cue of playback 40 at the controller and prints the milliseconds
# until the controller answered the program's read of it, and the reads of cues it answered
# meanwhile; "never" when the flood ends first.
cue_probe() {
  local size start tag=cue-probe-$RANDOM cue=$((cues - 1))
  size=$(stat -c %s "$standin_log") start=$(now_ms)
  standin_control cue 40 $cue label "$tag" >/dev/null
  while [ $(($(now_ms) - started)) -lt $((seconds * 1000)) ]; do
    if tail -c +$((size + 1)) "$standin_log" | grep -E "^tx link .*command=5:GetLabel index=40,$cue,0 .*value=$tag\$" >/dev/null; then
      echo "$(($(now_ms) - start)) ms, $(tail -c +$((size + 1)) "$standin_log" | grep -c "^rx link .*manager=43:Cue") reads of cues meanwhile"
      return
    fi
    sleep 0.05
  done
  echo never
}

await "the program did not talk to the controller" logged "^rx link"
cue_reads() { grep -c "^rx link .*manager=43:Cue" "$standin_log" || true; }
for p in $(seq 0 63); do standin_control playback "$p" count "$cues" >/dev/null; done
await "the program kept asking for cues" steady_for_a_second cue_reads
echo "calm: label read after $(label_probe calm) ms"
standin_control delay 1 >/dev/null
flooders=()
for part in $(seq "$senders"); do
  share=$(awk -v r="$rate" -v n="$senders" 'BEGIN { print r / n }')
  if [ "$sender" = local ]; then
    taskset -c "$others" setpriv --reuid=65534 --regid=65534 --clear-groups \
      "$flood" 127.0.0.1 16945 "$kind" "$share" "$seconds" >"$work/flood-$part.txt" 2>&1 &
  else
    nsenter --target "$standin_pid" --net -- taskset -c "$others" "$flood" 192.168.77.1 16945 "$kind" \
      "$share" "$seconds" >"$work/flood-$part.txt" 2>&1 &
  fi
  flooders+=($!)
done
for _ in $(seq "$busy"); do
  taskset -c "$core" sh -c 'while :; do :; done' &
  e2e_helpers+=($!)
done
started=$(now_ms) ticks=$(cpu_ticks)
# Genuine changes the program is told of once, each of another playback's label, spread over the
# flood and made by 2 s before its end: "PLAYBACK LABEL" a line.
changes=14
(
  for i in $(seq 0 $((changes - 1))); do
    due=$((started + 2000 + i * (seconds * 1000 - 4000) / (changes - 1)))
    while [ "$(now_ms)" -lt $due ]; do sleep 0.01; done
    standin_control playback $((10 + i)) label "genuine-$i" >/dev/null
    echo "$((10 + i)) genuine-$i"
  done
) >"$work/changes" &
changer=$!
thread_ticks >"$work/threads-before"
sleep 5
memory=$(memory_kb)
[ "$cues" -gt 0 ] && cue_probe >"$work/cue-probe.txt" &
cue_prober=$!
probes=()
while [ $(($(now_ms) - started)) -lt $((seconds * 1000 - 5000)) ]; do
  probes+=("$(label_probe "flood-${#probes[@]}")")
  sleep 2
done
while kill -0 "${flooders[0]}" 2>/dev/null && [ $(($(now_ms) - started)) -lt $((seconds * 1000 - 200)) ]; do sleep 0.05; done
wait "$cue_prober" || true
grown=$(($(memory_kb) - memory)) cpu=$(($(cpu_ticks) - ticks))
threads=$(thread_ticks | awk 'NR == FNR { b[$1] = $2; next } { printf "%s%s %d", (n++ ? ", " : ""), $1, $2 - b[$1] }' \
  "$work/threads-before" -)
wait "$changer"
flood_end=$(now_ms)
# A change is read once the stand-in has sent the program its label.
unread() {
  { grep "^tx link .*command=5:GetLabel .* value=genuine-[0-9]*\$" "$standin_log" || true; } | sed 's/.*value=//' |
    sort -u | comm -13 - <(awk '{ print $2 }' "$work/changes" | sort) | wc -l
}
unread_at_end=$(unread)
while [ "$(unread)" -gt 0 ] && [ $(($(now_ms) - flood_end)) -lt $((after * 1000)) ]; do sleep 0.05; done
left=$(unread) last_read=$(($(now_ms) - flood_end))
sent=$(now_ms)
kill -TERM "$program_pid"
while kill -0 "$program_pid" 2>/dev/null && [ $(($(now_ms) - sent)) -lt 30000 ]; do sleep 0.005; done
ended=$(($(now_ms) - sent))
status=0
if kill -0 "$program_pid" 2>/dev/null; then
  kill -KILL "$program_pid"
  status=killed
fi
wait "$program_pid" 2>/dev/null || [ "$status" = killed ] || status=$?
program_pid=''
wait "${flooders[@]}" || true
echo "flood: $(cat "$work"/flood-*.txt | awk '{ n += $1 } END { print n }') datagrams sent at $rate a second for $seconds s ($kind), the program on core $core beside $busy spinning"
echo "grown: $((grown / 1024)) MB from 5 s to the end"
echo "label: ${probes[*]} ms"
if [ "$left" -eq 0 ]; then
  echo "changes: $unread_at_end of $changes unread as the flood ended, all read by $last_read ms after it"
else
  echo "changes: $unread_at_end of $changes unread as the flood ended, $left never read by $after s after it"
fi
echo "cue: $(cat "$work/cue-probe.txt" 2>/dev/null)"
echo "sigterm: ended $ended ms after it, status $status"
echo "cpu: $cpu ticks (100 a second): $threads"
