#!/usr/bin/env bash
# The edit page end to end: the program under Xvfb and the stand-in controller beside it in private
# networks (as scripts/run.sh puts them), driven with real pointer input through xdotool. The
# stand-in holds four patched washes; the operator opens playback 1 for editing, drags over the
# washes, raises the intensity fader, then red and green at once, and records cue 1. What reaches
# the controller is read from the stand-in's record log and its own show state, what comes back
# from the window's pixels.
# Leaves BINARY_DIR/screenshot-edit.png.
#   edit_e2e.sh SOURCE_DIR BINARY_DIR
set -euo pipefail
src=$1 bin=$2
# shellcheck source=../support/e2e.sh
source "$src/tests/support/e2e.sh"
e2e_private_namespace "$0" "$@"
e2e_begin "$bin/test-files/edit_e2e"
start_standin "$bin/bin/standin" --script "$src/tests/screens/edit_show.txt"
start_xvfb
write_options english
start_program "$bin/bin/Programmer"
await_window

# The stand-in's own view of its show.
cue_holds_washes() { standin_control show cue 0 0 | grep 'fixtures=0xf ' >/dev/null; }
# The share of the rectangle's pixels that are plainly red, and that are bright.
red_share() { shot "$work/probe.png"; /usr/bin/convert "$work/probe.png" -crop "$1" +repage -fx 'r > 0.7 && g < 0.3' -format '%[fx:mean]' info:; }
bright_share() { shot "$work/probe.png"; /usr/bin/convert "$work/probe.png" -crop "$1" +repage -colorspace Gray -fx 'u > 0.6' -format '%[fx:mean]' info:; }
more_than() { awk -v v="$1" -v t="$2" 'BEGIN { exit !(v > t) }'; }

await "the link lamp did not turn green" lamp_is green
await "the fixtures were never read" logged 'manager=31:Fixture command=[0-9]*:GetLabel index=63,'

# EDIT as the click mode, then playback 1: the page title changes from PLAYBACK to EDIT.
title=$(crop 150x24+228+37)
click 417 49
click 54 115
await "the edit page did not open" changed 150x24+228+37 "$title"

# A drag over the first four tiles selects the washes: the controller gets the mask, and once it
# has reported it the intensity fader, greyed out while nothing was selected, comes alive.
fader=$(crop 26x150+368+830)
mark
hold 48 287; pointer 150 287; pointer 290 287; let_go
await_last_value Programmer SetFixtures 0,0,0 equals "0xF"
await "the intensity fader stays greyed out" changed 26x150+368+830 "$fader"
# The fader from the bottom to about the middle: the controller gets the levels, and the meter
# lights up to what it reports.
unlit=$(bright_share 20x40+371+930)
mark
hold 381 985
for y in 970 950 930 910 905; do pointer 381 $y; done
let_go
await_last_value ProgrammerChange SetValue 0,0,0 between 0.4 0.6
meter_lit() { more_than "$(bright_share 20x40+371+930)" "$(awk -v u="$unlit" 'BEGIN { print u + 0.2 }')"; }
await "the intensity meter does not light up" meter_lit
last=$(received ProgrammerChange SetValue 0,0,0 | sed 's/.* //')
between 0.4 0.6 "$last" || fail "the intensity fader ended at '$last', not about half"

# Red and green raised at once, the controller answering late: the colour it gets keeps both.
standin_control delay 100 >/dev/null
mark
xdotool mousemove --window "$xid" 221 860 click 1 mousemove --window "$xid" 253 930 click 1
red_and_green() { [[ $1 =~ ^rgbaw([0-9A-F]{2})([0-9A-F]{2}) ]] && [ "${BASH_REMATCH[1]}" != 00 ] && [ "${BASH_REMATCH[2]}" != 00 ]; }
await_last_value ProgrammerChange SetValue 4,0,0 red_and_green
standin_control delay 0 >/dev/null

# Cue 1 chosen and RECORD: the controller records the washes into it, the cue cell and the washes'
# tiles turn red.
mark
click 57 150
click 709 694
await_values Programmer Record 0,0,0 "-"
await "cue 1 does not hold the washes" cue_holds_washes
cue_red() { more_than "$(red_share 4x60+10+120)" 0.3; }
await "the recorded cue's cell is not framed red" cue_red
tiles_red() { more_than "$(red_share 4x40+9+265)" 0.3; }
await "the washes' tiles are not drawn as used" tiles_red
shot "$bin/screenshot-edit.png"

# BACK: the programmer goes blind and the playback page comes back.
mark
click 51 49
await_values Programmer SetBlind 0,0,0 "true"
stop_program
echo "edit page end to end: passed"
