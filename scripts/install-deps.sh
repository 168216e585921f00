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
  libxfixes-dev libx11-dev libxcb1-dev
  xvfb xauth
)

# One query for all of them: a package missing from the answer, or not fully
# installed, is missing.
declare -A installed=()
while read -r name state; do
  [ "$state" = "installed" ] && installed[$name]=1
done < <(dpkg-query -W -f='${Package} ${db:Status-Status}\n' "${packages[@]}" 2>/dev/null || true)
missing=()
for p in "${packages[@]}"; do
  [ -n "${installed[$p]:-}" ] || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
