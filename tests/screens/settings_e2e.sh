#!/usr/bin/env bash
# The settings page end to end: the program under Xvfb and the stand-in controller beside it in a
# private network (as scripts/run.sh puts them), driven with real pointer and key input through
# xdotool. The operator chooses the stand-in's unit, edits its name, address, Art-Net and sACN
# settings, which are read back from the stand-in, and changes the language, which is read back
# from the window's pixels. Leaves BINARY_DIR/screenshot-settings.png (and -deutsch.png).
#   settings_e2e.sh SOURCE_DIR BINARY_DIR
set -euo pipefail
src=$1 bin=$2
# shellcheck source=../support/e2e.sh
source "$src/tests/support/e2e.sh"
e2e_private_namespace "$0" "$@"
e2e_begin "$bin/test-files/settings_e2e"
start_standin "$bin/bin/standin"
start_xvfb
# As on its first day: no options, no unit chosen.
start_program "$bin/bin/Programmer"
await_window

title=150x30+220+35      # the page's title
dialog=40x200+185+400    # the title bar of a dialog in the middle of the window
settings_match() { standin_control show settings | grep -- "$1" >/dev/null; }
await_settings() {  # a pattern the stand-in's unit settings come to match
  poll settings_match "$1" || fail "the unit's settings never matched '$1': $(standin_control show settings)"
}
# Clicks a key that opens a dialog, and waits for it.
open_dialog() {  # X Y
  local before
  before=$(crop $dialog)
  click "$1" "$2"
  await "the key at $1,$2 opened no dialog" changed $dialog "$before"
}

# OPTIONS on the playback page; the units answer the discovery broadcast within seconds.
playback_title=$(crop $title)
click 151 49
await "OPTIONS did not show the settings page" changed $title "$playback_title"
listed() { [ "$(crop 120x40+60+108)" != "$(crop 120x40+60+468)" ]; }
await "no unit was listed" listed
click 110 128
await "the link lamp did not turn green" lamp_is green
await "the controller's show was never read" show_read
shot "$bin/screenshot-settings.png"

# Name, Art-Net 12.3 switched on, sACN 100, a static subnet, then DHCP.
open_dialog 709 175; key BackSpace BackSpace BackSpace BackSpace BackSpace; xdotool type Gala; key Return
await_settings " label=Gala$"
open_dialog 709 224; key space 1 2 period 3 Return
await_settings "artnet=1 artnet-universe=195 "
open_dialog 709 273; key 1 0 0 Return
await_settings " acn-universe=100 "
open_dialog 709 121; key Tab; for _ in $(seq 13); do key BackSpace; done; xdotool type 255.255.0.0; key Return
await_settings " subnet=255.255.0.0 ip=192.168.77.2:16946 "
open_dialog 709 121; click 414 411; key Return
await_settings " dhcp=1 "

# A new show: its hint first, then the show on disk.
open_dialog 709 597; shot "$work/hint.png"; key Return
show_file() { [ -f "$XDG_DATA_HOME/Zevral/Programmer/show1.show" ]; }
await "NEW made no show file" show_file

# Deutsch, the first row of the language list: this page and the playback page read differently.
new_key=$(crop 100x45+659+575)
settings_title=$(crop $title)
click 151 49
await "OPTIONS did not go back to the playback page" changed $title "$settings_title"
edit_key=$(crop 72x30+382+35)
click 151 49
await "OPTIONS did not come back to the settings page" unchanged $title "$settings_title"
click 110 604
await "Deutsch did not change the NEW key" changed 100x45+659+575 "$new_key"
shot "$bin/screenshot-settings-deutsch.png"
settings_title=$(crop $title)
key Escape
await "Escape did not go back to the playback page" changed $title "$settings_title"
changed 72x30+382+35 "$edit_key" || fail "the playback page's EDIT key reads the same in German"
echo "settings page end to end: passed"
