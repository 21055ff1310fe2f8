#!/usr/bin/env bash
# A show load aborted end to end: the program under Xvfb beside the stand-in controller in private
# networks (as scripts/run.sh puts them), driven through xdotool. The controller holds no fixtures,
# answers each record 100 ms late and announces no change; the operator opens a show that patches
# fixtures 1-7 and presses Escape once a few of its records have reached the controller. A few
# seconds later, while the controller is still slow and reading the rest of the show back would
# take it more than a minute, and again two seconds after its last answer, the patch page must
# show what the controller holds, which is what the patch page of a program started afresh
# beside it shows. Right after the first look the operator presses INVERT PAN on fixture 7,
# which the show would have inverted had its records not been taken back: the controller must
# end inverting it, and a second press must turn it off again.
#   load_abort_e2e.sh SOURCE_DIR BINARY_DIR
set -euo pipefail
src=$1 bin=$2
# shellcheck source=../support/e2e.sh
source "$src/tests/support/e2e.sh"
e2e_private_namespace "$0" "$@"
e2e_begin "$bin/test-files/load_abort_e2e"
start_standin "$bin/bin/standin"
start_xvfb
write_options english
{
  echo '<?xml version="1.0" encoding="UTF-8" standalone="no" ?>'
  echo '<show application="Tanzo" version="1.7.0"><fixtures>'
  for slot in 0 1 2 3 4 5 6; do
    inverted=''
    [ $slot -ne 6 ] || inverted=' invert_pan="true"'
    echo "<fixture index=\"$slot\" label=\"Wash$((slot + 1))\" address=\"$((slot * 4 + 1))\"$inverted" \
      'manufacturer="Generic" model="Generic RGB" mode="RGB Dimmer" profile="04050601"/>'
  done
  echo '</fixtures></show>'
} >"$XDG_DATA_HOME/Zevral/Programmer/Washes.show"

options=(151 49) patch=(50 49) first_show=(260 604) open=(709 798) tile7=(619 149) invert_pan=(408 965)
grid=750x720+8+103
# Another page, by the key in the top bar.
to_page() {  # X Y
  local title
  title=$(crop 150x30+220+35)
  click "$1" "$2"
  await "the key at $1,$2 showed no other page" changed 150x30+220+35 "$title"
}
link_answers() { grep -c '^tx link' "$standin_log" || true; }
pan_inverted() {  # 1|0: whether the controller inverts fixture 7's pan
  local properties
  properties=$(standin_control show fixture 6 | sed -n 's/.* properties=\(0x[0-9a-fA-F]*\).*/\1/p')
  [ -n "$properties" ] && [ $((properties & 1)) -eq "$1" ]
}

start_program "$bin/bin/Programmer"
await_window
await "the link lamp did not turn green" lamp_is green
await "the controller's show was never read" show_read
standin_control delay 100 >/dev/null
standin_control notify-frames off >/dev/null
to_page "${options[@]}"
click "${first_show[@]}"
mark
click "${open[@]}"
fixture_records() { [ "$(tail -n +$((e2e_mark + 1)) "$standin_log" | grep -c '^rx link .*manager=31:Fixture')" -ge 4 ]; }
await "the show's first records never reached the controller" fixture_records
key Escape
sleep 4
to_page "${patch[@]}"
soon=$(crop $grid)
shot "$work/soon.png"
click "${tile7[@]}"
click "${invert_pan[@]}"
await "one INVERT PAN press right after the abort did not invert fixture 7" pan_inverted 1
click "${invert_pan[@]}"
await "a second INVERT PAN press did not turn fixture 7's inversion off" pan_inverted 0
key BackSpace
standin_control delay 0 >/dev/null
standin_control notify-frames on >/dev/null
await "the controller kept answering" steady_for_a_second link_answers
sleep 1
aborted=$(crop $grid)
shot "$work/aborted.png"
for slot in 0 1 2 3 4 5 6 7; do echo "fixture $((slot + 1)) at the controller: $(standin_control show fixture $slot)"; done
stop_program

# Afresh: the program reads everything from the controller.
mark
start_program "$bin/bin/Programmer"
await_window
await "the link lamp did not turn green after the restart" lamp_is green
await "the controller's show was never read after the restart" show_read
await "the controller kept answering after the restart" steady_for_a_second link_answers
to_page "${options[@]}"
to_page "${patch[@]}"
shot "$work/afresh.png"
afresh=$(crop $grid)
[ "$soon" = "$afresh" ] ||
  fail "soon after the abort the patch page ($work/soon.png) differs from the controller's ($work/afresh.png)"
[ "$aborted" = "$afresh" ] ||
  fail "after the abort the patch page ($work/aborted.png) differs from the controller's ($work/afresh.png)"
echo "aborted load end to end: passed"
