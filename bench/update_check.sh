#!/usr/bin/env bash
# bench/update_check.sh [BUILD_DIR] [ROUNDS] [SERVERS]: what the update check costs the program's
# start and its end, with TANZO_UPDATE_URL naming a server on this namespace's loopback that
#   none     - is not asked (no update address)
#   prompt   - answers at once with a newer version
#   silent   - takes the connection and never answers
#   trickle  - answers a header, then one byte of the body every 0.2 s, without end
#   huge     - answers a header, then the body as fast as it can, without end
# SERVERS (default all five) names those to try, separated by blanks. Prints, per server, the
# medians of ROUNDS runs (default 3) and their ranges:
#   window   - start to the window drawn (under Xvfb)
#   sigterm  - SIGTERM sent 1 s after the device link said where it broadcasts (while start-up
#              asks the server) to the end of the process, and its exit status
# The program runs in private network namespaces as the end-to-end tests make them
# (tests/support/e2e.sh); BUILD_DIR defaults to build (the program is not built here).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
rounds=${2:-3}
servers=${3:-none prompt silent trickle huge}
case $build in /*) ;; *) build=$root/$build ;; esac
# shellcheck source=../tests/support/e2e.sh
source "$root/tests/support/e2e.sh"
e2e_private_namespace "$0" "$build" "$rounds" "$servers"
e2e_begin "${TMPDIR:-/tmp}/tanzo-update-check"
start_xvfb

cat >"$work/server.py" <<'EOF'
import socket, sys, threading, time
kind, port = sys.argv[1], int(sys.argv[2])
listener = socket.socket()
listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
listener.bind(("127.0.0.1", port))
listener.listen(8)
def serve(connection):
    try:
        connection.recv(4096)
        if kind == "prompt":
            body = b"Programmer|99|0|0|Newer\n"
            connection.sendall(b"HTTP/1.0 200 OK\r\nContent-Length: %d\r\n\r\n" % len(body) + body)
        elif kind == "silent":
            time.sleep(3600)
        else:
            connection.sendall(b"HTTP/1.0 200 OK\r\nContent-Length: 100000000\r\n\r\nProgrammer|99|0|0|x\n")
            while True:
                if kind == "trickle":
                    connection.sendall(b"x")
                    time.sleep(0.2)
                else:
                    connection.sendall(b"x" * 65536)
    except OSError:
        pass
    connection.close()
while True:
    connection, _ = listener.accept()
    threading.Thread(target=serve, args=(connection,), daemon=True).start()
EOF

ms() { echo $((${EPOCHREALTIME/./} / 1000)); }
summary() { sort -n | awk '{ v[NR] = $1 } END { printf "%s (%s-%s)", v[int((NR + 1) / 2)], v[1], v[NR] }'; }
printf '%-8s %-22s %-22s %s\n' server window_ms sigterm_ms statuses
port=18080
for kind in $servers; do
  port=$((port + 1))
  url=''
  if [ $kind != none ]; then
    python3 "$work/server.py" $kind $port &
    e2e_helpers+=($!)
    listens() { (exec 3<>/dev/tcp/127.0.0.1/$port) 2>/dev/null; }
    await "the $kind server did not start" listens
    url=http://127.0.0.1:$port/versions/versions.txt
  fi
  : >"$work/window" && : >"$work/sigterm" && statuses=''
  for _ in $(seq "$rounds"); do
    rm -rf "$XDG_DATA_HOME"
    started=$(ms)
    TANZO_UPDATE_URL=$url start_program "$build/bin/Programmer"
    await_window
    echo $(($(ms) - started)) >>"$work/window"
    stop_program
    rm -rf "$XDG_DATA_HOME"
    TANZO_UPDATE_URL=$url start_program "$build/bin/Programmer"
    await_started
    sleep 1
    sent=$(ms) pid=$program_pid status=0
    program_pid=''
    kill -TERM "$pid"
    wait "$pid" || status=$?
    echo $(($(ms) - sent)) >>"$work/sigterm"
    statuses="$statuses$status "
  done
  printf '%-8s %-22s %-22s %s\n' $kind "$(summary <"$work/window")" "$(summary <"$work/sigterm")" "$statuses"
done
