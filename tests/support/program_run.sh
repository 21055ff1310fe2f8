# Sourced by the scripts that run the whole program.
#
# run_started_then_ended OUT PROGRAM [ARGUMENTS...]
#   Starts the program with its standard output and error in OUT, waits until it has started up,
#   then ends it with SIGTERM and returns its exit status. Started up means that its device link
#   has announced where it broadcasts: by then SDL has taken over SIGTERM (it becomes a quit
#   event), and the languages, clips and skin are loaded. A program that ends by itself first
#   returns its own status. Returns 124 when it neither starts up nor ends within a minute, or
#   does not end within a minute of SIGTERM; it is killed then.
run_started_then_ended() {
  local out=$1
  shift
  "$@" >"$out" 2>&1 &
  local pid=$!
  local deadline=$((SECONDS + 60))
  until grep -q '^Broadcasting to:' "$out" 2>/dev/null; do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"
      return $?
    fi
    if [ $SECONDS -ge $deadline ]; then
      echo "the program did not start up within a minute" >>"$out"
      kill -KILL "$pid" 2>/dev/null
      wait "$pid"
      return 124
    fi
    sleep 0.02
  done
  kill -TERM "$pid"
  deadline=$((SECONDS + 60))
  while kill -0 "$pid" 2>/dev/null; do
    if [ $SECONDS -ge $deadline ]; then
      echo "the program was still running a minute after SIGTERM" >>"$out"
      kill -KILL "$pid" 2>/dev/null
      wait "$pid"
      return 124
    fi
    sleep 0.02
  done
  wait "$pid"
}
