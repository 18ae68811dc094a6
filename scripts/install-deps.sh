#!/usr/bin/env bash
# Installs, from Debian's packages, everything the build, the tests and the
# program need on this kind of machine: the packages below, the locales the
# code page tests run under and, where the machine can run 32-bit programs,
# the 32-bit Wine. Does nothing when all is present.
set -euo pipefail
here=$(dirname "$0")
packages=(cmake make g++ googletest clang libclang-rt-14-dev
          g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
          wine wine64 xvfb xdotool imagemagick locales python3
          wixl msitools osslsigncode openssl
          unixodbc odbc-postgresql postgresql
          nlohmann-json3-dev python3-jsonschema)
sudo=""; [ "$(id -u)" -eq 0 ] || sudo=sudo
updated=""

# install PACKAGE...: installs those of the packages that are missing.
install() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  echo "Installing: ${missing[*]}"
  [ -n "$updated" ] || { $sudo apt-get update -qq; updated=1; }
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

install "${packages[@]}"

# Wine takes its ANSI code page from LANG only for a locale that exists:
# ja_JP.UTF-8 gives code page 932 and ka_GE.UTF-8 gives 65001.
locales_missing=()
for l in ja_JP ka_GE; do
  locale -a 2>/dev/null | grep -qx "$l.utf8" || locales_missing+=("$l")
done
if [ ${#locales_missing[@]} -gt 0 ]; then
  for l in "${locales_missing[@]}"; do
    if grep -q "^# *$l.UTF-8 UTF-8" /etc/locale.gen; then
      $sudo sed -i "s/^# *\\($l.UTF-8 UTF-8\\)/\\1/" /etc/locale.gen
    elif ! grep -q "^$l.UTF-8 UTF-8" /etc/locale.gen; then
      echo "$l.UTF-8 UTF-8" | $sudo tee -a /etc/locale.gen >/dev/null
    fi
  done
  echo "Generating the locales: ${locales_missing[*]}"
  $sudo locale-gen >/dev/null
fi

# The 32-bit Wine, where this machine can run 32-bit programs. It comes
# from Debian's i386 architecture, which dpkg must be told about first.
if "$here/can-run-32bit.sh"; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
    updated=""
  fi
  install wine32:i386
  # The 32-bit ODBC driver manager and PostgreSQL driver, for the 32-bit
  # program's connection tests. Not every mirror or release can install
  # them next to the 64-bit ones; the tests then skip the 32-bit run.
  install libodbc2:i386 odbc-postgresql:i386 ||
    echo "The 32-bit ODBC packages did not install: the 32-bit connection tests will be skipped"
fi
