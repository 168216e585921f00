#!/usr/bin/env bash
# Installs what is missing, builds Tarq and starts it in the user's data
# directory ($TARQ_HOME, else $XDG_DATA_HOME/tarq, else ~/.local/share/tarq).
# The first run seeds that directory from resources/seed/ (a default
# "Tarq.ini" with the "Default" session profile) and the sample files of
# resources/ ("sample.*"); later runs never overwrite what is there.
# The local test server runs in the background with the demo traffic while
# Tarq runs; "myservers.txt" lists it as LOCAL-TEST. The local voice server
# runs beside it, and the demo controllers' voice rooms are on it.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/install-deps.sh

build=build/release
# A configured build directory reconfigures itself when a CMakeLists changes.
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARQ_TESTS=OFF -DTARQ_BENCH=OFF >/dev/null
fi
cmake --build "$build" -j "$(nproc)" --target tarq tarq_testserver tarq_voiceserver

data="${TARQ_HOME:-${XDG_DATA_HOME:-$HOME/.local/share}/tarq}"
mkdir -p "$data"
for file in resources/seed/* resources/sample.*; do
  [ -e "$file" ] || continue
  target="$data/$(basename "$file")"
  [ -e "$target" ] || cp -r "$file" "$target"
done
if ! grep -qs '^LOCAL-TEST ' "$data/myservers.txt"; then
  echo "LOCAL-TEST 127.0.0.1" >>"$data/myservers.txt"
fi

# The demo servers live as long as this script; a server already listening
# on its port (another run) is left alone and this one gives up quietly.
voice_port=3782
"$root/$build/tools/voiceserver/tarq_voiceserver" "$voice_port" >/dev/null 2>&1 &
voice_server=$!
"$root/$build/tools/testserver/tarq_testserver" --scenario "$root/resources/demo_scenario.txt" \
  --voice-server "127.0.0.1:$voice_port" --seconds 604800 >/dev/null 2>&1 &
server=$!
trap 'kill "$server" "$voice_server" 2>/dev/null || true' EXIT

cd "$data"
# The display windows need X11 (XWayland on a Wayland desktop).
export GDK_BACKEND=x11
"$root/$build/app/tarq" "$@"
