#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test on the offscreen platform (the
# real-input suite runs the built program under an X server of its own, Xvfb with openbox,
# and the real-input-method suite does so under fcitx5 and under IBus, each with Mozc, as
# an ordinary user); then builds the tests again with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs them once more. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh
export QT_QPA_PLATFORM=offscreen
jobs="$(nproc)"

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs" -E '^real(ime|input)'
# The real-input suites drive an X server, a window manager and input-method daemons
# started for the run; a case whose daemons were late gets one more run, and a fault of the
# program fails both.
ctest --test-dir build --output-on-failure -R '^real(ime|input)' --repeat until-pass:2
# What the fault, fuzz and hostile-input tests tried, as they report it.
grep -h '^\[ [a-z ]* \]' build/Testing/Temporary/LastTest.log | sort -u || true

if [ "${QUOREL_SKIP_SANITIZERS:-0}" != 1 ]; then
  cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DQUOREL_SANITIZE=ON -DQUOREL_BENCH=OFF
  cmake --build build-asan -j"$jobs"
  export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1" UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  ctest --test-dir build-asan --output-on-failure -j"$jobs" -E '^real(ime|input)'
  ctest --test-dir build-asan --output-on-failure -R '^real(ime|input)' --repeat until-pass:2
fi
