#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running the program need.
# Does nothing when they are all there.
set -euo pipefail

packages=(
  # build
  g++ cmake ninja-build pkg-config
  libsdl2-dev libsdl2-image-dev libsdl2-ttf-dev libsdl2-mixer-dev libsdl2-net-dev
  libcurl4-openssl-dev
  libboost-regex-dev libboost-filesystem-dev libboost-date-time-dev libboost-system-dev
  libtinyxml-dev
  libpng-dev  # the resource generator writes its pictures with it
  # tests and benchmarks; clang with libFuzzer fuzzes the readers
  libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
  iproute2 util-linux coreutils
  libx11-dev  # asking the X server for direct rendering; the test helper that closes the window
  # running headless and looking at it
  xvfb xauth x11-utils xdotool imagemagick
  x11-xkb-utils  # setxkbmap: typing on a German keyboard in the end-to-end runs
  # the shipped font (Liberation Sans) and a fallback
  fonts-liberation2 fonts-dejavu-core
  # personality library source data
  qlcplus-data
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
