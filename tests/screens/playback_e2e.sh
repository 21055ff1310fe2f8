#!/usr/bin/env bash
# The playback page end to end: the program under Xvfb and the stand-in controller beside it in
# private networks (as scripts/run.sh puts them), driven with real pointer and key input through
# xdotool. What reaches the controller is read from the stand-in's record log, what comes back
# from the window's pixels. The program starts as a returning user does: its options file names
# the stand-in's first unit. Leaves BINARY_DIR/screenshot-playback.png (and -deutsch.png, and
# -silent-under-dialog.png: the controller silent while the rename dialog is open).
#   playback_e2e.sh SOURCE_DIR BINARY_DIR
set -euo pipefail
src=$1 bin=$2
# shellcheck source=../support/e2e.sh
source "$src/tests/support/e2e.sh"
e2e_private_namespace "$0" "$@"
e2e_begin "$bin/test-files/playback_e2e"
start_standin "$bin/bin/standin" --script "$src/tests/screens/playback_show.txt"
start_xvfb

drag_fader_1() { hold 55 902; for y in 892 882 872 862 852 842; do pointer 55 $y; done; let_go; }
# Whether fader 1's cap shows the value: the bright line across its middle lies on the value's row.
cap_at() {
  shot "$work/probe.png"
  /usr/bin/convert "$work/probe.png" -crop "1x5+55+$(awk -v v="$1" 'BEGIN { printf "%d", 903 - 121 * v + 0.5 }')" \
    -format '%[fx:int(255*maxima.r)]' info: | awk '{ exit !($1 > 200) }'
}
some_received() { [ -n "$(received "$@")" ]; }
dialog=40x200+185+400         # the title bar of a dialog over the grid
message=130x18+235+600        # the rename dialog's line for a name it refuses
playback_1_line=48x16+33+88   # the first line of playback 1
playback_9_line=48x16+33+162  # the first line of playback 9: its label, a read-out or a mark

write_options english
start_program "$bin/bin/Programmer"
await_window
await "the link lamp did not turn green" lamp_is green
await "the controller's show was never read" show_read

# Fader 1 from the bottom to the middle: the controller gets the values, the cap shows its answer.
mark
drag_fader_1
await_last_value Playback SetIntensity 0 between 0.45 0.55
last=$(received Playback SetIntensity 0 | sed 's/.* //')
await "the cap does not show $last" cap_at "$last"
standin_control playback 0 intensity 0.2 >/dev/null
await "the cap does not follow the controller's 0.2" cap_at 0.2
# Flash 1, playback button 1 (no click mode: go) and a wheel step up on speed knob 1. Each press
# reaches the controller before its release is given.
mark
hold 58 987
await_values Playback SetFlashDown 0 "true"
let_go
await_values Playback SetFlashDown 0 "true false"
hold 54 115
await_values Playback SetGoDown 0 "true"
let_go
await_values Playback SetGoDown 0 "true false"
click 55 721 4
await_values Playback SetSpeed 0 "0.100000001"

# Paging: a wheel step down over the grid makes fader 1 work playback 9; End makes flash 1 work 57.
label_9=$(crop $playback_9_line)
mark
click 400 400 5
drag_fader_1
await "fader 1 of the second row did not work playback 9" some_received Playback SetIntensity 8
key End
key_down 1
await_values Playback SetFlashDown 56 "true"
key_up 1
await_values Playback SetFlashDown 56 "true false"
key Home

# Rename playback 5 on a German keyboard: a forbidden character (Shift+7 there) and an over-long
# name are refused with a reason, and Return sends neither; an umlaut and an accent composed with
# the dead key arrive once each, through the text input.
mark
setxkbmap -layout de
key n
before=$(crop $dialog)
click 431 115
await "the rename dialog did not open" changed $dialog "$before"
none=$(crop $message)
click 560 487; xdotool type 'A/B'
await "A/B is not refused" changed $message "$none"
key Return
invalid=$(crop $message)
other_reason() { changed $message "$none" && changed $message "$invalid"; }
click 560 487; xdotool type "$(printf 'x%.0s' $(seq 65))"
await "65 characters are not refused" other_reason
key Return
click 560 487; xdotool type 'Intro Bühne '; xdotool key dead_acute e; key Return
await_values Playback SetLabel 4 "Intro Bühne é"
setxkbmap -layout us

# Properties of playbacks 1, 2, 9 and 10, chosen by a drag: Solo and the background box go to all.
mark
key p
before=$(crop $dialog)
hold 54 115; pointer 100 150; pointer 149 189; let_go
await "the properties dialog did not open" changed $dialog "$before"
click 585 502
for i in 0 1 8 9; do await_values Playback SetGoMode "$i" 3; done
key b
for i in 0 1 8 9; do await_values Playback SetBackground "$i" true; done
key Escape
await "the properties dialog did not close" unchanged $dialog "$before"
# The page as the operator left it, once the marks and read-outs have gone.
await "playback 9 keeps its mark or read-out" unchanged $playback_9_line "$label_9"
shot "$bin/screenshot-playback.png"
edit_key=$(crop 72x30+382+35)

# The controller stops answering: the lamp turns red, and green again when it answers.
silenced=$SECONDS
kill -USR1 "$standin_pid"
await "the link lamp did not turn red" lamp_is red
echo "The lamp turned red $((SECONDS - silenced)) s after the controller went silent"
kill -USR2 "$standin_pid"
await "the link lamp did not turn green again" lamp_is green

# Under an open dialog the page goes on showing the controller's state beside it: a playback's
# label follows the controller, and the lamp turns red when the controller goes silent and green
# when it answers again.
key n
before=$(crop $dialog)
click 431 115
await "the rename dialog did not open" changed $dialog "$before"
label_1=$(crop $playback_1_line)
standin_control playback 0 label Outro >/dev/null
await "playback 1's label does not follow the controller under the dialog" changed $playback_1_line "$label_1"
silenced=$SECONDS
kill -USR1 "$standin_pid"
await "the link lamp did not turn red under the dialog" lamp_is red
echo "Under a dialog the lamp turned red $((SECONDS - silenced)) s after the controller went silent"
shot "$bin/screenshot-playback-silent-under-dialog.png"
kill -USR2 "$standin_pid"
await "the link lamp did not turn green again under the dialog" lamp_is green
key Escape
await "the rename dialog did not close" unchanged $dialog "$before"
stop_program

# German chosen in the options: the page's texts change.
write_options deutsch
start_program "$bin/bin/Programmer"
await_window
await "the link lamp did not turn green" lamp_is green
await "the EDIT key reads the same in German" changed 72x30+382+35 "$edit_key"
shot "$bin/screenshot-playback-deutsch.png"
stop_program
echo "playback page end to end: passed"
