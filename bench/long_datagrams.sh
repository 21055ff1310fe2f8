#!/usr/bin/env bash
# bench/long_datagrams.sh [BUILD_DIR] [SECONDS]: what datagrams longer than the link takes, beside
# losses at other sockets, cost the controller. The whole program beside the stand-in controller of
# 64 playbacks of 48 cues, once it has read the show and gone quiet: the requests the stand-in
# received in a calm SECONDS (default 60), then in SECONDS while once a second a socket of the
# program's network namespace that nobody reads overflows and one 3,000-byte datagram reaches the
# link's port. A refresh of the whole show after losses asks some 25,000 requests; the program
# reads again only what its own socket lost, so the two counts should be close.
# Private network namespaces and X server as the end-to-end tests make them (tests/support/e2e.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
seconds=${2:-60}
case $build in /*) ;; *) build=$root/$build ;; esac
# shellcheck source=../tests/support/e2e.sh
source "$root/tests/support/e2e.sh"
e2e_private_namespace "$0" "$build" "$seconds"
e2e_begin "${TMPDIR:-/tmp}/tanzo-long-datagrams"
start_standin "$build/bin/standin"
start_xvfb
write_options english
start_program "$build/bin/Programmer"
await_window
await "the link lamp did not turn green" lamp_is green
for p in $(seq 0 63); do standin_control playback "$p" count 48 >/dev/null; done
requests() { grep -c "^rx link " "$standin_log" || true; }
await "the program kept asking" steady_for_a_second requests

before=$(requests)
sleep "$seconds"
calm=$(($(requests) - before))

# In the program's namespace: a socket that reads nothing and a queue of 4 KB, overflowed by 200
# one-byte datagrams, then one datagram of 3,000 bytes to the link's port; once a second.
before=$(requests)
python3 - "$seconds" <<'EOF'
import socket, sys, time
sink = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
sink.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)
sink.bind(("127.0.0.1", 0))
sender = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
for second in range(int(sys.argv[1])):
    for _ in range(200):
        sender.sendto(b"x", sink.getsockname())
    sender.sendto(b"y" * 3000, ("127.0.0.1", 16945))
    time.sleep(1)
EOF
long=$(($(requests) - before))
echo "requests in a calm ${seconds} s: $calm"
echo "requests in ${seconds} s of a long datagram and another socket's overflow each second: $long ($((long - calm)) more)"
stop_program
