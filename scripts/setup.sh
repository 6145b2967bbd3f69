#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, and only those that are
# missing, so a second run costs nothing. Sourced by ./run and ./test.
set -euo pipefail

MELODRIFT_PACKAGES=(
  # build
  build-essential cmake ninja-build pkg-config
  libmp3lame-dev libmad0-dev libgsm1-dev libvorbisidec-dev libmpcdec-dev
  libsdl2-dev libsdl2-image-dev libfreetype-dev libfontconfig-dev libpugixml-dev
  fonts-dejavu-core googletest libbenchmark-dev
  # tests: fixtures, reference decoders, the desktop window under a virtual display
  sox libsox-fmt-all lame vorbis-tools musepack-tools mpg123
  xvfb xdotool imagemagick librsvg2-bin desktop-file-utils
  # sanitizer and fuzzing builds, and the PNG benchmark's reference decoder
  clang libclang-rt-14-dev libpng-dev
)

missing_packages() {
  local package
  for package in "${MELODRIFT_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" \
      || echo "$package"
  done
}

install_missing_packages() {
  local missing
  missing=$(missing_packages)
  [ -z "$missing" ] && return 0
  echo "Installing: $(echo $missing)" >&2
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update -qq
  # shellcheck disable=SC2086
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing >&2
}

# configure_and_build BUILD_DIR CMAKE_ARGS...
configure_and_build() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j"$(nproc)"
}
