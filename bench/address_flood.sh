#!/usr/bin/env bash
# bench/address_flood.sh [BUILD_DIR] [ROUNDS] [RATES]: what forged address messages cost the link.
# The full show benchmark (FullShowToTheStandin in tanzo_bench) runs alone and beside a process
# with network-administration rights that sends forged address messages to the address group at
# each rate of RATES a second (default "3000 30000 max": slower and faster than the watch's looks
# take them, and as fast as it can), in turn, ROUNDS times (default 3). Every watch in the
# namespace receives them. Prints each run's seconds, then per rate the median and its ratio to the
# median alone. With RATES "churn" it times the device manager's tick instead, beside addresses
# that come and go (below). Runs in a private network namespace of its own, as root there;
# BUILD_DIR defaults to build (the benchmarks are not built here).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
rounds=${2:-3}
rates=${3:-3000 30000 max}
case $build in /*) ;; *) build=$root/$build ;; esac
bench=$build/bin/tanzo_bench
[ -x "$bench" ] || { echo "no benchmarks at $bench" >&2; exit 1; }
if [ "${TANZO_ADDRESS_FLOOD_NETNS:-}" != 1 ]; then
  export TANZO_ADDRESS_FLOOD_NETNS=1
  exec bash "$root/scripts/netns.sh" bash "$0" "$build" "$rounds" "$rates"
fi

work=$(mktemp -d)
flooder=''
trap '[ -z "$flooder" ] || kill $flooder 2>/dev/null; rm -rf "$work"' EXIT
# Forged messages, each a new address of loopback as the kernel would report it, from a process,
# ten at a time at the rate given (0: as fast as it can).
cat >"$work/flood.py" <<'EOF'
import socket, struct, sys, time
rate = float(sys.argv[1])
sender = socket.socket(socket.AF_NETLINK, socket.SOCK_RAW, socket.NETLINK_ROUTE)
report = struct.pack("=LHHLL", 24, 20, 0, 0, 0) + struct.pack("=BBBBL", socket.AF_INET, 24, 0, 0, 1)
start = time.monotonic()
sent = 0
while True:
    if rate > 0:
        wait = start + sent / rate - time.monotonic()
        if wait > 0:
            time.sleep(wait)
    for _ in range(10):
        sender.sendto(report, (0, 0x10))
    sent += 10
EOF

# "churn" as RATES: the longest and the median tick of the device manager (LinkTickBesideAddressChanges)
# alone, then beside 2,000 addresses on loopback of which 256 are taken away and added again
# without pause, ROUNDS times each.
if [ "$rates" = churn ]; then
  for i in $(seq 0 1999); do echo "addr add 10.98.$((i / 250)).$((i % 250 + 1))/32 dev lo"; done >"$work/all"
  head -256 "$work/all" | sed 's/^addr add/addr del/' >"$work/del"
  head -256 "$work/all" >"$work/add"
  ticks() {
    "$bench" --benchmark_filter=LinkTickBesideAddressChanges 2>/dev/null |
      awk '/^LinkTickBesideAddressChanges/ { for (i = 1; i <= NF; i++) if ($i ~ /_ms=/) printf "%s ", $i; print "" }'
  }
  for round in $(seq "$rounds"); do echo "round $round, alone: $(ticks)"; done
  ip -batch "$work/all"
  # Four changers of 64 addresses each, bounded: at most an hour of changes, ended with the rounds.
  for part in 0 1 2 3; do
    sed -n "$((part * 64 + 1)),$((part * 64 + 64))p" "$work/del" >"$work/del-$part"
    sed -n "$((part * 64 + 1)),$((part * 64 + 64))p" "$work/add" >"$work/add-$part"
    (end=$((SECONDS + 3600)); while [ $SECONDS -lt $end ]; do ip -batch "$work/del-$part"; ip -batch "$work/add-$part"; done) &
    flooder="$flooder $!"
  done
  for round in $(seq "$rounds"); do echo "round $round, beside 2,000 addresses, 256 changing: $(ticks)"; done
  exit 0
fi

# Seconds of one full show; the benchmark prints them in its console line.
full_show() {
  "$bench" --benchmark_filter=FullShowToTheStandin 2>/dev/null |
    awk '/^FullShowToTheStandin/ { for (i = 1; i <= NF; i++) if ($i == "s") { print $(i - 1); exit } }'
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

for round in $(seq "$rounds"); do
  line="round $round: alone $(full_show | tee -a "$work/alone") s"
  for rate in $rates; do
    python3 "$work/flood.py" "${rate/max/0}" &
    flooder=$!
    line="$line, beside $rate a second $(full_show | tee -a "$work/rate-$rate") s"
    kill "$flooder"
    wait "$flooder" 2>/dev/null || true
    flooder=''
  done
  echo "$line"
done
alone=$(median <"$work/alone")
echo "median alone: $alone s"
for rate in $rates; do
  flooded=$(median <"$work/rate-$rate")
  echo "median beside $rate a second: $flooded s, ratio $(awk -v a="$alone" -v f="$flooded" 'BEGIN { printf "%.2f", f / a }')"
done
