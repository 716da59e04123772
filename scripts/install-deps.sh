#!/usr/bin/env bash
# Installs what building, testing and running Tavrin needs on Debian 12.
# Safe to run again: it only calls apt-get when a package is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libgtest-dev
  qt6-base-dev                     # widgets, QImage and the gif/jpeg plugins of qtbase
  libpng-dev zlib1g-dev            # the sheet writer talks to libpng directly
  libcli11-dev                     # the command-line option parser (header only)
  nlohmann-json3-dev               # the frame data file (header only)
  libgif-dev                       # every frame of an animated gif, composed as browsers do
  fonts-noto-cjk                   # the window's Chinese captions
  xvfb xauth                       # screenshots of the window without a display
)
if [ "${1:-}" = "--bench" ]; then
  packages+=(imagemagick python3-pil time)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
