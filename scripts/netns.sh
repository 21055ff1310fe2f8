#!/usr/bin/env bash
# Runs a command inside a private network namespace that has only loopback (brought up).
# The program broadcasts discovery datagrams from its first second: it never runs outside one.
set -euo pipefail
if [ "$(id -u)" -eq 0 ]; then
  exec unshare --net -- sh -c 'ip link set lo up && exec "$@"' netns "$@"
else
  exec unshare --user --map-root-user --net -- sh -c 'ip link set lo up && exec "$@"' netns "$@"
fi
