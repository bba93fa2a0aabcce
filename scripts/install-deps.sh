#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Zorvatrack needs.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev libgl-dev
  libavformat-dev libavcodec-dev libswscale-dev libavutil-dev
  libcminpack-dev ffmpeg
  libgtest-dev libgmock-dev libbenchmark-dev libopencv-imgproc-dev
  locales shared-mime-info desktop-file-utils xdg-utils
  xvfb openbox xdotool x11-utils
  poppler-utils  # pdfinfo, pdftotext and pdftoppm read back the printing tests' PDFs
  clang libclang-rt-dev llvm  # the sanitizer build, libFuzzer and llvm-symbolizer
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# A German numeric locale lets the tests prove that number parsing ignores the desktop locale.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf8$'; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  if [ -f /etc/locale.gen ]; then
    $sudo sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
    $sudo locale-gen >/dev/null || true
  fi
fi
