#!/usr/bin/env bash
# Signing: with a throwaway self-signed certificate named by the
# environment, the package and the three binaries inside it carry valid
# Authenticode signatures; without one, nothing is signed and the build
# says so once.
# Usage: signing_test.sh x64|x86 PROGRAM.exe COMPANION.exe REPORTER.dll MANIFEST.json
set -euo pipefail
arch=$1; shift
build_msi="$(cd "$(dirname "$0")/../../packaging" && pwd)/build-msi.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj "/CN=Teste de assinatura" \
  -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
password='p4ss w0rd;$x'
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" \
  -passout "pass:$password" -out "$work/cert.p12"

signed=("$work/signed/DefinicoesAcesso-9.9.9-$arch.msi" "$work/signed/$arch"/{DefinicoesAcesso.exe,definicoes.exe,BrevantaReporter.dll})

# Signed: every file verifies against the certificate, and the password
# appears in no output.
CODESIGN_PKCS12="$work/cert.p12" CODESIGN_PASSWORD="$password" \
  "$build_msi" 9.9.9 "$arch" "$work/signed" "$@" >"$work/signed.log" 2>&1 ||
  fail "the signed build failed: $(cat "$work/signed.log")"
! grep -qF "$password" "$work/signed.log" || fail "the build printed the password"
for f in "${signed[@]}"; do
  osslsigncode verify -CAfile "$work/cert.pem" -in "$f" >"$work/verify.log" 2>&1 ||
    fail "$(basename "$f") does not verify: $(cat "$work/verify.log")"
done

# A wrong password fails the build rather than leaving it unsigned.
if CODESIGN_PKCS12="$work/cert.p12" CODESIGN_PASSWORD="wrong" \
   "$build_msi" 9.9.9 "$arch" "$work/wrong" "$@" >/dev/null 2>&1; then
  fail "a wrong password built a package"
fi

# Unsigned: one line says so; nothing carries a signature.
env -u CODESIGN_PKCS12 -u CODESIGN_PASSWORD \
  "$build_msi" 9.9.9 "$arch" "$work/plain" "$@" >"$work/plain.log" 2>&1 ||
  fail "the unsigned build failed: $(cat "$work/plain.log")"
[ "$(grep -c 'Not signed' "$work/plain.log")" -eq 1 ] || fail "the unsigned build said: $(cat "$work/plain.log")"
for f in "${signed[@]}"; do
  f=${f/\/signed\//\/plain\/}
  if osslsigncode verify -in "$f" >/dev/null 2>&1; then fail "$(basename "$f") is signed"; fi
done
echo "signing passed"
