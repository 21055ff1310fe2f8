#!/usr/bin/env bash
# Presses end to end: the program under Xvfb and the stand-in controller beside it in private
# networks (as scripts/run.sh puts them), clicked and keyed through xdotool with no hold time at
# all. Every press and every release of FLASH 1, of playback button 1 and of the key 1 must reach
# the controller, in order, on the playback it pressed, also when the row of playbacks changes
# between the press and its release. Every wait polls the stand-in's record log or the window's
# pixels, up to thirty seconds.
#   press_e2e.sh SOURCE_DIR BINARY_DIR
set -euo pipefail
src=$1 bin=$2
if [ "${TANZO_E2E_INNER:-}" != 1 ]; then
  export TANZO_E2E_INNER=1
  exec bash "$src/scripts/netns.sh" bash "$0" "$@"
fi
work=$bin/test-files/press_e2e
rm -rf "$work" && mkdir -p "$work"
root=$src pids=() program=
trap 'for p in $program "${pids[@]}"; do kill "$p" 2>/dev/null || true; done' EXIT
fail() {
  echo "FAILED: $*"; tail -n 30 "$log" "$work/program.log" || true
  [ -z "${xid:-}" ] || import -window "$xid" "$work/failure.png" 2>/dev/null || true
  exit 1
}
# Polls the command (a tenth of a second apart) until it holds, for at most thirty seconds.
within_30s() { for _ in $(seq 300); do "$@" && return 0; sleep 0.1; done; return 1; }

export TANZO_STANDIN=$bin/bin/standin TANZO_STANDIN_LOG=$work/standin.log
unset TANZO_STANDIN_UNITS TANZO_STANDIN_CONTROL TANZO_STANDIN_ARGS
log=$TANZO_STANDIN_LOG xid=
# shellcheck source=/dev/null
source "$src/scripts/run-beside.sh"
[ -n "${TANZO_STANDIN_PID:-}" ] || fail "no stand-in started"

# Only the abstract socket, which belongs to this network namespace: an X server of another run may
# have chosen the same display number.
Xvfb -displayfd 3 -screen 0 1024x1280x24 -nolisten tcp -nolisten unix 3>"$work/display" >/dev/null 2>&1 &
pids+=($!)
within_30s test -s "$work/display" || fail "no X server"
export DISPLAY=:$(cat "$work/display") SDL_AUDIODRIVER=dummy TANZO_UPDATE_URL= XDG_DATA_HOME=$work/home
unset SDL_VIDEODRIVER SDL_RENDER_DRIVER
# A returning user: the options name the stand-in's first unit.
mkdir -p "$XDG_DATA_HOME/Zevral/Programmer"
echo "<zevral><options><device>192.168.77.2</device></options></zevral>" \
  > "$XDG_DATA_HOME/Zevral/Programmer/options.xml"
"$bin/bin/Programmer" >> "$work/program.log" 2>&1 &
program=$!
xid=$(timeout 30 xdotool search --sync --name "^Tanzo Programmer$" | head -n 1) || fail "no window"

# The link lamp turns green once the page is drawn and the unit answers.
lamp_green() {
  import -window "$xid" "$work/probe.png" 2>/dev/null || return 1
  read -r r g <<< "$(convert "$work/probe.png" -crop 1x1+206+52 -format '%[fx:int(255*r)] %[fx:int(255*g)]' info:)"
  [ "$g" -gt $((r + 25)) ]
}
within_30s lamp_green || fail "the link lamp did not turn green"

# The values of the link records of a command and playback that arrived since the mark, in order,
# each sequence number once (a resend of a record is the same record).
mark() { mark=$(wc -l < "$log"); }
values() {
  tail -n +$((mark + 1)) "$log" | grep "^rx link .* command=[0-9]*:$1 index=$2," |
    sed 's/.* \(seq=[0-9]*\) .* value=\(.*\)$/\1 \2/' | awk '!seen[$0]++ { print $2 }' | tr '\n' ' ' |
    sed 's/ $//' || true
}
has_values() { [ "$(values "$1" "$2")" = "$3" ]; }
await() {  # COMMAND INDEX VALUES
  within_30s has_values "$1" "$2" "$3" || fail "$1 of playback $(($2 + 1)): got '$(values "$1" "$2")', expected '$3'"
}
taps() { for _ in $(seq "$1"); do printf 'true false '; done | sed 's/ $//'; }
at() { xdotool mousemove --window "$xid" "$1" "$2"; }
flash_1=(58 987) button_1=(54 115)

# Ten clicks with no hold time on FLASH 1, on playback button 1 (no click mode: its go input),
# and ten taps of the key 1.
mark
at "${flash_1[@]}"
xdotool click --repeat 10 --delay 40 1
await SetFlashDown 0 "$(taps 10)"
at "${button_1[@]}"
xdotool click --repeat 10 --delay 40 1
await SetGoDown 0 "$(taps 10)"
mark
xdotool key --repeat 10 --delay 40 1
await SetFlashDown 0 "$(taps 10)"

# FLASH 1 held on the first row while Page Down shows the second: the release goes to playback 1.
mark
at "${flash_1[@]}"
xdotool mousedown 1 key Next mouseup 1
await SetFlashDown 0 "true false"
# The key 1 held on the second row while End shows the last: the release goes to playback 9.
xdotool keydown 1 key End keyup 1
await SetFlashDown 8 "true false"
# Neither release went to the row on view when it came.
[ -z "$(values SetFlashDown 8 | sed 's/^true false$//')$(values SetFlashDown 56)" ] ||
  fail "a release went to the row on view: $(values SetFlashDown 8) / $(values SetFlashDown 56)"
[ "$(values SetFlashDown 0)" = "true false" ] || fail "playback 1 got '$(values SetFlashDown 0)'"
xdotool key Home

kill "$program"; wait "$program" 2>/dev/null || true; program=
echo "presses end to end: passed"
