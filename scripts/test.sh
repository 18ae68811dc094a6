#!/usr/bin/env bash
# Builds everything and runs every test: the host unit tests, the Windows
# tests under Wine (including the keyboard-driven window tests under Xvfb)
# for the 64-bit build and, where this machine can run 32-bit programs, for
# the 32-bit build too, and a bounded fuzzing run.
# NO_32BIT=1 acts as if the machine could not run 32-bit programs.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

# Adds up ctest's "N tests failed out of M" lines for the closing summary.
passed=0
failed=0
run_ctest() {
  local log
  log=$(mktemp)
  local status=0
  ctest "$@" 2>&1 | tee "$log" || status=$?
  local counts
  counts=$(sed -n 's/.* \([0-9]*\) tests failed out of \([0-9]*\)$/\1 \2/p' "$log" | tail -n 1)
  rm -f "$log"
  if [ -n "$counts" ]; then
    set -- $counts
    failed=$((failed + $1))
    passed=$((passed + $2 - $1))
  fi
  return "$status"
}

# A private X display for the window tests (scripts/xvfb.sh) and Wine's
# server for the build being tested; both are ended on exit.
. scripts/xvfb.sh
cleanup() {
  if [ -n "${WINEPREFIX:-}" ]; then wineserver -k 2>/dev/null || true; fi
  xvfb_stop
}
# The count closes the output even when a step fails and ends the script.
trap 'cleanup; echo "ctest: $passed passed, $failed failed"' EXIT

# windows_build PRESET: builds a Windows build with its tests and its
# installer package.
windows_build() {
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1" -j"$jobs"
  cmake --build --preset "$1" --target msi
}

# windows_tests PRESET LOADER: builds a Windows build, prepares its Wine
# prefix and runs its tests, the window and package tests included. LOADER
# is the Wine loader of the build's bitness.
windows_tests() {
  local preset=$1 loader=$2
  windows_build "$preset"
  . scripts/wine-env.sh "build/$preset"
  scripts/wine-prefix.sh "build/$preset"
  # Wine's background services would inherit ctest's output pipe and keep
  # it open, so start them before ctest. The first program of a bitness
  # in a prefix starts slowly (about 10 s for 32-bit): that is done here too.
  wineserver -p
  "$WINE64" cmd /c exit </dev/null >/dev/null 2>&1
  "$loader" cmd /c exit </dev/null >/dev/null 2>&1
  local status=0
  run_ctest --preset "$preset" || status=$?
  wineserver -k 2>/dev/null || true
  return "$status"
}

windows_tests_64() {
  echo "== 64-bit Windows build and tests under Wine"
  windows_tests win64 /usr/lib/wine/wine64
}

# The 32-bit programs and reporter run as WoW64 processes in a 64-bit
# prefix, under the 32-bit Wine that install-deps.sh put in; the 32-bit
# package is installed in a prefix of its own, as the 64-bit one is.
windows_tests_32() {
  if scripts/can-run-32bit.sh; then
    echo "== 32-bit Windows build and tests under the 32-bit Wine"
    windows_tests win32 /usr/bin/wine
  else
    echo "32-bit Windows tests skipped: this machine cannot run 32-bit programs"
    echo "== 32-bit Windows build (compiled and linked only)"
    windows_build win32
  fi
}

scripts/install-deps.sh

echo "== host build and unit tests"
cmake --preset host >/dev/null
cmake --build --preset host -j"$jobs"
run_ctest --preset host

xvfb_start
windows_tests_64
windows_tests_32
cleanup

if [ -x scripts/fuzz.sh ]; then
  echo "== fuzzing"
  scripts/fuzz.sh
fi
