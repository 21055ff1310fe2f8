#!/usr/bin/env bash
# The playback page end to end: the program under Xvfb and the stand-in controller beside it in
# private networks (as scripts/run.sh puts them), driven with real pointer and key input through
# xdotool. What reaches the controller is read from the stand-in's record log, what comes back
# from the window's pixels. The program starts as a returning user does: its options file names
# the stand-in's first unit. Leaves BINARY_DIR/screenshot-playback.png (and -deutsch.png).
#   playback_e2e.sh SOURCE_DIR BINARY_DIR
set -euo pipefail
src=$1 bin=$2
if [ "${TANZO_E2E_INNER:-}" != 1 ]; then
  export TANZO_E2E_INNER=1
  exec bash "$src/scripts/netns.sh" bash "$0" "$@"
fi
work=$bin/test-files/playback_e2e
rm -rf "$work" && mkdir -p "$work"
root=$src pids=() program=
trap 'for p in $program "${pids[@]}"; do kill "$p" 2>/dev/null || true; done' EXIT
fail() {
  echo "FAILED: $*"; tail -n 30 "$log" "$work/program.log" || true
  [ -z "${xid:-}" ] || import -window "$xid" "$work/failure.png" 2>/dev/null || true
  exit 1
}

export TANZO_STANDIN=$bin/bin/standin TANZO_STANDIN_LOG=$work/standin.log
export TANZO_STANDIN_ARGS="--script $src/tests/screens/playback_show.txt"
unset TANZO_STANDIN_UNITS TANZO_STANDIN_CONTROL
log=$TANZO_STANDIN_LOG xid=
# shellcheck source=/dev/null
source "$src/scripts/run-beside.sh"
[ -n "${TANZO_STANDIN_PID:-}" ] || fail "no stand-in started"
control() { nsenter --target "$TANZO_STANDIN_PID" --net -- "$TANZO_STANDIN" --send 16999 "$@" >/dev/null; }

# Only the abstract socket, which belongs to this network namespace: an X server of another run may
# have chosen the same display number.
Xvfb -displayfd 3 -screen 0 1024x1280x24 -nolisten tcp -nolisten unix 3>"$work/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display") SDL_AUDIODRIVER=dummy TANZO_UPDATE_URL= XDG_DATA_HOME=$work/home
unset SDL_VIDEODRIVER SDL_RENDER_DRIVER
start_program() {  # LANGUAGE
  mkdir -p "$XDG_DATA_HOME/Zevral/Programmer"
  echo "<zevral><options><device>192.168.77.2</device><language>$1</language></options></zevral>" \
    > "$XDG_DATA_HOME/Zevral/Programmer/options.xml"
  "$bin/bin/Programmer" >> "$work/program.log" 2>&1 &
  program=$!
  xid=$(timeout 60 xdotool search --sync --name "^Tanzo Programmer$" | head -n 1) || fail "no window"
}
stop_program() { kill "$program"; wait "$program" 2>/dev/null || true; program=; }

# The values of the link records of a command and playback that arrived since the last mark.
mark() { mark=$(wc -l < "$log"); }
values() {
  tail -n +$((mark + 1)) "$log" | grep "^rx link .*command=[0-9]*:$1 index=$2," | sed 's/.*value=//' | uniq |
    tr '\n' ' ' | sed 's/ $//' || true
}
await() {  # COMMAND INDEX VALUES
  for _ in $(seq 100); do [ "$(values "$1" "$2")" = "$3" ] && return 0; sleep 0.1; done
  fail "$1 of playback $2: got '$(values "$1" "$2")', expected '$3'"
}
pointer() { xdotool mousemove --window "$xid" "$1" "$2"; sleep 0.1; }
click() { pointer "$1" "$2"; xdotool click "${3:-1}"; sleep 0.3; }
hold() { pointer "$1" "$2"; xdotool mousedown 1; sleep 0.3; }
let_go() { xdotool mouseup 1; sleep 0.3; }
key() { xdotool key "$@"; sleep 0.3; }
drag_fader_1() { hold 55 902; for y in 892 882 872 862 852 842; do pointer 55 $y; done; let_go; }
shot() { import -window "$xid" "$1"; }
pixel() { shot "$work/probe.png"; convert "$work/probe.png" -crop "1x1+$1+$2" -format '%[fx:int(255*r)] %[fx:int(255*g)]' info:; }
lamp_is() {  # green|red SECONDS
  for _ in $(seq $(($2 * 2))); do
    read -r r g <<< "$(pixel 206 52)"
    case $1 in green) [ "$g" -gt $((r + 25)) ] && return 0 ;; red) [ "$r" -gt $((g + 25)) ] && return 0 ;; esac
    sleep 0.5
  done
  fail "the link lamp is not $1"
}
# Whether fader 1's cap shows the value: the bright line across its middle lies on the value's row.
cap_at() {
  shot "$work/probe.png"
  convert "$work/probe.png" -crop "1x5+55+$(awk -v v="$1" 'BEGIN { printf "%d", 903 - 121 * v + 0.5 }')" \
    -format '%[fx:int(255*maxima.r)]' info: | awk '{ exit !($1 > 200) }'
}

start_program english
lamp_is green 15
for _ in $(seq 100); do grep -q 'command=[0-9]*:GetLabel index=63,' "$log" && break; sleep 0.1; done
sleep 1

# Fader 1 from the bottom to the middle: the controller gets the values, the cap shows its answer.
mark
drag_fader_1
last=$(values SetIntensity 0 | sed 's/.* //')
awk -v v="${last:-x}" 'BEGIN { exit !(v > 0.45 && v < 0.55) }' || fail "fader 1 sent '$last', not about 0.5"
cap_at "$last" || fail "the cap does not show $last"
control playback 0 intensity 0.2
sleep 0.5
cap_at 0.2 || fail "the cap does not follow the controller's 0.2"
# Flash 1, playback button 1 (no click mode: go) and a wheel step up on speed knob 1.
mark
hold 58 987; let_go
await SetFlashDown 0 "true false"
hold 54 115; let_go
await SetGoDown 0 "true false"
click 55 721 4
await SetSpeed 0 "0.100000001"

# Paging: a wheel step down over the grid makes fader 1 work playback 9; End makes flash 1 work 57.
mark
click 400 400 5
drag_fader_1
[ -n "$(values SetIntensity 8)" ] || fail "fader 1 of the second row did not work playback 9"
key End
xdotool keydown 1; sleep 0.3; xdotool keyup 1; sleep 0.3
await SetFlashDown 56 "true false"
key Home

# Rename playback 5 on a German keyboard: a forbidden character (Shift+7 there) and an over-long
# name are refused; an umlaut and an accent composed with the dead key arrive once each, through
# the text input.
mark
setxkbmap -layout de
key n
click 431 115
click 560 487; xdotool type 'A/B'; key Return
click 560 487; xdotool type "$(printf 'x%.0s' $(seq 65))"; key Return
[ -z "$(values SetLabel 4)" ] || fail "a refused name reached the controller"
click 560 487; xdotool type 'Intro Bühne '; xdotool key dead_acute e; key Return
await SetLabel 4 "Intro Bühne é"
setxkbmap -layout us

# Properties of playbacks 1, 2, 9 and 10, chosen by a drag: Solo and the background box go to all.
mark
key p
hold 54 115; pointer 100 150; pointer 149 189; let_go
click 585 502
for i in 0 1 8 9; do await SetGoMode "$i" 3; done
key b
for i in 0 1 8 9; do await SetBackground "$i" true; done
key Escape
# The page as the operator left it, once the marks and read-outs have gone.
sleep 3
shot "$bin/screenshot-playback.png"

# The controller stops answering: the lamp turns red.
kill -USR1 "$TANZO_STANDIN_PID"
lamp_is red 25
kill -USR2 "$TANZO_STANDIN_PID"
stop_program

# German chosen in the options: the page's texts change.
start_program deutsch
lamp_is green 15
sleep 1
shot "$bin/screenshot-playback-deutsch.png"
edit_key() { convert "$1" -crop 72x30+382+35 +repage -format '%#' info:; }
[ "$(edit_key "$bin/screenshot-playback.png")" != "$(edit_key "$bin/screenshot-playback-deutsch.png")" ] ||
  fail "the EDIT key reads the same in German"
stop_program
echo "playback page end to end: passed"
