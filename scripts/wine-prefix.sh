#!/usr/bin/env bash
# Makes BUILD_DIR/wineprefix ready for the tests and for running the
# program: creates the prefix if missing, turns off Wine's window-manager
# wait, sets the volume serial number of C: (from $WINE_SERIAL, default
# 8BADF00D) and registers the build's error reporter DLL, 32-bit or 64-bit
# as built. Leaves no wineserver running, so the serial takes effect at the
# next start.
# Usage: scripts/wine-prefix.sh BUILD_DIR
set -euo pipefail
build=$(cd "${1:?usage: scripts/wine-prefix.sh BUILD_DIR}" && pwd)
cd "$(dirname "$0")/.."
. scripts/wine-env.sh "$build"

# Wine's background processes would keep our caller's output open: give
# every Wine command its own input and output.
quiet() { "$@" </dev/null >/dev/null 2>&1; }

quiet wineserver -k || true

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Creating the Wine prefix $WINEPREFIX"
  quiet "$WINE64" wineboot -i
fi

# Without a window manager Wine waits 2 s whenever a window closes.
quiet "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f

printf '%s\n' "${WINE_SERIAL:-8BADF00D}" >"$WINEPREFIX/drive_c/.windows-serial"

# The machine type in a PE file's header: 14c for i386, 8664 for x86-64.
pe_machine() {
  local pe
  pe=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  od -An -tx2 -j$((pe + 4)) -N2 "$1" | tr -d ' '
}

dll="$build/reporter/BrevantaReporter.dll"
if [ -f "$dll" ]; then
  # A DLL is registered by the regsvr32 of its own bitness: the 64-bit
  # loader's for a 64-bit one, plain "wine" (the 32-bit loader) for a
  # 32-bit one, which also makes the prefix's first, slow 32-bit start.
  regsvr32=("$WINE64" regsvr32)
  [ "$(pe_machine "$dll")" != 14c ] || regsvr32=(wine regsvr32)
  # Drive Z: is the Unix root.
  quiet "${regsvr32[@]}" /s "Z:${dll//\//\\}" || {
    echo "wine-prefix.sh: registering $dll failed" >&2
    exit 1
  }
else
  echo "wine-prefix.sh: $dll not built; the error reporter is not registered" >&2
fi

# Stopping the server writes the registry to disk.
quiet wineserver -k || true
