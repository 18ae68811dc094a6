#!/usr/bin/env bash
# Builds everything and runs every test: the host unit tests, the Windows
# tests under Wine (including the keyboard-driven window tests under Xvfb),
# a check that the 32-bit program links, and a bounded fuzzing run.
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

# The 32-bit installer package's cycle under Wine, where this machine runs
# 32-bit programs (the 64-bit one is among the win64 tests).
package_test_x86() {
  /usr/lib/wine/wineserver32 --version >/dev/null 2>&1 || return 0
  echo "== 32-bit installer package under Wine"
  if bash tests/package/package_test.sh x86 "$(ls -t build/win32/packaging/*-x86.msi | head -n 1)"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "ctest: $passed passed, $failed failed"
    exit 1
  fi
}

scripts/install-deps.sh

echo "== host build and unit tests"
cmake --preset host >/dev/null
cmake --build --preset host -j"$jobs"
run_ctest --preset host

echo "== 32-bit Windows build (compiled and linked only)"
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j"$jobs"
cmake --build --preset win32 --target msi

echo "== 64-bit Windows build and tests under Wine"
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j"$jobs"
cmake --build --preset win64 --target msi
. scripts/wine-env.sh build/win64
scripts/wine-prefix.sh build/win64

# A private X display for the window tests, on the first free number from 97.
n=97
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
display=:$n
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
cleanup() { wineserver -k 2>/dev/null || true; kill "$xvfb_pid" 2>/dev/null || true; }
trap cleanup EXIT
export DISPLAY=$display
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done

# Wine's background services would inherit ctest's output pipe and keep it
# open, so start them before ctest.
wineserver -p
"$WINE64" cmd /c exit </dev/null >/dev/null 2>&1
run_ctest --preset win64
package_test_x86
cleanup
trap - EXIT

if [ -x scripts/fuzz.sh ]; then
  echo "== fuzzing"
  scripts/fuzz.sh
fi
echo "ctest: $passed passed, $failed failed"
