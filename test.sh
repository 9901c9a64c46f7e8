#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test on the offscreen platform (the
# real-input suite runs the built program under an X server of its own, Xvfb with openbox,
# and the real-input-method suite does so under fcitx5 and under IBus, each with Mozc, as
# an ordinary user); then builds the tests again with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs them once more, the real-input cases that type under
# a load of their own excepted. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh
export QT_QPA_PLATFORM=offscreen
jobs="$(nproc)"

# The real-input suites drive an X server, a window manager and input-method daemons started
# for the run, one case at a time. Each case checks them before it starts and is run once
# more only when they did not come up (tests/support/run-real-input.sh); a wrong value the
# program stored fails the run at once. The cases that had to be run again are named.
# usage: real_input_suites BUILD_DIR [ctest option...]
real_input_suites() {
  local dir="$1" status=0
  shift
  ctest --test-dir "$dir" --output-on-failure -R '^real(ime|input)' "$@" || status=$?
  grep -h '^\[ daemons not up \]' "$dir/Testing/Temporary/LastTest.log" || true
  return "$status"
}

# Builds with Ninja; a build folder made earlier keeps the generator it was made with.
generator() {
  [ -f "$1/CMakeCache.txt" ] || echo "-GNinja"
}

cmake -S . -B build $(generator build) -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs" -E '^real(ime|input)'
# What the fault, fuzz and hostile-input tests tried, as they report it.
grep -h '^\[ [a-z ]* \]' build/Testing/Temporary/LastTest.log | sort -u || true
real_input_suites build

if [ "${QUOREL_SKIP_SANITIZERS:-0}" != 1 ]; then
  cmake -S . -B build-asan $(generator build-asan) -DCMAKE_BUILD_TYPE=Debug -DQUOREL_SANITIZE=ON -DQUOREL_BENCH=OFF
  cmake --build build-asan -j"$jobs"
  export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1" UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  ctest --test-dir build-asan --output-on-failure -j"$jobs" -E '^real(ime|input)'
  # The cases under load type what the other input-method cases type, with the program
  # slowed and the processors kept busy: they check the order of the keys, which the
  # optimized build above has shown; the sanitizers look at the same code in the others.
  real_input_suites build-asan -E 'UnderLoad\.'
fi
