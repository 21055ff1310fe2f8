#!/usr/bin/env bash
# Sourced by scripts/run.sh inside the program's private network namespace, before the program
# starts. It puts the stand-in controller beside the program: in a second private namespace,
# joined to this one by a veth pair, so that the program's discovery broadcasts (to
# 255.255.255.255 and to 192.168.77.255) reach it while nothing can leave either namespace.
# The stand-in's process is added to run.sh's "pids" so that it ends with the script.
#
#   TANZO_STANDIN        the stand-in executable (default bin/standin of the build folder being
#                        run, $build, else build/); "off": none
#   TANZO_STANDIN_UNITS  its units, ADDRESS,TYPE,UNITPORT,LABEL separated by blanks, addresses in
#                        192.168.77.2-254 (default: a KDX-1 at .2 and a Murel-1 at .3)
#   TANZO_STANDIN_ARGS   further switches for it (see standin --help)
#   TANZO_STANDIN_LOG    its event log (default standin.log in that build folder)
#   TANZO_STANDIN_CONTROL  its control port on its own loopback (default 16999)
# Afterwards TANZO_STANDIN_PID holds its process id: SIGUSR1 makes it stop answering, SIGUSR2
# brings it back, and any control command reaches it with
#   nsenter --target "$TANZO_STANDIN_PID" --net -- build/bin/standin --send 16999 silent on

tanzo_start_beside() {
  local folder=${build:-$root/build}
  local standin=${TANZO_STANDIN:-$folder/bin/standin}
  if [ "$standin" = off ]; then
    return 0
  fi
  if [ ! -x "$standin" ]; then
    echo "run-beside: no stand-in controller at $standin; the program runs alone."
    return 0
  fi
  # Only ever inside a namespace that has nothing but loopback: the veth pair must not touch a
  # real network.
  local links
  links=$(ip -o link show | awk -F': ' '{print $2}' | tr '\n' ' ')
  if [ "$links" != "lo " ]; then
    echo "run-beside: this namespace has links other than loopback ($links); no stand-in started." >&2
    return 0
  fi

  # The stand-in's namespace, held open by a sleeping process. unshare enters the new namespace
  # only after it has started, so wait until the holder really sits elsewhere.
  unshare --net -- sleep infinity &
  local holder=$!
  pids+=("$holder")
  local here
  here=$(readlink /proc/self/ns/net)
  local tries=0
  while [ "$(readlink "/proc/$holder/ns/net" 2>/dev/null || echo "$here")" = "$here" ]; do
    tries=$((tries + 1))
    if [ $tries -gt 3000 ]; then
      echo "run-beside: the stand-in's namespace did not come up." >&2
      return 0
    fi
    sleep 0.01
  done

  local units=${TANZO_STANDIN_UNITS:-"192.168.77.2,KDX-1,16946,Stage 192.168.77.3,Murel-1,16946,Rack"}
  ip link add tz-program type veth peer name tz-standin netns "$holder"
  ip addr add 192.168.77.1/24 brd + dev tz-program
  ip link set tz-program up
  # 255.255.255.255 needs a route; the only one leads to the stand-in.
  ip route add default dev tz-program

  local args=() entry address
  local setup="ip link set lo up"
  for entry in $units; do
    address=${entry%%,*}
    setup="$setup; ip addr add $address/24 brd + dev tz-standin"
    args+=(--unit "$entry")
  done
  setup="$setup; ip link set tz-standin up"
  nsenter --target "$holder" --net -- sh -c "$setup"

  local log=${TANZO_STANDIN_LOG:-$folder/standin.log}
  : > "$log"
  # shellcheck disable=SC2086
  nsenter --target "$holder" --net -- "$standin" "${args[@]}" --log "$log" \
    --control "${TANZO_STANDIN_CONTROL:-16999}" ${TANZO_STANDIN_ARGS:-} &
  TANZO_STANDIN_PID=$!
  pids+=("$TANZO_STANDIN_PID")
  export TANZO_STANDIN_PID TANZO_STANDIN_LOG=$log
  tries=0
  until grep -q '^ready' "$log" 2>/dev/null; do
    tries=$((tries + 1))
    if [ $tries -gt 3000 ] || ! kill -0 "$TANZO_STANDIN_PID" 2>/dev/null; then
      echo "run-beside: the stand-in did not start; see $log" >&2
      return 0
    fi
    sleep 0.01
  done
  echo "Stand-in controller beside the program (pid $TANZO_STANDIN_PID, log $log): $units"
}

tanzo_start_beside
