# Sourced by the benchmarks that time the program's start and end over data folders of their own:
# $program runs headless with $work/NAME as its XDG_DATA_HOME. The script sets root first.

# Reads BUILD_DIR (default build, the program is not built here) and ROUNDS (default 3) into build,
# rounds and program; runs the script again inside a private network namespace unless it runs in
# one, and there makes the work folder, removed at exit.
bench_begin() {  # SCRIPT [BUILD_DIR] [ROUNDS]
  build=${2:-build}
  rounds=${3:-3}
  case $build in /*) ;; *) build=$root/$build ;; esac
  program=$build/bin/Programmer
  [ -x "$program" ] || { echo "no program at $program" >&2; exit 1; }
  if [ "${TANZO_BENCH_NETNS:-}" != "$1" ]; then
    export TANZO_BENCH_NETNS=$1
    exec bash "$root/scripts/netns.sh" bash "$1" "$build" "$rounds"
  fi
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  export SDL_VIDEODRIVER=dummy SDL_RENDER_DRIVER=software SDL_AUDIODRIVER=dummy TANZO_UPDATE_URL=
}

now_ms() { echo $(($(date +%s%N) / 1000000)); }
# Starts the program over the folder, without the options of an earlier run and, unless told to
# keep them, its logs; sets pid, started and out.
start() {  # NAME [keep-logs]
  out=$work/out.txt
  [ "${2:-}" = keep-logs ] || rm -rf "$work/$1/Zevral/Programmer/Logs"
  rm -rf "$work/$1/Zevral/Programmer/options.xml"
  # Emptied here: the program's own redirection may come after the first look for its output.
  : >"$out"
  started=$(now_ms)
  XDG_DATA_HOME=$work/$1 stdbuf -oL "$program" >"$out" 2>&1 &
  pid=$!
}
# Waits for a line of the program's output that starts with the text; prints the milliseconds
# since start.
await_output() {  # TEXT
  until grep -q "^$1" "$out" 2>/dev/null; do
    kill -0 "$pid" 2>/dev/null || { echo "the program ended at start" >&2; cat "$out" >&2; exit 1; }
    sleep 0.005
  done
  echo $(($(now_ms) - started))
}
# Sends SIGTERM and prints the milliseconds until the process has ended.
stop() {
  local sent
  sent=$(now_ms)
  kill -TERM "$pid"
  wait "$pid" || { echo "the program ended with status $?" >&2; exit 1; }
  echo $(($(now_ms) - sent))
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
