#!/usr/bin/env bash
# renderer_pixels_xvfb.sh TESTS_SHELL WORKDIR: the page-on-every-renderer test on a private X
# server, where Mesa's OpenGL renderers can be made beside SDL's software one. It creates the
# device link: ctest runs it inside a private network namespace.
set -u
tests=$1 work=$2
rm -rf "$work" && mkdir -p "$work/home"
export XDG_DATA_HOME=$work/home
unset SDL_VIDEODRIVER
# The window system's GL stack keeps allocations to the end that the leak checker cannot name.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0
exec 3>"$work/display"
# Only the namespace's own abstract socket, so that X servers of other tests cannot clash with it.
Xvfb -displayfd 3 -screen 0 1024x1280x24 -nolisten tcp -nolisten unix >"$work/xvfb.txt" 2>&1 &
xvfb=$!
exec 3>&-
trap 'kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null' EXIT
for _ in $(seq 300); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "FAIL: Xvfb did not start"; exit 1; }
export DISPLAY=:$(head -n 1 "$work/display")
"$tests" --gtest_filter=Application.APageShowsTheSamePixelsOnEveryRenderer >"$work/out.txt" 2>&1
rc=$?
cat "$work/out.txt"
# Under Xvfb at least Mesa's OpenGL renderer must have been compared.
grep -q '^No opengl renderer' "$work/out.txt" && { echo "FAIL: no OpenGL renderer under Xvfb"; exit 1; }
exit $rc
