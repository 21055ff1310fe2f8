#!/usr/bin/env bash
# bench/resource_start.sh [BUILD_DIR] [ROUNDS]: what a crafted picture or click clip beside the
# program costs its start, the program under Xvfb (the software renderer, the disk audio driver) in
# a private network namespace, over three copies of the program with its resources:
#   shipped - as the build lays them out
#   skin    - the start page's background replaced by a 1 MB PNG declaring 16384 x 16384 pixels
#   clip    - a 16 MB clip added to bin/audio: 8-bit mono at 8000 Hz, 35 minutes
#   bounds  - the most the bounds let through: that background at 2048 x 2048 pixels, and twelve
#             clips beside the four shipped, each 2 s of 8-bit mono at 96 kHz
#   files   - 20,000 empty files added to the skin folder
#   variants - twenty variants of the start page's background added, each 2048 x 2048 pixels
# Prints, per copy, the medians of ROUNDS runs (default 3):
#   window  - start to the window first showing its frame
#   press   - a press of a button sent once the window shows, to its click heard (the first
#             sound the disk driver writes)
#   peak, kept - the process's peak and present resident memory, read 0.5 s after the click
#   sigterm - SIGTERM sent once the window shows (or 1 s after start if it has not) to the end
# BUILD_DIR defaults to build (the program and tanzo_window_watch are not built here); the copies
# are made once in $TMPDIR and removed at the end.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
rounds=${2:-3}
case $build in /*) ;; *) build=$root/$build ;; esac
for tool in Programmer tanzo_window_watch; do
  [ -x "$build/bin/$tool" ] || { echo "no $tool in $build/bin" >&2; exit 1; }
done
# shellcheck source=../tests/support/e2e.sh
source "$root/tests/support/e2e.sh"
e2e_private_namespace "$0" "$build" "$rounds"
e2e_begin "$(mktemp -d)"
trap 'e2e_end; rm -rf "$work"' EXIT
start_xvfb -br
export SDL_AUDIODRIVER=disk SDL_RENDER_DRIVER=software

# The program with its clips beside it and its resources where it looks for them.
copies="shipped skin clip bounds files variants"
for name in $copies; do
  mkdir -p "$work/$name/bin" "$work/$name/home"
  cp "$build/bin/Programmer" "$work/$name/bin/"
  cp -r "$build/bin/audio" "$work/$name/bin/"
  cp -r "$build/Resources" "$work/$name/"
done
python3 - "$work" <<'EOF'
import shutil, struct, sys, zlib
work = sys.argv[1]
def chunk(kind, data):
    return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
def png(path, side):
    coder = zlib.compressobj(9)
    row = b'\0' + b'\x40\x60\x80\xff' * side
    idat = b''.join(coder.compress(row) for _ in range(side)) + coder.flush()
    with open(path, 'wb') as out:
        out.write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', side, side, 8, 6, 0, 0, 0)) +
                  chunk(b'IDAT', idat) + chunk(b'IEND', b''))
def wav(path, rate, data):  # 8-bit mono
    with open(path, 'wb') as out:
        out.write(b'RIFF' + struct.pack('<I', 36 + data) + b'WAVEfmt ' +
                  struct.pack('<IHHIIHH', 16, 1, 1, rate, rate, 1, 8) + b'data' + struct.pack('<I', data))
        out.write(bytes((0x40 if i // 100 % 2 else 0xc0) for i in range(200)) * (data // 200) + b'\x80' * (data % 200))
png(work + '/skin/Resources/skin/background_playback.png', 16384)
wav(work + '/clip/bin/audio/crafted.wav', 8000, (16 << 20) - 44)
png(work + '/bounds/Resources/skin/background_playback.png', 2048)
for i in range(12):
    wav(work + '/bounds/bin/audio/bound%02d.wav' % i, 96000, 192000)
for i in range(20000):
    open(work + '/files/Resources/skin/empty%05d.png' % i, 'wb').close()
variant = work + '/variants/Resources/skin/background_playback-00.png'
png(variant, 2048)
for i in range(1, 20):
    shutil.copy(variant, work + '/variants/Resources/skin/background_playback-%02d.png' % i)
EOF
sync

now_ms() { echo $(($(date +%s%N) / 1000000)); }
status_mb() { awk -v f="$2:" '$1 == f { print int($2 / 1024) }' /proc/"$1"/status; }
# Starts the copy's program through the window watch; sets watcher, watch and started.
launch() {  # NAME
  watch=$work/watch.txt
  rm -rf "$watch" "$work/$1/home" "$work/audio.raw"
  mkdir -p "$work/$1/home"
  started=$(now_ms)
  XDG_DATA_HOME=$work/$1/home SDL_DISKAUDIOFILE=$work/audio.raw \
    "$build/bin/tanzo_window_watch" --out "$watch" "Tanzo Programmer" "$work/$1/bin/Programmer" \
    >"$work/program.txt" 2>&1 &
  watcher=$!
}
# Waits for the window to show, at most the milliseconds given; false when it has not.
shows() {  # MS
  local until=$(($(now_ms) + $1))
  until [ -s "$watch" ]; do
    [ "$(now_ms)" -lt "$until" ] || return 1
    kill -0 "$watcher" 2>/dev/null || { cat "$work/program.txt" >&2; exit 1; }
    sleep 0.005
  done
}
# The program the watch started.
program_pid() { awk '{ print $1 }' /proc/"$watcher"/task/"$watcher"/children; }
heard() { [ -s "$work/audio.raw" ] && [ "$(tr -d '\0' <"$work/audio.raw" | head -c 1 | wc -c)" -eq 1 ]; }
finish() {  # PID
  local status=0
  kill -TERM "$1"
  wait "$watcher" || status=$?
  # The watch's 3 says that the program ended before its window showed: SIGTERM came first.
  [ "$status" -eq 0 ] || [ "$status" -eq 3 ] || { echo "the program ended with status $status" >&2; exit 1; }
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

printf '%-8s %9s %9s %8s %8s %11s\n' copy window_ms press_ms peak_mb kept_mb sigterm_ms
for name in $copies; do
  for column in window press peak kept sigterm; do : >"$work/$column"; done
  for _ in $(seq "$rounds"); do
    launch "$name"
    shows 60000 || { echo "$name: no window in 60 s" >&2; exit 1; }
    sed -n 's/.*visible_ms=\([0-9]*\).*/\1/p' "$watch" >>"$work/window"
    pid=$(program_pid)
    xid=$(xdotool search --name '^Tanzo Programmer$' | head -n 1)
    # EDIT on the playback page, whose press plays a click.
    pressed=$(now_ms)
    xdotool mousemove --window "$xid" 417 49 mousedown 1
    until heard; do sleep 0.005; done
    echo $(($(now_ms) - pressed)) >>"$work/press"
    xdotool mouseup 1
    sleep 0.5
    status_mb "$pid" VmHWM >>"$work/peak"
    status_mb "$pid" VmRSS >>"$work/kept"
    finish "$pid"

    launch "$name"
    shows 1000 || true
    pid=$(program_pid)
    sent=$(now_ms)
    finish "$pid"
    echo $(($(now_ms) - sent)) >>"$work/sigterm"
  done
  printf '%-8s %9s %9s %8s %8s %11s\n' "$name" "$(median <"$work/window")" "$(median <"$work/press")" \
    "$(median <"$work/peak")" "$(median <"$work/kept")" "$(median <"$work/sigterm")"
done
