#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Tarq need.
# Does nothing when they are all present, so it is cheap to call every time.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libwxgtk3.2-dev libgl-dev libglu1-mesa-dev libosmesa6-dev
  libfreetype-dev libfontconfig-dev fonts-liberation2
  portaudio19-dev libsndfile1-dev
  libpcre2-dev
  espeak-ng sox libcodec2-dev
  clang libclang-rt-14-dev
  xvfb xauth
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
