#!/usr/bin/env bash
# Installs the Debian 12 packages Pixmetra needs to build, run and test.
# Only missing packages are installed, so a second run returns at once.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-image-formats-plugins qt6-svg-dev libgl-dev
  libturbojpeg0-dev libjpeg62-turbo-dev libudev-dev
  umockdev libumockdev-dev v4l-utils
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-noto-cjk
  poppler-utils qpdf
  xvfb xauth imagemagick
  xdotool openbox x11-utils ffmpeg
  dpkg-dev lintian desktop-file-utils appstream
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
