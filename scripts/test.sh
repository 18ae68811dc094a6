#!/usr/bin/env bash
# Builds everything and runs every test: the host unit tests, the Windows
# tests under Wine (including the keyboard-driven window tests under Xvfb),
# a check that the 32-bit program links, and a bounded fuzzing run.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

scripts/install-deps.sh

echo "== host build and unit tests"
cmake --preset host >/dev/null
cmake --build --preset host -j"$jobs"
ctest --preset host

echo "== 32-bit Windows build (compiled and linked only)"
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j"$jobs"

echo "== 64-bit Windows build and tests under Wine"
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j"$jobs"
. scripts/wine-env.sh build/win64
scripts/wine-prefix.sh build/win64

# A private X display for the window tests.
display=:97
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
cleanup() { wineserver -k 2>/dev/null || true; kill "$xvfb_pid" 2>/dev/null || true; }
trap cleanup EXIT
export DISPLAY=$display

# Wine's background services would inherit ctest's output pipe and keep it
# open, so start them before ctest.
wineserver -p
wine cmd /c exit </dev/null >/dev/null 2>&1
ctest --preset win64
cleanup
trap - EXIT

if [ -x scripts/fuzz.sh ]; then
  echo "== fuzzing"
  scripts/fuzz.sh
fi
echo "All tests passed."
