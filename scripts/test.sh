#!/usr/bin/env bash
# Installs what is missing, builds Tarq with AddressSanitizer and
# UndefinedBehaviorSanitizer, builds the benchmarks and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

build=build/test
jobs=$(nproc)
cmake -S . -B "$build" -G Ninja -DTARQ_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$jobs"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Window tests need an X display; give them a virtual one when there is none.
run=(ctest --test-dir "$build" --output-on-failure -j "$jobs" --timeout 600)
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
  run=(xvfb-run -a -s "-screen 0 1600x1200x24" "${run[@]}")
fi
GDK_BACKEND=x11 "${run[@]}"
