#!/usr/bin/env bash
# bench/unit_poll.sh [BUILD_DIR] [SECONDS] [FORGED]: how often the program polls a genuine unit's
# settings while FORGED units (default 62, which with the stand-in's two fill the list of 64) that
# never answer stay listed: forged discovery answers from the controller's address name them again
# every 2 s. The program runs beside the stand-in controller in private network namespaces, as the
# end-to-end tests make them (tests/support/e2e.sh), for SECONDS (default 40) after the forged
# units are first announced. Prints the seconds between the polls of the stand-in's first unit
# (each poll begins with the MAC address asked), then their median and the longest.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
seconds=${2:-40}
forged=${3:-62}
case $build in /*) ;; *) build=$root/$build ;; esac
flood=$build/tests/datagram_flood
[ -x "$flood" ] || { echo "no flood tool at $flood" >&2; exit 1; }
# shellcheck source=../tests/support/e2e.sh
source "$root/tests/support/e2e.sh"
e2e_private_namespace "$0" "$build" "$seconds" "$forged"
e2e_begin "${TMPDIR:-/tmp}/tanzo-unit-poll"
start_standin "$build/bin/standin"
start_xvfb
write_options english
start_program "$build/bin/Programmer"
await_window

# The times the stand-in's first unit was asked for its MAC address, in microseconds, looked for
# every 0.1 s.
polls=$work/polls.txt
mac_asked() { grep -c "^rx unit unit=0 .*GetMac" "$standin_log" || true; }
watch_polls() {
  local seen=0 count
  while :; do
    count=$(mac_asked)
    [ "$count" = "$seen" ] || echo "${EPOCHREALTIME/./}"
    seen=$count
    sleep 0.1
  done
}
watch_polls >"$polls" &
e2e_helpers+=($!)

end=$((SECONDS + seconds))
while [ $SECONDS -lt $end ]; do
  # The same addresses each time: 10.0.0.1 onwards.
  nsenter --target "$standin_pid" --net -- "$flood" 192.168.77.1 16945 answers "$forged" 1 >/dev/null
  sleep 1
done
awk 'NR > 1 { d = ($1 - last) / 1e6; printf "%.1f\n", d } { last = $1 }' "$polls" >"$work/gaps.txt"
echo "seconds between polls: $(tr '\n' ' ' <"$work/gaps.txt")"
sort -n "$work/gaps.txt" | awk '{ v[NR] = $1 } END { if (NR) printf "median %s s, longest %s s, %d polls\n", v[int((NR + 1) / 2)], v[NR], NR + 1; else print "fewer than two polls" }'
