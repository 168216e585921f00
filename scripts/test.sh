#!/usr/bin/env bash
# Installs what is missing, builds Tarq with AddressSanitizer and
# UndefinedBehaviorSanitizer, builds the benchmarks and runs every test; then
# builds and runs the thread tests under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

build=build/test
jobs=$(nproc)
# The sanitizer builds are compiled once and thrown away: -O1 keeps the checked
# code fast enough and -g1 keeps line numbers in the reports, at about half the
# compile time of -O2 -g.
checked=(-DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG"
  "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG")
cmake -S . -B "$build" -G Ninja -DTARQ_SANITIZE=ON "${checked[@]}" >/dev/null
cmake --build "$build" -j "$jobs"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Window tests need an X display; give them a virtual one when there is none.
run=(ctest --test-dir "$build" --output-on-failure -j "$jobs" --timeout 600)
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
  run=(xvfb-run -a -s "-screen 0 1600x1200x24" "${run[@]}")
fi
log=$build/ctest.log
GDK_BACKEND=x11 "${run[@]}" 2>&1 | tee "$log"
# In CI every window test must have had its display: a skip there hides a
# program that was never driven.
if [ -n "${CI:-}" ] && grep -q '\*\*\*Skipped' "$log"; then
  echo "Window tests skipped in CI:" >&2
  grep '\*\*\*Skipped' "$log" >&2
  exit 1
fi

# Code shared with worker threads once more under ThreadSanitizer, which
# cannot share a build with AddressSanitizer: its own directory, one target.
tsan=build/tsan
cmake -S . -B "$tsan" -G Ninja -DTARQ_TSAN=ON -DTARQ_GUI=OFF -DTARQ_BENCH=OFF "${checked[@]}" >/dev/null
cmake --build "$tsan" -j "$jobs" --target tsan_test
# Kernels with wide address randomisation break ThreadSanitizer's memory
# layout; run without randomisation where the kernel lets us.
norandom=()
if setarch "$(uname -m)" -R true 2>/dev/null; then norandom=(setarch "$(uname -m)" -R); fi
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
  "${norandom[@]}" ctest --test-dir "$tsan" -R '^tsan_test$' --output-on-failure --timeout 600
