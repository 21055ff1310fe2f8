#!/usr/bin/env bash
# The edit page end to end: the program under Xvfb and the stand-in controller beside it in private
# networks (as scripts/run.sh puts them), driven with real pointer input through xdotool. The
# stand-in holds four patched washes; the operator opens playback 1 for editing, drags over the
# washes, raises the intensity fader and records cue 1. What reaches the controller is read from
# the stand-in's record log and its own show state, what comes back from the window's pixels.
# Leaves BINARY_DIR/screenshot-edit.png.
#   edit_e2e.sh SOURCE_DIR BINARY_DIR
set -euo pipefail
src=$1 bin=$2
if [ "${TANZO_E2E_INNER:-}" != 1 ]; then
  export TANZO_E2E_INNER=1
  exec bash "$src/scripts/netns.sh" bash "$0" "$@"
fi
work=$bin/test-files/edit_e2e
rm -rf "$work" && mkdir -p "$work"
root=$src pids=() program=
trap 'for p in $program "${pids[@]}"; do kill "$p" 2>/dev/null || true; done' EXIT
fail() {
  echo "FAILED: $*"; tail -n 30 "$log" "$work/program.log" || true
  [ -z "${xid:-}" ] || import -window "$xid" "$work/failure.png" 2>/dev/null || true
  exit 1
}

export TANZO_STANDIN=$bin/bin/standin TANZO_STANDIN_LOG=$work/standin.log
export TANZO_STANDIN_ARGS="--script $src/tests/screens/edit_show.txt"
unset TANZO_STANDIN_UNITS TANZO_STANDIN_CONTROL
log=$TANZO_STANDIN_LOG xid=
# shellcheck source=/dev/null
source "$src/scripts/run-beside.sh"
[ -n "${TANZO_STANDIN_PID:-}" ] || fail "no stand-in started"
# The stand-in's own view of its show, through its control socket.
show() { nsenter --target "$TANZO_STANDIN_PID" --net -- "$TANZO_STANDIN" --send 16999 show "$@"; }

# Only the abstract socket, which belongs to this network namespace: an X server of another run may
# have chosen the same display number.
Xvfb -displayfd 3 -screen 0 1024x1280x24 -nolisten tcp -nolisten unix 3>"$work/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display") SDL_AUDIODRIVER=dummy TANZO_UPDATE_URL= XDG_DATA_HOME=$work/home
unset SDL_VIDEODRIVER SDL_RENDER_DRIVER
mkdir -p "$XDG_DATA_HOME/Zevral/Programmer"
echo "<zevral><options><device>192.168.77.2</device><language>english</language></options></zevral>" \
  > "$XDG_DATA_HOME/Zevral/Programmer/options.xml"
"$bin/bin/Programmer" >> "$work/program.log" 2>&1 &
program=$!
xid=$(timeout 60 xdotool search --sync --name "^Tanzo Programmer$" | head -n 1) || fail "no window"

# The values of the link records of a manager's command and index that arrived since the last mark.
mark() { mark=$(wc -l < "$log"); }
values() {  # MANAGER COMMAND INDEX
  tail -n +$((mark + 1)) "$log" | grep "^rx link .*manager=[0-9]*:$1 command=[0-9]*:$2 index=$3 " |
    sed 's/.*value=//' | tr '\n' ' ' | sed 's/ $//' || true
}
await() {  # MANAGER COMMAND INDEX VALUES
  for _ in $(seq 100); do [ "$(values "$1" "$2" "$3")" = "$4" ] && return 0; sleep 0.1; done
  fail "$1 $2 $3: got '$(values "$1" "$2" "$3")', expected '$4'"
}
# The last of them, for a drag that passes through other values on its way.
await_last() {  # MANAGER COMMAND INDEX VALUE
  for _ in $(seq 100); do [ "$(values "$1" "$2" "$3" | sed 's/.* //')" = "$4" ] && return 0; sleep 0.1; done
  fail "$1 $2 $3: got '$(values "$1" "$2" "$3")', expected it to end in '$4'"
}
until_true() {  # SECONDS WHAT COMMAND...
  local seconds=$1 what=$2; shift 2
  for _ in $(seq $((seconds * 10))); do "$@" && return 0; sleep 0.1; done
  fail "$what"
}
pointer() { xdotool mousemove --window "$xid" "$1" "$2"; sleep 0.1; }
click() { pointer "$1" "$2"; xdotool click 1; sleep 0.3; }
hold() { pointer "$1" "$2"; xdotool mousedown 1; sleep 0.3; }
let_go() { xdotool mouseup 1; sleep 0.3; }
shot() { import -window "$xid" "$1"; }
crop() { shot "$work/probe.png"; convert "$work/probe.png" -crop "$1" +repage -format '%#' info:; }
# The share of the rectangle's pixels that are plainly red, and that are bright.
red_share() { shot "$work/probe.png"; convert "$work/probe.png" -crop "$1" +repage -fx 'r > 0.7 && g < 0.3' -format '%[fx:mean]' info:; }
bright_share() { shot "$work/probe.png"; convert "$work/probe.png" -crop "$1" +repage -colorspace Gray -fx 'u > 0.6' -format '%[fx:mean]' info:; }
more_than() { awk -v v="$1" -v t="$2" 'BEGIN { exit !(v > t) }'; }
lamp_green() { read -r r g <<< "$(shot "$work/probe.png"; convert "$work/probe.png" -crop 1x1+206+52 -format '%[fx:int(255*r)] %[fx:int(255*g)]' info:)"; [ "$g" -gt $((r + 25)) ]; }
patched() { grep -q 'manager=31:Fixture command=[0-9]*:GetLabel index=63,' "$log"; }

until_true 15 "the link lamp is not green" lamp_green
until_true 15 "the fixtures were never read" patched

# EDIT as the click mode, then playback 1: the page title changes from PLAYBACK to EDIT.
title=$(crop 150x24+228+37)
click 417 49
click 54 115
title_changed() { [ "$(crop 150x24+228+37)" != "$title" ]; }
until_true 10 "the edit page did not open" title_changed

# A drag over the first four tiles selects the washes: the controller gets the mask, and once it
# has reported it the intensity fader, greyed out while nothing was selected, comes alive.
fader=$(crop 26x150+355+830)
mark
hold 48 287; pointer 150 287; pointer 290 287; let_go
await_last Programmer SetFixtures 0,0,0 "0xF"
fader_alive() { [ "$(crop 26x150+355+830)" != "$fader" ]; }
until_true 10 "the intensity fader stays greyed out" fader_alive
# The fader from the bottom to about the middle: the controller gets the levels, and the meter
# lights up to what it reports.
unlit=$(bright_share 20x40+358+930)
mark
hold 368 985
for y in 970 950 930 910 905; do pointer 368 $y; done
let_go
last=$(values ProgrammerChange SetValue 0,0,0 | sed 's/.* //')
more_than "${last:-0}" 0.4 && ! more_than "$last" 0.6 || fail "the intensity fader sent '$last', not about half"
meter_lit() { more_than "$(bright_share 20x40+358+930)" "$(awk -v u="$unlit" 'BEGIN { print u + 0.2 }')"; }
until_true 5 "the intensity meter does not light up" meter_lit

# Cue 1 chosen and RECORD: the controller records the washes into it, the cue cell and the washes'
# tiles turn red.
mark
click 57 150
click 709 694
await Programmer Record 0,0,0 "-"
recorded() { show cue 0 0 | grep -q 'fixtures=0xf '; }
until_true 5 "cue 1 does not hold the washes" recorded
cue_red() { more_than "$(red_share 4x60+10+120)" 0.3; }
until_true 5 "the recorded cue's cell is not framed red" cue_red
tiles_red() { more_than "$(red_share 4x40+9+265)" 0.3; }
until_true 5 "the washes' tiles are not drawn as used" tiles_red
shot "$bin/screenshot-edit.png"

# BACK: the programmer goes blind and the playback page comes back.
mark
click 51 49
await Programmer SetBlind 0,0,0 "true"
kill "$program"; wait "$program" 2>/dev/null || true; program=
echo "edit page end to end: passed"
