#!/usr/bin/env bash
# Installs the Debian packages the engine needs, only when some are missing.
# Safe to run again: with everything present it does nothing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build clang clang-format
  libsdl2-dev libpng-dev libssl-dev libgl-dev libgl1-mesa-dri libglu1-mesa-dev
  libgtest-dev libgmock-dev libbenchmark-dev fonts-dejavu-core libfreetype-dev libboost-serialization-dev
  xvfb xdotool x11-utils x11-xserver-utils imagemagick
  xserver-xorg-core xserver-xorg-video-dummy libx11-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
