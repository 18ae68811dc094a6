# Sourced, with a Windows build directory as argument: points Wine at that
# build's private prefix, quiet and with a fixed ANSI code page (1252).
_build=$(cd "${1:?usage: . scripts/wine-env.sh BUILD_DIR}" && pwd)
export WINEPREFIX="$_build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=C.UTF-8
# The 64-bit loader, for everything 64-bit. Where the 32-bit Wine is also
# installed, plain "wine" starts the 32-bit loader first, and Wine's own
# tools (reg, regsvr32, wineboot) would then run as 32-bit programs.
export WINE64=/usr/lib/wine/wine64
unset _build
