#!/usr/bin/env bash
# Starts the program on this machine: installs what is missing, builds the
# 64-bit program, prepares its Wine prefix with the settings key and some
# sample values (only when the key is missing, so edits survive), and opens
# the window on $DISPLAY, or on a private Xvfb display when there is none.
# With --32 it does the same with the 32-bit program (build/win32), where
# this machine can run 32-bit programs.
# Usage: scripts/run.sh [--32]
set -euo pipefail
cd "$(dirname "$0")/.."

preset=win64
loader=/usr/lib/wine/wine64
case "${1:-}" in
  "") ;;
  --32)
    preset=win32
    loader=/usr/bin/wine   # the 32-bit loader, once the 32-bit Wine is in
    if ! scripts/can-run-32bit.sh; then
      echo "run.sh: this machine cannot run 32-bit programs, so the 32-bit program" \
           "cannot be opened here; scripts/run.sh without --32 opens the 64-bit one." >&2
      exit 1
    fi ;;
  *) echo "usage: scripts/run.sh [--32]" >&2; exit 2 ;;
esac
build=build/$preset

scripts/install-deps.sh
[ -f "$build/CMakeCache.txt" ] || cmake --preset "$preset"
cmake --build --preset "$preset" -j"$(nproc)" --target DefinicoesAcesso BrevantaReporter

# No display: a private Xvfb one (scripts/xvfb.sh).
. scripts/xvfb.sh
if [ -z "${DISPLAY:-}" ]; then
  trap xvfb_stop EXIT
  xvfb_start
fi

scripts/wine-prefix.sh "$build"
. scripts/wine-env.sh "$build"

key='HKLM\SOFTWARE\orvex\tamrel'
# The program is a 32-bit one at heart: its settings live in the 32-bit view.
if ! "$WINE64" reg query "$key" /reg:32 </dev/null >/dev/null 2>&1; then
  echo "Creating $key with sample values (password: Segredo1)"
  # The password as the program stores it with this prefix's serial of C:,
  # in a .reg string, where "\" and '"' are escaped.
  password=$(tests/e2e/scramble.sh "$(cat "$WINEPREFIX/drive_c/.windows-serial")" Segredo1)
  password=${password//\\/\\\\}
  password=${password//\"/\\\"}
  sample=$build/sample-settings.reg
  # UTF-16, so that "Segurança" is stored as it is spelt.
  { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE <<REG; } >"$sample"
Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\SOFTWARE\orvex\tamrel]
"Servidor"="SRVDADOS01"
"Base_Dados"="Tamrel"
"Segurança"="True"
"Utilizador"="administrador"
"Palavra-Passe"="$password"

REG
  "$WINE64" reg import "Z:$(realpath "$sample" | tr / '\\')" /reg:32 </dev/null >/dev/null 2>&1
  "$WINE64" reg query "$key" /v Servidor /reg:32 </dev/null >/dev/null 2>&1 ||
    { echo "run.sh: could not create $key" >&2; exit 1; }
fi

program=$build/app/DefinicoesAcesso.exe
if [ -z "$xvfb_pid" ]; then
  exec "$loader" "$program"
fi

"$loader" "$program" </dev/null >/dev/null 2>&1 &
program_pid=$!
shot=$build/screenshot.png
if window=$(timeout 30 xdotool search --sync --onlyvisible --name 'Definições de Acesso' | head -n1) &&
   [ -n "$window" ]; then
  sleep 0.3
  import -window "$window" "$shot"
  cat <<EOF_HELP
There is no display here, so the window is open on Xvfb $DISPLAY.
  It is in $shot now. Take another picture:
    import -display $DISPLAY -window root shot.png
  Drive it from the keyboard, e.g. type a server name, then Alt+O to save:
    DISPLAY=$DISPLAY xdotool windowfocus --sync $window type 'novo'
    DISPLAY=$DISPLAY xdotool windowfocus --sync $window key alt+o
  Or watch it with a VNC viewer, if x11vnc is installed:
    x11vnc -display $DISPLAY -localhost
This script waits until the program ends (Alt+O, Alt+C or Alt+F4 above).
EOF_HELP
else
  echo "run.sh: the window did not appear" >&2
fi
wait "$program_pid"
