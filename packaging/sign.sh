#!/usr/bin/env bash
# Signs files with Authenticode in place, when the environment names a
# certificate: CODESIGN_PKCS12 (a PKCS#12 file), CODESIGN_PASSWORD (its
# password, handed to osslsigncode on standard input so that it never shows
# on a command line) and, optionally, CODESIGN_TIMESTAMP_URL. Without a
# certificate it signs nothing, and says so unless --quiet.
# Usage: sign.sh [--quiet] FILE...
set -euo pipefail
quiet=""
if [ "${1:-}" = --quiet ]; then quiet=1; shift; fi

if [ -z "${CODESIGN_PKCS12:-}" ]; then
  [ -n "$quiet" ] || echo "Not signed: set CODESIGN_PKCS12 and CODESIGN_PASSWORD to sign the package and its files."
  exit 0
fi
[ -f "$CODESIGN_PKCS12" ] || { echo "sign.sh: CODESIGN_PKCS12 names no file: $CODESIGN_PKCS12" >&2; exit 1; }

timestamp=()
if [ -n "${CODESIGN_TIMESTAMP_URL:-}" ]; then timestamp=(-ts "$CODESIGN_TIMESTAMP_URL"); fi

for file in "$@"; do
  signed="$file.signed"
  rm -f "$signed"
  printf '%s' "${CODESIGN_PASSWORD:-}" |
    osslsigncode sign -pkcs12 "$CODESIGN_PKCS12" -readpass /dev/stdin -h sha256 \
      -n 'Definições de Acesso' "${timestamp[@]}" -in "$file" -out "$signed" >/dev/null ||
    { rm -f "$signed"; echo "sign.sh: signing $file failed" >&2; exit 1; }
  mv "$signed" "$file"
done
