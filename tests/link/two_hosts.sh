#!/usr/bin/env bash
# Two hosts joined only by a veth pair, both namespaces of this test's own: host A (a network
# namespace this script moves into) runs the device-manager tests, host B (the namespace beside
# it, 192.168.77.2 to .4 and 192.168.0.255) runs the stand-in controller, which the tests start
# there. Nothing else exists in either, so nothing can leave them; both vanish with their last
# process.
#   two_hosts.sh TESTS STANDIN WORKDIR [gtest arguments...]
set -euo pipefail
tests=$1 standin=$2
# shellcheck source=../support/e2e.sh
source "$(dirname "$0")/../support/e2e.sh"
e2e_private_namespace "$0" "$@"
e2e_begin "$3"
shift 3
e2e_peer_namespace 192.168.77.2 192.168.77.3 192.168.77.4
# Two subnets whose netmasks are not their address class's: a /24 in class A, and a /23 in class
# C whose .255 on the first half is an ordinary host, the stand-in's.
ip addr add 10.0.0.1/24 brd + dev tz-program
ip addr add 192.168.0.1/23 brd + dev tz-program
nsenter --target "$e2e_peer" --net -- ip addr add 192.168.0.255/23 brd + dev tz-standin

export TANZO_TWO_HOSTS_PEER=$e2e_peer TANZO_STANDIN=$standin TANZO_TWO_HOSTS_DIR=$work
status=0
"$tests" --gtest_filter='TwoHosts.*' "$@" 2>&1 | tee "$work/output.txt" || status=$?
# The stand-ins the tests start write into the tests' output: a report of theirs fails the run too.
e2e_report=$(sanitizer_report 0 "$work/output.txt")
[ -z "$e2e_report" ] || fail "a sanitizer report in the tests' output"
[ $status -eq 0 ] || fail "the tests failed"
