# Sourced by every script that runs the whole program or the stand-in controller: a private
# network namespace, the stand-in beside the program, a private X server, the program with its
# options, waits for conditions, and the checks every run ends with (each process it started ends
# with the status expected of it and without a sanitizer report).
#
# A new end-to-end script:
#
#   #!/usr/bin/env bash
#   # What the operator does and what is checked.   my_e2e.sh SOURCE_DIR BINARY_DIR
#   set -euo pipefail
#   source "$1/tests/support/e2e.sh"
#   e2e_private_namespace "$0" "$@"   # runs the script again in a network namespace of its own
#   e2e_begin "$2/test-files/my_e2e"  # an empty work folder $work; checks and cleanup at exit
#   start_standin "$2/bin/standin" --script "$1/tests/screens/my_show.txt"
#   start_xvfb
#   write_options english             # as a returning user's: the stand-in's first unit chosen
#   start_program "$2/bin/Programmer"
#   await_window                      # $xid
#   await "the link lamp did not turn green" lamp_is green
#   mark
#   click 54 115
#   await_values Playback SetGoDown 0 "true false"
#   stop_program                      # fails on a status other than 0 or a sanitizer report
#   echo "my page end to end: passed"
#
# Every wait polls its condition for up to $e2e_patience seconds (30), so a busy machine slows a
# run down instead of failing it; no step sleeps for a fixed time hoping something has happened.
# The stand-in and the program are checked at exit as stop_program checks the program.

e2e_patience=30
e2e_helpers=()  # processes that only serve the run: stopped at its end
e2e_problem='' e2e_report='' e2e_status=0
e2e_mark=0
program_pid='' program_out=''
standin_pid='' standin_out='' standin_log=''
xid=''

# Runs the calling script again inside a network namespace of its own that has nothing but
# loopback: the program broadcasts from its first second, and each run needs a namespace of its
# own for the stand-in's link beside it. Returns at once when already inside.
e2e_private_namespace() {  # SCRIPT ARGUMENTS...
  [ "${TANZO_E2E_NAMESPACE:-}" = "$1" ] && return 0
  export TANZO_E2E_NAMESPACE=$1
  exec bash "$(dirname "${BASH_SOURCE[0]}")/../../scripts/netns.sh" bash "$@"
}

# An empty work folder, the environment of a test run (the user's data inside the folder, dummy
# audio, no update server, the renderer the program chooses itself), and the checks and cleanup
# at exit.
e2e_begin() {  # WORK_FOLDER
  work=$1
  rm -rf "$work"
  mkdir -p "$work/home"
  export XDG_DATA_HOME=$work/home TANZO_UPDATE_URL= SDL_AUDIODRIVER=dummy
  unset SDL_RENDER_DRIVER SDL_FRAMEBUFFER_ACCELERATION
  # The stand-in a test puts beside the program is its own, whatever scripts/run.sh is given.
  unset TANZO_STANDIN_UNITS TANZO_STANDIN_LOG TANZO_STANDIN_CONTROL
  trap e2e_end EXIT
}

# At exit: a run that passed so far still fails when the program or the stand-in does not end
# cleanly or reported a sanitizer finding; whatever is left running is stopped.
e2e_end() {
  local status=$? problem='' report='' pid
  set +e
  if [ -n "$program_pid" ]; then
    e2e_stop "$program_pid" "$program_out" 0 "the program"
    problem=$e2e_problem report=$e2e_report
  fi
  if [ -n "$standin_pid" ]; then
    e2e_sequence_check
    [ -n "$problem" ] || problem=$e2e_problem
    e2e_stop "$standin_pid" "$standin_out" 0 "the stand-in"
    [ -n "$problem" ] || problem=$e2e_problem report=$e2e_report
  fi
  for pid in "${e2e_helpers[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${e2e_helpers[@]}"; do wait "$pid" 2>/dev/null; done
  if [ $status -eq 0 ] && [ -n "$problem" ]; then
    echo "FAILED: $problem"
    [ -z "$report" ] || printf -- '--- sanitizer report\n%s\n' "$report"
    exit 1
  fi
}

# Ends the run with the reason, the last lines the stand-in logged, the sanitizer report of the
# process that ended with one or else the program's last lines of output, and a picture of its
# window.
fail() {  # MESSAGE
  echo "FAILED: $*"
  if [ -n "$standin_log" ] && [ -f "$standin_log" ]; then
    echo "--- stand-in log (last lines)"
    tail -n 20 "$standin_log"
  fi
  [ -n "$e2e_report" ] || [ -z "$program_out" ] || e2e_report=$(sanitizer_report "${program_pid:-0}" "$program_out")
  if [ -n "$e2e_report" ]; then
    echo "--- sanitizer report"
    echo "$e2e_report"
  elif [ -n "$program_out" ] && [ -f "$program_out" ]; then
    echo "--- program output (last lines)"
    tail -n 30 "$program_out"
  fi
  if [ -n "$xid" ] && shot "$work/failure.png" 2>/dev/null; then
    echo "--- window: $work/failure.png"
  fi
  exit 1
}

# Polls the command until it succeeds, for up to the patience; false when it never did.
poll() {  # COMMAND...
  local deadline=$((SECONDS + e2e_patience))
  until "$@"; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.1
  done
  e2e_synced=${EPOCHREALTIME/./}
}

# Polls the command until it succeeds; fails the run with the description when it has not within
# the patience.
await() {  # DESCRIPTION COMMAND...
  local what=$1
  shift
  poll "$@" || fail "$what (waited ${e2e_patience} s)"
}

# --- exit statuses and sanitizer reports ---

# The sanitizer reports a process wrote: into its output, or into files of its own where
# TANZO_SANITIZER_REPORTS names the folder the sanitizers' log_path points into.
sanitizer_report() {  # PID OUTPUT_FILE
  local file
  if [ -n "$2" ] && [ -f "$2" ]; then
    sed -n '/Sanitizer\|runtime error:/,$p' "$2"
  fi
  if [ -n "${TANZO_SANITIZER_REPORTS:-}" ]; then
    for file in "$TANZO_SANITIZER_REPORTS"/*."$1"; do
      [ -f "$file" ] && cat "$file"
    done
  fi
  return 0
}

# Ends the process with SIGTERM unless it has ended already (SIGKILL after the patience), leaving
# its exit status in e2e_status. Sets e2e_problem to what is wrong with its end, empty when nothing
# is: a status other than the one expected, or a sanitizer report, which it leaves in e2e_report.
e2e_stop() {  # PID OUTPUT_FILE EXPECTED_STATUS NAME
  local pid=$1 out=$2 expected=$3 name=$4 status=0 deadline=$((SECONDS + e2e_patience))
  e2e_problem=''
  kill -TERM "$pid" 2>/dev/null || true
  while kill -0 "$pid" 2>/dev/null && [ $SECONDS -lt $deadline ]; do sleep 0.1; done
  if kill -0 "$pid" 2>/dev/null; then
    kill -KILL "$pid" 2>/dev/null || true
    e2e_problem="$name was still running ${e2e_patience} s after SIGTERM"
  fi
  wait "$pid" 2>/dev/null || status=$?
  e2e_status=$status
  e2e_report=$(sanitizer_report "$pid" "$out")
  if [ -n "$e2e_report" ]; then
    e2e_problem="$name reported a sanitizer finding (status $status)"
  elif [ -z "$e2e_problem" ] && [ "$status" != "$expected" ]; then
    e2e_problem="$name ended with status $status, not $expected"
  fi
}

# Ends the process with SIGTERM unless it has ended already; fails the run unless it ends with
# the status expected (0) and without a sanitizer report.
stop_checked() {  # PID OUTPUT_FILE NAME [EXPECTED_STATUS]
  e2e_stop "$1" "$2" "${4:-0}" "$3"
  [ -z "$e2e_problem" ] || fail "$e2e_problem"
}

# --- the stand-in controller beside the program ---

# A second private network namespace beside this one, held open by a sleeping process
# ($e2e_peer), joined to this one by a veth pair: 192.168.77.1/24 on this side, the addresses given
# on the other, and on each side the default route through the pair, so that broadcasts to
# 255.255.255.255 and 192.168.77.255 reach the other side while nothing can leave either.
e2e_peer_namespace() {  # ADDRESS...
  # Only ever beside a namespace that has nothing but loopback: the pair must not touch a real
  # network.
  local links setup="ip link set lo up" address
  links=$(ip -o link show | awk -F': ' '{print $2}' | tr '\n' ' ')
  [ "$links" = "lo " ] || fail "this namespace has links other than loopback ($links): no namespace beside it"
  # unshare enters the new namespace only after it has started.
  unshare --net -- sleep infinity &
  e2e_peer=$!
  e2e_helpers+=("$e2e_peer")
  e2e_peer_moved() { [ "$(readlink "/proc/$e2e_peer/ns/net")" != "$(readlink /proc/self/ns/net)" ]; }
  await "the namespace beside did not come up" e2e_peer_moved

  ip link add tz-program type veth peer name tz-standin netns "$e2e_peer"
  ip addr add 192.168.77.1/24 brd + dev tz-program
  ip link set tz-program up
  ip route add default dev tz-program
  for address in "$@"; do setup="$setup; ip addr add $address/24 brd + dev tz-standin"; done
  nsenter --target "$e2e_peer" --net -- sh -c "$setup; ip link set tz-standin up; ip route add default dev tz-standin"
}

# Puts the stand-in controller beside this shell, in a namespace of its own (e2e_peer_namespace),
# where the program's discovery broadcasts reach it. Its switches follow.
#   TANZO_STANDIN_UNITS  its units, ADDRESS,TYPE,UNITPORT,LABEL separated by blanks, addresses in
#                        192.168.77.2-254 (default: a KDX-1 at .2 and a Murel-1 at .3)
#   TANZO_STANDIN_LOG    its event log (default: standin.log in the work folder)
#   TANZO_STANDIN_CONTROL  its control port on its own loopback (default 16999)
# Sets standin_pid and standin_log: SIGUSR1 makes it stop answering, SIGUSR2 brings it back, and
# standin_control hands it a control command.
start_standin() {  # STANDIN [SWITCHES...]
  standin=$1
  shift
  [ -x "$standin" ] || fail "no stand-in controller at $standin"
  local units=${TANZO_STANDIN_UNITS:-"192.168.77.2,KDX-1,16946,Stage 192.168.77.3,Murel-1,16946,Rack"}
  local addresses=() args=() entry
  for entry in $units; do
    addresses+=("${entry%%,*}")
    args+=(--unit "$entry")
  done
  e2e_peer_namespace "${addresses[@]}"

  standin_log=${TANZO_STANDIN_LOG:-$work/standin.log}
  standin_control_port=${TANZO_STANDIN_CONTROL:-16999}
  standin_out=$work/standin-output.txt
  : >"$standin_log"
  nsenter --target "$e2e_peer" --net -- "$standin" "${args[@]}" --log "$standin_log" \
    --control "$standin_control_port" "$@" >"$standin_out" 2>&1 &
  standin_pid=$!
  e2e_standin_ready() {
    kill -0 "$standin_pid" 2>/dev/null || fail "the stand-in ended at start: $(cat "$standin_out")"
    grep -q '^ready' "$standin_log"
  }
  await "the stand-in did not start" e2e_standin_ready
  echo "Stand-in controller beside the program (pid $standin_pid, log $standin_log): $units"
}

# Hands a control command to the stand-in (see standin --help) and prints its reply.
standin_control() {  # COMMAND...
  nsenter --target "$standin_pid" --net -- "$standin" --send "$standin_control_port" "$@"
}

# Sets e2e_problem when the stand-in met link frames out of sequence (neither a resend of the
# last record nor the next one), which a controller may rely on; empty when it met none. A frame
# that skips only what the stand-in's own socket dropped (its "dropped" count) is no fault of the
# program's numbering.
e2e_sequence_check() {
  local reply first
  e2e_problem=''
  # One that has ended already is judged by its end.
  kill -0 "$standin_pid" 2>/dev/null || return 0
  reply=$(standin_control out-of-sequence 2>&1) || reply="no answer ($reply)"
  [ "$reply" != "ok 0" ] || return 0
  first=$(grep -m 3 '^out-of-sequence' "$standin_log" | tr '\n' ';' || true)
  e2e_problem="the stand-in met link frames out of sequence: $reply ($first)"
}

# Ends the stand-in; fails the run when it met link frames out of sequence, or unless it ends with
# status 0 and without a sanitizer report.
stop_standin() {
  local pid=$standin_pid
  e2e_sequence_check
  [ -z "$e2e_problem" ] || fail "$e2e_problem"
  standin_pid=''
  stop_checked "$pid" "$standin_out" "the stand-in"
}

# --- what reached the stand-in ---

# Marks the stand-in's log: what is looked for from now on must arrive after the mark.
mark() { e2e_mark=$(wc -l <"$standin_log"); }

# Whether a line of the stand-in's log since the mark matches the pattern. (Not grep -q: under
# pipefail, the reader leaving early fails the pipe.)
logged() {  # PATTERN
  tail -n +$((e2e_mark + 1)) "$standin_log" | grep -- "$1" >/dev/null
}

# Whether the program has read the controller's playbacks and patch: the stand-in has answered its
# reads of the last playback and the last fixture (since the mark).
show_read() {
  logged '^tx link .*manager=41:Playback .* index=63,' && logged '^tx link .*manager=31:Fixture .* index=63,'
}

# The values of one command's link records received since the mark, in order, separated by
# blanks; a record resent under its sequence number counts once. The index is the record's whole
# index (0,0,0) or its first part (0).
received() {  # MANAGER COMMAND INDEX
  tail -n +$((e2e_mark + 1)) "$standin_log" |
    grep -- "^rx link .*manager=[0-9]*:$1 command=[0-9]*:$2 index=$3[, ]" |
    sed 's/.* \(seq=[0-9]*\) .* value=\(.*\)$/\1 \2/' | awk '!seen[$0]++ { sub(/^[^ ]* /, ""); print }' | tr '\n' ' ' |
    sed 's/ $//' || true
}

# Waits until exactly these values of the command have been received since the mark.
await_values() {  # MANAGER COMMAND INDEX VALUES
  e2e_values_are() { [ "$(received "$1" "$2" "$3")" = "$4" ]; }
  poll e2e_values_are "$@" || fail "$1 $2 $3 since the mark: '$(received "$1" "$2" "$3")', expected '$4'"
}

# Waits until the last value of the command received since the mark passes the test, a command
# given the value: for a drag that passes through other values on its way.
await_last_value() {  # MANAGER COMMAND INDEX TEST...
  e2e_last_passes() { "${@:4}" "$(received "$1" "$2" "$3" | sed 's/.* //')"; }
  poll e2e_last_passes "$@" ||
    fail "$1 $2 $3 since the mark: '$(received "$1" "$2" "$3")', expected the last to pass '${*:4}'"
}

# Whether what a command counts stays the same for a second: a flood or a stream of answers ended.
steady_for_a_second() {  # COMMAND...
  local before
  before=$("$@")
  sleep 1
  [ "$("$@")" = "$before" ]
}

# Tests for await_last_value: whether the value is this one, or lies between two numbers.
equals() { [ "$2" = "$1" ]; }  # EXPECTED VALUE
between() { [ -n "$3" ] && awk -v low="$1" -v high="$2" -v v="$3" 'BEGIN { exit !(v > low && v < high) }'; }  # LOW HIGH VALUE

# --- the X server and the program ---

# A private X server on this namespace's abstract socket only: an X server of another run may
# have chosen the same display number, and display lock files are not shared between namespaces.
# Further switches go to Xvfb. A server that dies while it starts (on a loaded machine its keymap
# compiler can fail) is started again, twice at most. It never resets: by default Xvfb starts
# afresh each time its last client leaves (the check that it answers, the renderer probe), and a
# program connecting meanwhile could lose its connection and never show a window.
start_xvfb() {  # [SWITCHES...]
  local attempt xvfb
  for attempt in 1 2 3; do
    : >"$work/display"
    Xvfb -displayfd 3 -screen 0 1024x1280x24 "$@" -noreset -nolisten tcp -nolisten unix 3>"$work/display" >"$work/xvfb.txt" 2>&1 &
    xvfb=$!
    e2e_xvfb_answers() {
      kill -0 "$xvfb" 2>/dev/null || return 0
      [ -s "$work/display" ] && xdpyinfo -display ":$(head -n 1 "$work/display")" >/dev/null 2>&1
    }
    await "Xvfb did not start" e2e_xvfb_answers
    if kill -0 "$xvfb" 2>/dev/null; then
      e2e_helpers+=("$xvfb")
      export DISPLAY=:$(head -n 1 "$work/display")
      unset SDL_VIDEODRIVER
      return
    fi
    wait "$xvfb" 2>/dev/null || true
    echo "Xvfb ended while it started (attempt $attempt): $(tail -n 3 "$work/xvfb.txt" | tr '\n' ' ')" >&2
  done
  fail "Xvfb did not start"
}

# Writes the options of a returning user: the stand-in's first unit chosen, in this language.
write_options() {  # LANGUAGE
  mkdir -p "$XDG_DATA_HOME/Zevral/Programmer"
  echo "<zevral><options><device>192.168.77.2</device><language>$1</language></options></zevral>" \
    >"$XDG_DATA_HOME/Zevral/Programmer/options.xml"
}

# Starts the program with its output in $program_out: program.log in the work folder, then
# program-2.log and so on for later starts. It keeps its options in $XDG_DATA_HOME (see
# write_options).
e2e_starts=0
start_program() {  # PROGRAM [ARGUMENTS...]
  e2e_starts=$((e2e_starts + 1))
  program_out=$work/program.log
  [ $e2e_starts -eq 1 ] || program_out=$work/program-$e2e_starts.log
  "$@" >"$program_out" 2>&1 &
  program_pid=$!
}

# Waits for the program's window, drawn, and sets xid. The program names its window only once
# its renderer is made, so the window found by the name is the one that stays.
await_window() {
  e2e_window_found() {
    kill -0 "$program_pid" 2>/dev/null || fail "the program ended before it opened its window"
    xid=$(xdotool search --name '^Tanzo Programmer$' 2>/dev/null | head -n 1) && [ -n "$xid" ]
  }
  await "the program opened no window" e2e_window_found
  # A window not yet drawn holds a single colour.
  e2e_window_drawn() {
    local colours
    colours=$(shot png:- 2>/dev/null | /usr/bin/convert - -format '%k' info: 2>/dev/null)
    [ "${colours:-0}" -gt 1 ]
  }
  await "the program never drew its window" e2e_window_drawn
}

# Waits until the program has started up: its device link has said where it broadcasts, by when
# SDL has taken over SIGTERM and the languages, clips and skin are loaded.
await_started() {
  e2e_started() {
    kill -0 "$program_pid" 2>/dev/null || fail "the program ended before it started up"
    grep -q '^Broadcasting to:' "$program_out"
  }
  await "the program did not start up" e2e_started
}

# Ends the program with SIGTERM unless it is ending by itself; fails the run unless it ends with
# the status expected (0) and without a sanitizer report.
stop_program() {  # [EXPECTED_STATUS]
  local pid=$program_pid
  program_pid='' xid=''
  stop_checked "$pid" "$program_out" "the program" "${1:-0}"
}

# Waits for the program to end by itself; fails the run unless it ends with the status expected
# and without a sanitizer report.
await_program_end() {  # EXPECTED_STATUS
  e2e_program_ended() { ! kill -0 "$program_pid" 2>/dev/null; }
  poll e2e_program_ended || fail "the program was still running after ${e2e_patience} s"
  stop_program "$1"
}

# --- the window's pixels ---

# A picture of the window. (import waits for ever on a window that has gone.)
shot() {  # FILE
  timeout 10 /usr/bin/import -window "$xid" "$1"
}

# A hash of the window's pixels in a rectangle (WIDTHxHEIGHT+X+Y).
crop() {  # GEOMETRY
  shot "$work/probe.png"
  /usr/bin/convert "$work/probe.png" -crop "$1" +repage -format '%#' info:
}

# Whether the window's pixels in the rectangle differ from, or are the same as, a hash crop gave.
changed() {  # GEOMETRY HASH
  [ "$(crop "$1")" != "$2" ]
}
unchanged() {  # GEOMETRY HASH
  [ "$(crop "$1")" = "$2" ]
}

# The red, green and blue of one pixel of the window, 0 to 255.
pixel() {  # X Y
  shot "$work/probe.png"
  /usr/bin/convert "$work/probe.png" -crop "1x1+$1+$2" -format '%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]' info:
}

# Whether the link lamp in the top bar shows the colour: green while the unit answers, red once
# it has gone silent.
lamp_is() {  # green|red
  local r g b
  read -r r g b <<<"$(pixel 206 52)"
  case $1 in
    green) [ "$g" -gt $((r + 25)) ] ;;
    red) [ "$r" -gt $((g + 25)) ] ;;
    *) return 1 ;;
  esac
}

# --- input, as an operator gives it ---

# Pointer moves, buttons and keys reach the program through the X server in the order given; what
# comes of them is awaited. The one thing paced is a click near the last one: the program takes
# two releases near each other within its double-click interval for a double click, so such a
# click comes at least 0.7 s after the last click and after the last condition awaited (which,
# awaited as the last click's outcome, the program had handled by then).
e2e_last_click=(-100 -100 0)
e2e_synced=0
e2e_pace() {  # X Y
  local dx=$(($1 - e2e_last_click[0])) dy=$(($2 - e2e_last_click[1])) since left
  if [ $((dx * dx + dy * dy)) -lt 900 ]; then
    since=$((e2e_last_click[2] > e2e_synced ? e2e_last_click[2] : e2e_synced))
    left=$((since + 700000 - ${EPOCHREALTIME/./}))
    [ $left -le 0 ] || sleep "$(printf '0.%06d' "$left")"
  fi
  e2e_last_click=("$1" "$2" "${EPOCHREALTIME/./}")
}
pointer() { xdotool mousemove --window "$xid" "$1" "$2"; }                    # X Y
click() {  # X Y [BUTTON]: 4 and 5 turn the wheel, which makes no double click
  pointer "$1" "$2"
  [ "${3:-1}" -ge 4 ] || e2e_pace "$1" "$2"
  xdotool click "${3:-1}"
}
hold() { pointer "$1" "$2"; e2e_pace "$1" "$2"; xdotool mousedown 1; }       # X Y
let_go() { xdotool mouseup 1; }
key() { xdotool key "$@"; }  # KEYS...
key_down() { xdotool keydown "$1"; }  # KEY
key_up() { xdotool keyup "$1"; }  # KEY
