#!/usr/bin/env bash
# The settings page end to end: the program under Xvfb and the stand-in controller beside it in a
# private network (as scripts/run.sh puts them), driven with real pointer and key input through
# xdotool. The operator chooses the stand-in's unit, edits its name, address, Art-Net and sACN
# settings, which are read back from the stand-in, and changes the language, which is read back
# from the window's pixels. Leaves BINARY_DIR/screenshot-settings.png (and -deutsch.png).
#   settings_e2e.sh SOURCE_DIR BINARY_DIR
set -euo pipefail
src=$1
bin=$2
if [ "${TANZO_E2E_INNER:-}" != 1 ]; then
  export TANZO_E2E_INNER=1
  exec bash "$src/scripts/netns.sh" bash "$0" "$@"
fi

work=$bin/test-files/settings_e2e
rm -rf "$work" && mkdir -p "$work"
root=$src
pids=()
program=
cleanup() { for p in $program "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; }
trap cleanup EXIT
fail() {
  echo "FAILED: $*"
  echo "--- stand-in log (tail)"; tail -n 20 "$log"
  echo "--- program output (tail)"; tail -n 20 "$work/program.log"
  [ -n "${xid:-}" ] && import -window "$xid" "$work/failure.png" 2>/dev/null && echo "window: $work/failure.png"
  exit 1
}

export TANZO_STANDIN=$bin/bin/standin TANZO_STANDIN_LOG=$work/standin.log
unset TANZO_STANDIN_UNITS TANZO_STANDIN_CONTROL TANZO_STANDIN_ARGS
log=$TANZO_STANDIN_LOG
# shellcheck source=/dev/null
source "$src/scripts/run-beside.sh"
[ -n "${TANZO_STANDIN_PID:-}" ] || fail "no stand-in started"
settings() { nsenter --target "$TANZO_STANDIN_PID" --net -- "$TANZO_STANDIN" --send 16999 show settings; }
await() {  # a pattern the stand-in's unit settings come to match
  for _ in $(seq 100); do settings | grep -q -- "$1" && return 0; sleep 0.1; done
  fail "the unit's settings never matched '$1': $(settings)"
}

# Only the abstract socket, which belongs to this network namespace: an X server of another test
# may have chosen the same display number.
Xvfb -displayfd 3 -screen 0 1024x1280x24 -nolisten tcp -nolisten unix 3>"$work/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display")
unset SDL_VIDEODRIVER SDL_RENDER_DRIVER
export SDL_AUDIODRIVER=dummy TANZO_UPDATE_URL= XDG_DATA_HOME=$work/home
"$bin/bin/Programmer" >> "$work/program.log" 2>&1 &
program=$!
xid=$(timeout 20 xdotool search --sync --name '^Tanzo Programmer$' | head -n 1) || fail "no window"
sleep 1

click() { xdotool mousemove --window "$xid" "$1" "$2"; sleep 0.1; xdotool click 1; sleep 0.4; }
key() { xdotool key "$@"; sleep 0.3; }
shot() { import -window "$xid" "$1"; }
pixel() {
  shot "$work/probe.png"
  convert "$work/probe.png" -crop "1x1+$1+$2" -format '%[fx:int(255*r)] %[fx:int(255*g)]' info:
}
lamp_is_green() {
  for _ in $(seq 40); do
    read -r r g <<< "$(pixel 206 52)"
    [ "$g" -gt $((r + 25)) ] && return 0
    sleep 0.5
  done
  fail "the link lamp did not turn green (pixel $(pixel 206 52))"
}
# A hash of the window's pixels in a rectangle.
crop() { shot "$work/probe.png"; convert "$work/probe.png" -crop "$1" +repage -format '%#' info:; }
# Whether a command comes true within twenty seconds: a busy machine draws late.
eventually() { for _ in $(seq 100); do "$@" && return 0; sleep 0.2; done; return 1; }
differs() { [ "$(crop "$1")" != "$2" ]; }
same() { [ "$(crop "$1")" = "$2" ]; }

# OPTIONS on the playback page; the units answer the discovery broadcast within seconds.
title=$(crop 150x30+220+35)
click 151 49
eventually differs 150x30+220+35 "$title" || fail "OPTIONS did not show the settings page"
listed() { [ "$(crop 120x40+60+108)" != "$(crop 120x40+60+468)" ]; }
for _ in $(seq 50); do listed && break; sleep 0.2; done
listed || fail "no unit was listed"
click 110 128
lamp_is_green
sleep 6
shot "$bin/screenshot-settings.png"

# Name, Art-Net 12.3 switched on, sACN 100, a static subnet, then DHCP.
click 709 175; key BackSpace BackSpace BackSpace BackSpace BackSpace; xdotool type Gala; key Return
await " label=Gala$"
click 709 224; key space 1 2 period 3 Return
await "artnet=1 artnet-universe=195 "
click 709 273; key 1 0 0 Return
await " acn-universe=100 "
click 709 121; key Tab; for _ in $(seq 13); do xdotool key BackSpace; done; xdotool type 255.255.0.0; key Return
await " subnet=255.255.0.0 ip=192.168.77.2:16946 "
click 709 121; click 414 411; key Return
await " dhcp=1 "

# A new show: its hint first, then the show on disk.
click 709 597; shot "$work/hint.png"; key Return
eventually [ -f "$XDG_DATA_HOME/Zevral/Programmer/show1.show" ] || fail "NEW made no show file"

# Deutsch from the language list: this page and the playback page read differently.
before_here=$(crop 100x45+659+575)
settings_title=$(crop 150x30+220+35)
click 151 49
eventually differs 150x30+220+35 "$settings_title" || fail "OPTIONS did not go back to the playback page"
before_there=$(crop 72x30+382+35)
click 151 49
eventually same 150x30+220+35 "$settings_title" || fail "OPTIONS did not come back to the settings page"
row=0
for y in 604 649 694; do
  click 110 $y
  # The current language's row changes nothing: a short wait there, the whole wait elsewhere.
  for _ in $(seq 25); do differs 100x45+659+575 "$before_here" && { row=$y; break; }; sleep 0.2; done
  [ $row != 0 ] && break
done
[ $row != 0 ] || fail "no language changed the NEW key"
shot "$bin/screenshot-settings-deutsch.png"
key Escape
eventually differs 72x30+382+35 "$before_there" || fail "the playback page's EDIT key reads the same"
echo "settings page end to end: passed"
