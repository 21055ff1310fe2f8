#!/usr/bin/env bash
# The whole program beside the stand-in controller (private namespaces joined by a veth pair, as
# scripts/run.sh puts them) under hostile traffic sent from the controller's own address:
#   1. 3,000 forged discovery answers in 10 s, each naming a new unit: the program keeps running
#      with a bounded number of threads and says in its log that its list of units is full;
#   2. 20,000 bad frames a second, then 20,000 large datagrams a second: a label changed at the
#      controller still reaches the program, which reads it back, while each flood lasts.
# Then SIGTERM must end the program with status 0. The CPU time the program took under each
# flood is printed for the record, never judged.
#   hostile_network.sh SOURCE_DIR BINARY_DIR FLOOD_TOOL
set -euo pipefail
src=$1 bin=$2 flood=$3
if [ "${TANZO_E2E_INNER:-}" != 1 ]; then
  export TANZO_E2E_INNER=1
  exec bash "$src/scripts/netns.sh" bash "$0" "$@"
fi
work=$bin/test-files/hostile_network
rm -rf "$work" && mkdir -p "$work/home/Zevral/Programmer"
root=$src pids=() program=
trap 'for p in $program "${pids[@]}"; do kill "$p" 2>/dev/null || true; done' EXIT
fail() { echo "FAILED: $*"; tail -n 20 "$work/program.log" "${TANZO_STANDIN_LOG:-/dev/null}" || true; exit 1; }

export TANZO_STANDIN=$bin/bin/standin TANZO_STANDIN_LOG=$work/standin.log
unset TANZO_STANDIN_UNITS TANZO_STANDIN_CONTROL TANZO_STANDIN_ARGS
# shellcheck source=/dev/null
source "$src/scripts/run-beside.sh"
[ -n "${TANZO_STANDIN_PID:-}" ] || fail "no stand-in started"
in_standin() { nsenter --target "$TANZO_STANDIN_PID" --net -- "$@"; }

export XDG_DATA_HOME=$work/home TANZO_UPDATE_URL= SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy SDL_RENDER_DRIVER=software
echo "<zevral><options><device>192.168.77.2</device></options></zevral>" > "$work/home/Zevral/Programmer/options.xml"
"$bin/bin/Programmer" > "$work/program.log" 2>&1 &
program=$!

await() {  # DESCRIPTION COMMAND...: polls the command for up to 30 s
  local what=$1; shift
  for _ in $(seq 300); do "$@" && return 0; kill -0 "$program" 2>/dev/null || fail "the program ended: $what"; sleep 0.1; done
  fail "$what"
}
label_reads() { grep -c "^rx link .*command=5:GetLabel index=5," "$TANZO_STANDIN_LOG" || true; }
more_label_reads() { [ "$(label_reads)" -gt "$1" ]; }
# A label changed at the controller is announced to the program, which reads it back. The
# controller does not repeat an announcement, and a flood may crowd one out: the label is changed
# again every few seconds, for up to 30 s.
round_trip() {
  local before try
  before=$(label_reads)
  for try in $(seq 10); do
    in_standin "$TANZO_STANDIN" --send 16999 playback 5 label "$1-$try" > /dev/null
    for _ in $(seq 30); do more_label_reads "$before" && return 0; sleep 0.1; done
  done
  fail "the label was never read back after $1"
}
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$program/stat"; }
flooding() {  # KIND RATE SECONDS: in the background, from the controller's address
  in_standin "$flood" 192.168.77.1 16945 "$@" > "$work/flood-$1.txt" &
  flooder=$!
}

await "the program talking to the controller" grep -q "^rx link" "$TANZO_STANDIN_LOG"
round_trip calm

flooding answers 300 10
sleep 1
threads=0
while kill -0 "$flooder" 2>/dev/null; do
  count=$(ls "/proc/$program/task" | wc -l)
  [ "$count" -gt "$threads" ] && threads=$count
  sleep 0.2
done
echo "forged answers: $(cat "$work/flood-answers.txt"); most threads seen: $threads"
[ "$threads" -le 90 ] || fail "$threads threads under forged answers"
round_trip after-answers

for kind in frames large; do
  before=$(cpu_ticks)
  flooding $kind 20000 6
  for n in 1 2 3; do round_trip "$kind-$n"; done
  wait "$flooder"
  echo "$kind: $(cat "$work/flood-$kind.txt"); the program took $(($(cpu_ticks) - before)) CPU ticks (100 a second) meanwhile"
done

kill -TERM "$program"
status=0
wait "$program" || status=$?
program=
[ $status -eq 0 ] || fail "exit status $status after SIGTERM"
grep -q "\[DeviceManager\] The list of units is full" "$work"/home/Zevral/Programmer/Logs/*.txt ||
  fail "the full list of units is not in the log"
echo "hostile network: forged units and floods left the program running and answering"
