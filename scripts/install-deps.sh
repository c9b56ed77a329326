#!/usr/bin/env bash
# Installs every Debian package the organiser needs to build, run and test.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

BUILD_PACKAGES=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev libgl-dev
  libx11-dev libxcb1-dev libxcb-keysyms1-dev libxss-dev libxcb-screensaver0-dev
  libasound2-dev libsndfile1-dev
  espeak-ng sox
)
# What the programs need at run time: Qt's Czech translations, and the faces
# metric-compatible with Arial and Times New Roman, which the forms are laid
# out for (fontconfig resolves those names to them).
RUN_PACKAGES=(
  qt6-translations-l10n fonts-liberation2
)
TEST_PACKAGES=(
  libgtest-dev libbenchmark-dev
  xvfb xauth x11-utils x11-xserver-utils x11-apps xdotool imagemagick trayer openbox
  fonts-dejavu-core desktop-file-utils
  clang libclang-rt-14-dev
)

packages=("${BUILD_PACKAGES[@]}" "${RUN_PACKAGES[@]}")
if [ "${1:-}" = "--tests" ]; then packages+=("${TEST_PACKAGES[@]}"); fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  $SUDO apt-get update
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi
