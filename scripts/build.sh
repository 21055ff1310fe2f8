#!/usr/bin/env bash
# scripts/build.sh DIR [cmake options...] [-- targets...]: configures (once) and builds into DIR,
# everything or only the targets named after "--".
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$1; shift
options=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do options+=("$1"); shift; done
[ "${1:-}" = "--" ] && shift
targets=()
for t in "$@"; do targets+=(--target "$t"); done
if [ ! -f "$dir/build.ninja" ]; then
  # Line tables are enough for backtraces and cost a third of the compile time of full debug data.
  cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" "${options[@]}" >/dev/null
fi
# TANZO_JOBS limits the parallel compiles on a shared machine (default: every core).
cmake --build "$dir" -j"${TANZO_JOBS:-$(nproc)}" "${targets[@]}"
