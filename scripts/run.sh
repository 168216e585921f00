#!/usr/bin/env bash
# Installs what is missing, builds Tarq and starts it in the user's data
# directory ($TARQ_HOME, else $XDG_DATA_HOME/tarq, else ~/.local/share/tarq).
# The first run seeds that directory from resources/seed/ (a default
# "Tarq.ini" with the "Default" session profile) and the sample files of
# resources/ ("sample.*"); later runs never overwrite what is there.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/install-deps.sh

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARQ_TESTS=OFF -DTARQ_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target tarq

data="${TARQ_HOME:-${XDG_DATA_HOME:-$HOME/.local/share}/tarq}"
mkdir -p "$data"
for file in resources/seed/* resources/sample.*; do
  [ -e "$file" ] || continue
  target="$data/$(basename "$file")"
  [ -e "$target" ] || cp -r "$file" "$target"
done

cd "$data"
# The display windows need X11 (XWayland on a Wayland desktop).
export GDK_BACKEND=x11
exec "$root/$build/app/tarq" "$@"
