#!/usr/bin/env bash
# Builds the installer package DefinicoesAcesso-VERSION-ARCH.msi in OUT_DIR
# from the program, the companion and the reporter DLL: copies them into
# OUT_DIR/ARCH, signs them (sign.sh), runs wixl, adds what wixl cannot
# express, and signs the package.
# Usage: build-msi.sh VERSION x64|x86 OUT_DIR PROGRAM.exe COMPANION.exe REPORTER.dll
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
version=$1 arch=$2 out=$3
shift 3
[ $# -eq 3 ] || { echo "usage: build-msi.sh VERSION x64|x86 OUT_DIR PROGRAM COMPANION REPORTER" >&2; exit 2; }

stage="$out/$arch"
msi="$out/DefinicoesAcesso-$version-$arch.msi"
rm -rf "$stage"
mkdir -p "$stage"
cp "$@" "$stage/"
"$here/sign.sh" "$stage"/*

# wixl ignores, with only a warning, the attributes it does not implement:
# any output at all fails the build.
log="$stage/wixl.log"
rm -f "$msi"
if ! (cd "$stage" && wixl -a "$arch" -D Version="$version" -D Arch="$arch" \
        -o "$msi" "$here/DefinicoesAcesso.wxs") >"$log" 2>&1 || [ -s "$log" ]; then
  cat "$log" >&2
  echo "build-msi.sh: wixl failed or warned; no package built" >&2
  rm -f "$msi"
  exit 1
fi
rm -f "$log"

# What wixl cannot express. The settings key: a Registry row named "+"
# creates the key when it is missing and leaves it on uninstall. Its
# component is permanent (attribute 16), so no uninstall touches it.
msibuild "$msi" -q "INSERT INTO \`Registry\` (\`Registry\`, \`Root\`, \`Key\`, \`Name\`, \`Component_\`) VALUES ('SettingsKey', 2, 'SOFTWARE\\orvex\\tamrel', '+', 'SettingsKey')"
msibuild "$msi" -q "UPDATE \`Component\` SET \`Attributes\` = 16 WHERE \`Component\` = 'SettingsKey'"

"$here/sign.sh" --quiet "$msi"
echo "Built $msi"
