#!/usr/bin/env bash
# renderer_pixels_xvfb.sh TESTS_SHELL WORKDIR: the page-on-every-renderer test on a private X
# server, where Mesa's OpenGL renderers can be made beside SDL's software one. It creates the
# device link: it runs in a network namespace of its own.
set -euo pipefail
tests=$1
# shellcheck source=../support/e2e.sh
source "$(dirname "$0")/../support/e2e.sh"
e2e_private_namespace "$0" "$@"
e2e_begin "$2"
start_xvfb
# Mesa's OpenGL driver, unloaded when the display closes, leaves allocations of its own behind
# that the leak checker cannot name (a bare SDL window shows the same).
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0
status=0
"$tests" --gtest_filter=Application.APageShowsTheSamePixelsOnEveryRenderer >"$work/out.txt" 2>&1 || status=$?
cat "$work/out.txt"
# Under Xvfb at least Mesa's OpenGL renderer must have been compared.
! grep -q '^No opengl renderer' "$work/out.txt" || fail "no OpenGL renderer under Xvfb"
[ $status -eq 0 ] || fail "the test failed"
