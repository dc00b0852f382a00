#!/usr/bin/env bash
# Installs every Debian package that building, running and testing need.
# Quick when everything is already there: only missing packages are fetched.
set -euo pipefail

PACKAGES=(
  cmake g++ make pkg-config git ccache clang-format
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qt6-translations-l10n
  libsdl2-mixer-dev libfluidsynth-dev timgm6mb-soundfont libarchive-dev zip
  fonts-dejavu-core
  libgtest-dev googletest
  xvfb xauth xdotool x11-apps imagemagick strace
  clang libclang-rt-14-dev
  libmicrohttpd-dev nginx libqt6sql6-sqlite libqt6sql6-psql postgresql
  chromium chromium-driver python3 python3-selenium
  librsvg2-bin
  build-essential debhelper dpkg-dev fakeroot lintian desktop-file-utils appstream systemd
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi

echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
