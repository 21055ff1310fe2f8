#!/usr/bin/env bash
# Presses end to end: the program under Xvfb and the stand-in controller beside it in private
# networks (as scripts/run.sh puts them), clicked and keyed through xdotool with no hold time at
# all. Every press and every release of FLASH 1, of playback button 1 and of the key 1 must reach
# the controller, in order, on the playback it pressed, also when the row of playbacks changes
# between the press and its release, when a second mouse button presses and lets go meanwhile,
# and when the playback pressed is swapped with another before its release. Every wait polls the
# stand-in's record log or the window's pixels, up to thirty seconds.
#   press_e2e.sh SOURCE_DIR BINARY_DIR
set -euo pipefail
src=$1 bin=$2
# shellcheck source=../support/e2e.sh
source "$src/tests/support/e2e.sh"
e2e_private_namespace "$0" "$@"
e2e_begin "$bin/test-files/press_e2e"
start_standin "$bin/bin/standin"
start_xvfb
write_options english
start_program "$bin/bin/Programmer"
await_window
await "the link lamp did not turn green" lamp_is green

taps() { for _ in $(seq "$1"); do printf 'true false '; done | sed 's/ $//'; }
flash_1=(58 987) button_1=(54 115)

# Ten clicks with no hold time on FLASH 1, on playback button 1 (no click mode: its go input),
# and ten taps of the key 1.
mark
pointer "${flash_1[@]}"
xdotool click --repeat 10 --delay 40 1
await_values Playback SetFlashDown 0 "$(taps 10)"
pointer "${button_1[@]}"
xdotool click --repeat 10 --delay 40 1
await_values Playback SetGoDown 0 "$(taps 10)"
mark
xdotool key --repeat 10 --delay 40 1
await_values Playback SetFlashDown 0 "$(taps 10)"

# FLASH 1 held on the first row while Page Down shows the second: the release goes to playback 1.
mark
pointer "${flash_1[@]}"
xdotool mousedown 1 key Next mouseup 1
await_values Playback SetFlashDown 0 "true false"
# The key 1 held on the second row while End shows the last: the release goes to playback 9.
xdotool keydown 1 key End keyup 1
await_values Playback SetFlashDown 8 "true false"
# Neither release went to the row on view when it came.
[ -z "$(received Playback SetFlashDown 8 | sed 's/^true false$//')$(received Playback SetFlashDown 56)" ] ||
  fail "a release went to the row on view: $(received Playback SetFlashDown 8) / $(received Playback SetFlashDown 56)"
[ "$(received Playback SetFlashDown 0)" = "true false" ] || fail "playback 1 got '$(received Playback SetFlashDown 0)'"
xdotool key Home

# Two mouse buttons: the right one clicks the page's background, or presses FLASH 2 (or playback
# button 2) and lets go before or after the left one on FLASH 1 (or playback button 1), in each
# order. Every press is answered by its own release, and no FLASH key is left lit.
flash_2=(152 987) button_2=(148 115) background=(300 10) swap=(646 49)
flashes_up=$(crop 166x60+22+957)
mark
pointer "${flash_1[@]}"
xdotool mousedown 1
pointer "${background[@]}"
xdotool click 3
xdotool mouseup 1
await_values Playback SetFlashDown 0 "true false"
both_buttons() {  # FIRST_DOWN... SECOND_DOWN... RELEASES: the left button is 1, the right 3
  pointer "$1" "$2"
  xdotool mousedown "$3"
  pointer "$4" "$5"
  xdotool mousedown "$6" mouseup "$7" mouseup "$8"
}
for order in "1 3 1 3" "1 3 3 1" "3 1 3 1" "3 1 1 3"; do
  read -r first second up_first up_second <<<"$order"
  mark
  both_buttons "${flash_1[@]}" "$first" "${flash_2[@]}" "$second" "$up_first" "$up_second"
  await_values Playback SetFlashDown 0 "true false"
  await_values Playback SetFlashDown 1 "true false"
  mark
  both_buttons "${button_1[@]}" "$first" "${button_2[@]}" "$second" "$up_first" "$up_second"
  await_values Playback SetGoDown 0 "true false"
  await_values Playback SetGoDown 1 "true false"
done
await "a FLASH key stayed lit" unchanged 166x60+22+957 "$flashes_up"

# The playback flashed is swapped before its release: the key 1 held while the mouse swaps
# playbacks 1 and 2, then FLASH 1 held with the left button while the right one swaps them back.
# Each release goes to where the playback flashed stands by then, playback 2.
swapped_while_held() {  # HOLD LET_GO MOUSE_BUTTON
  mark
  $1
  for at in "${swap[*]}" "${button_1[*]}" "${button_2[*]}"; do
    # shellcheck disable=SC2086 # X and Y
    pointer $at
    xdotool click "$3"
  done
  await "the swap did not reach the controller" logged 'command=73:Swap index=0,1,'
  $2
  await_values Playback SetFlashDown 1 "false"
  [ "$(received Playback SetFlashDown 0)" = "true" ] || fail "playback 1 got '$(received Playback SetFlashDown 0)'"
}
hold_flash_1() { pointer "${flash_1[@]}" && xdotool mousedown 1; }
swapped_while_held "xdotool keydown 1" "xdotool keyup 1" 1
swapped_while_held hold_flash_1 "xdotool mouseup 1" 3

stop_program
echo "presses end to end: passed"
