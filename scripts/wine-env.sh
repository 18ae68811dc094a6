# Sourced, with a Windows build directory as argument: points Wine at that
# build's private prefix, quiet and with a fixed ANSI code page (1252).
_build=$(cd "${1:?usage: . scripts/wine-env.sh BUILD_DIR}" && pwd)
export WINEPREFIX="$_build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=C.UTF-8
unset _build
