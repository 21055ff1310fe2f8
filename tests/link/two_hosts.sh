#!/usr/bin/env bash
# Two hosts joined only by a veth pair, both namespaces of this test's own: host A (a new network
# namespace this script moves into) runs the device-manager tests, host B (a namespace held by a
# sleeping child) runs the stand-in controller. Each has loopback, its veth end and a default
# route through it, so the limited broadcast 255.255.255.255 is routable; nothing else exists in
# either, so nothing can leave them. Both vanish with their last process.
#   two_hosts.sh TESTS STANDIN WORKDIR [gtest arguments...]
set -euo pipefail
tests=$1; standin=$2; work=$3; shift 3

if [ "${TANZO_TWO_HOSTS_A:-}" != 1 ]; then
  export TANZO_TWO_HOSTS_A=1
  if [ "$(id -u)" -eq 0 ]; then
    exec unshare --net -- bash "$0" "$tests" "$standin" "$work" "$@"
  fi
  exec unshare --user --map-root-user --net -- bash "$0" "$tests" "$standin" "$work" "$@"
fi

mkdir -p "$work"
ip link set lo up
unshare --net -- sleep 3600 &
peer=$!
trap 'kill $peer 2>/dev/null || true' EXIT
# The child has its namespace only once it has called unshare.
for _ in $(seq 3000); do
  [ "$(readlink /proc/$peer/ns/net)" != "$(readlink /proc/self/ns/net)" ] && break
  sleep 0.01
done
[ "$(readlink /proc/$peer/ns/net)" != "$(readlink /proc/self/ns/net)" ] || { echo "host B has no namespace"; exit 1; }

ip link add tzva type veth peer name tzvb netns "$peer"
ip addr add 192.168.77.1/24 brd + dev tzva
ip link set tzva up
ip route add default dev tzva
nsenter --target "$peer" --net -- sh -c '
  ip link set lo up
  ip addr add 192.168.77.2/24 brd + dev tzvb
  ip addr add 192.168.77.3/24 dev tzvb
  ip addr add 192.168.77.4/24 dev tzvb
  ip link set tzvb up
  ip route add default dev tzvb'

export TANZO_TWO_HOSTS_PEER=$peer TANZO_STANDIN=$standin TANZO_TWO_HOSTS_DIR=$work
"$tests" --gtest_filter='TwoHosts.*' "$@"
