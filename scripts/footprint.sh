#!/usr/bin/env bash
# scripts/footprint.sh [ROUNDS]: what the program costs the machine, side by side with a bare
# SDL2 768 x 1024 window on SDL's software path, both under one Xvfb inside a private network
# namespace, the stand-in controller beside them. Prints the medians of ROUNDS runs (default 5):
#   start to visible window  - from starting the process to the window first showing its frame
#   resident memory at 5 s
#   threads at 5 s           - with no controller on the network (the stand-in keeps silent)
#   idle CPU, context switches per second - from 5 s to 15 s after start (perf stat, or the
#                              threads' own counters without perf); the program connected to the
#                              stand-in, nothing changing
# TANZO_BUILD_DIR names the build folder (default build); TANZO_NO_BUILD=1 skips building.
# The program's own settings (SDL_RENDER_DRIVER, ...) are left to it: set them to compare.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${TANZO_BUILD_DIR:-build}
rounds=${1:-5}

if [ "${TANZO_IN_NETNS:-}" != 1 ]; then
  if [ "${TANZO_NO_BUILD:-}" != 1 ]; then
    bash scripts/build.sh "$build" -- Programmer standin tanzo_bare_window tanzo_window_watch
  fi
  export TANZO_IN_NETNS=1
  exec bash scripts/netns.sh bash "$0" "$@"
fi

case $build in /*) ;; *) build=$root/$build ;; esac
bin=$build/bin
# shellcheck source=../tests/support/e2e.sh
source "$root/tests/support/e2e.sh"
work=$(mktemp -d)
trap 'e2e_end; rm -rf "$work"' EXIT

# The stand-in controller in its own namespace beside this one.
start_standin "$bin/standin" >&2
# A black root, so that a mapped window counts as visible only once it shows its own pixels.
start_xvfb -br
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy} TANZO_UPDATE_URL=

now_ms() { echo $(($(date +%s%N) / 1000000)); }
# CPU nanoseconds and context switches of every thread of a process.
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { print s + 0 }'; }
switches() {
  cat /proc/"$1"/task/*/status 2>/dev/null | awk '/ctxt_switches/ { s += $2 } END { print s + 0 }'
}
status_field() { awk -v f="$2:" '$1 == f { print $2 }' /proc/"$1"/status; }
wait_until() { local t=$1; while [ "$(now_ms)" -lt "$t" ]; do sleep 0.05; done; }

# run NAME TITLE IDLE PROGRAM: starts it, waits for its window, samples it; appends
# "visible rss_kb threads cpu_percent switches_per_s" to $work/NAME.
run() {
  local name=$1 title=$2 idle=$3; shift 3
  local out=$work/$name.watch started pid=""
  rm -f "$out"
  started=$(now_ms)
  "$bin/tanzo_window_watch" --out "$out" "$title" "$@" >>"$work/$name.log" 2>&1 &
  local watcher=$!
  for _ in $(seq 300); do [ -s "$out" ] && break; sleep 0.1; done
  pid=$(sed -n 's/.*pid=\([0-9]*\).*/\1/p' "$out" 2>/dev/null)
  local visible
  visible=$(sed -n 's/.*visible_ms=\([-0-9.]*\).*/\1/p' "$out" 2>/dev/null)
  if [ -z "$pid" ] || ! kill -0 "$pid" 2>/dev/null; then
    echo "footprint: $name showed no window; see $work/$name.log" >&2
    kill "$watcher" 2>/dev/null || true
    return 1
  fi
  wait_until $((started + 5000))
  local rss threads cpu0 sw0 cpu1 sw1 cpu="-" rate="-"
  rss=$(status_field "$pid" VmRSS)
  threads=$(status_field "$pid" Threads)
  [ "$name" = alone ] && cat /proc/"$pid"/task/*/comm | sort | uniq -c | tr -s ' ' >"$work/thread-names"
  if [ "$idle" = 1 ] && command -v perf >/dev/null && perf stat -e task-clock,context-switches -p "$pid" \
      -x, -o "$work/perf.txt" -- sleep 10 2>/dev/null; then
    # Counts every thread, also one that ends within the ten seconds.
    cpu=$(awk -F, '$3 == "task-clock" { printf "%.3f", $1 / 10000 * 100 }' "$work/perf.txt")
    rate=$(awk -F, '$3 == "context-switches" { printf "%.1f", $1 / 10 }' "$work/perf.txt")
  elif [ "$idle" = 1 ]; then
    cpu0=$(cpu_ns "$pid"); sw0=$(switches "$pid")
    wait_until $((started + 15000))
    cpu1=$(cpu_ns "$pid"); sw1=$(switches "$pid")
    cpu=$(awk -v a="$cpu0" -v b="$cpu1" 'BEGIN { printf "%.3f", (b - a) / 1e7 / 10 }')
    rate=$(awk -v a="$sw0" -v b="$sw1" 'BEGIN { printf "%.1f", (b - a) / 10 }')
  fi
  kill -TERM "$pid" 2>/dev/null || true
  wait "$watcher" 2>/dev/null || true
  echo "$visible $rss $threads $cpu $rate" >>"$work/$name"
}

home=$work/home
options=$home/Zevral/Programmer/options.xml
export XDG_DATA_HOME=$home
for round in $(seq "$rounds"); do
  echo "round $round of $rounds" >&2
  run bare "Bare SDL2 window" 1 "$bin/tanzo_bare_window"
  # No controller on the network: the stand-in answers nothing, not even discovery.
  kill -USR1 "$standin_pid"
  rm -f "$options"
  run alone "Tanzo Programmer" 0 "$bin/Programmer"
  # Connected to the stand-in's first unit, as a returning user is.
  kill -USR2 "$standin_pid"
  mkdir -p "$(dirname "$options")"
  echo "<zevral><options><device>192.168.77.2</device><language>english</language></options></zevral>" >"$options"
  run connected "Tanzo Programmer" 1 "$bin/Programmer"
done
grep -q '^rx link' "$standin_log" || echo "footprint: the program never reached the stand-in" >&2

median() {  # FILE COLUMN
  awk -v c="$2" '{ print $c }' "$1" | grep -v '^-$' | sort -g |
    awk '{ v[NR] = $1 } END { if (NR == 0) print "-"; else if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
row() {  # LABEL UNIT BARE TANZO LIMIT
  printf '%-34s %14s %14s   %s\n' "$1" "$3 $2" "$4 $2" "$5"
}
b_vis=$(median "$work/bare" 1) t_vis=$(median "$work/alone" 1)
b_rss=$(median "$work/bare" 2) t_rss=$(median "$work/alone" 2)
b_thr=$(median "$work/bare" 3) t_thr=$(median "$work/alone" 3)
b_cpu=$(median "$work/bare" 4) t_cpu=$(median "$work/connected" 4)
b_sw=$(median "$work/bare" 5) t_sw=$(median "$work/connected" 5)
t_rss_c=$(median "$work/connected" 2) t_thr_c=$(median "$work/connected" 3)
mb() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }
printf '\nMedians of %s rounds, %s\n' "$rounds" "$(date -u +%Y-%m-%d)"
printf '%-34s %14s %14s   %s\n' "" "bare window" "Tanzo" "limit"
row "start to visible window" ms "$b_vis" "$t_vis" "$(awk -v b="$b_vis" 'BEGIN { printf "%.0f ms (2 x bare)", 2 * b }')"
row "resident memory at 5 s" MB "$(mb "$b_rss")" "$(mb "$t_rss")" "$(awk -v b="$b_rss" 'BEGIN { printf "%.1f MB (3 x bare)", 3 * b / 1024 }')"
row "threads, no controller" "" "$b_thr" "$t_thr" "4"
row "idle CPU, one core (connected)" % "$b_cpu" "$t_cpu" "0.25 %"
row "context switches / s idle" "" "$b_sw" "$t_sw" ""
printf '%-34s %14s %14s\n' "connected: memory, threads" "" "$(mb "$t_rss_c") MB, $t_thr_c"
echo
echo "Threads of the program with no controller at 5 s (count, name):"
sed 's/^/ /' "$work/thread-names"
