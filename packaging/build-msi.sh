#!/usr/bin/env bash
# Builds the installer package DefinicoesAcesso-VERSION-ARCH.msi in OUT_DIR
# from the program, the companion, the reporter DLL and the companion's DSC
# resource manifest: copies them into OUT_DIR/ARCH, strips the binaries
# (debug information kept in OUT_DIR/debug, which is not packaged), signs
# them (sign.sh), runs wixl, adds what wixl cannot express, and signs the
# package.
# Usage: build-msi.sh VERSION x64|x86 OUT_DIR PROGRAM.exe COMPANION.exe REPORTER.dll MANIFEST.json
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
version=$1 arch=$2 out=$3
shift 3
[ $# -eq 4 ] || { echo "usage: build-msi.sh VERSION x64|x86 OUT_DIR PROGRAM COMPANION REPORTER MANIFEST" >&2; exit 2; }

stage="$out/$arch"
msi="$out/DefinicoesAcesso-$version-$arch.msi"
# No half-built package is left behind when a step fails.
built=""
trap '[ -n "$built" ] || rm -f "$msi"' EXIT
rm -rf "$stage"
mkdir -p "$stage"
cp "$@" "$stage/"
# MinGW's x86_64 binutils read both 32-bit and 64-bit Windows binaries.
binutils=x86_64-w64-mingw32-
rm -rf "$out/debug"
binaries=("$stage"/*.exe "$stage"/*.dll)
for file in "${binaries[@]}"; do
  # A file without symbols is left as it is: stripping a signed file would
  # break its signature.
  case $("${binutils}objdump" -f "$file") in
    *HAS_SYMS*|*HAS_DEBUG*) ;;
    *) continue ;;
  esac
  case $("${binutils}objdump" -h "$file") in
    *' .debug_'*)
      mkdir -p "$out/debug"
      "${binutils}objcopy" --only-keep-debug "$file" "$out/debug/$(basename "$file").debug" ;;
  esac
  "${binutils}strip" --strip-all "$file"
done
"$here/sign.sh" "${binaries[@]}"

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

sql() { msibuild "$msi" -q "$1"; }

# The event source's message file as the expandable text (REG_EXPAND_SZ,
# "#%" in the Registry table) the event log documents; wixl writes REG_SZ.
sql "UPDATE \`Registry\` SET \`Value\` = '#%[#ProgramExe]' WHERE \`Name\` = 'EventMessageFile'"

# The program folder on the machine's PATH, with the companion, so that
# DSC finds the companion and its manifest: an Environment row (wixl takes
# no Environment element). Name: "=" sets PATH, creating it if missing,
# "-" takes out what was added when the component is removed, "*" the
# machine's variable. The value ";[~]" puts the folder before what is
# there: appended instead, Wine's installer leaves the ";" behind on each
# removal. The folder holds only this package's files, whose names no
# system program has.
sql "CREATE TABLE \`Environment\` (\`Environment\` CHAR(72) NOT NULL, \`Name\` CHAR(255) NOT NULL LOCALIZABLE, \`Value\` CHAR(255) LOCALIZABLE, \`Component_\` CHAR(72) NOT NULL PRIMARY KEY \`Environment\`)"
sql "INSERT INTO \`Environment\` (\`Environment\`, \`Name\`, \`Value\`, \`Component_\`) VALUES ('ProgramFolderOnPath', '=-*PATH', '[INSTALLDIR];[~]', 'Companion')"
for row in "RemoveEnvironmentStrings 3300" "WriteEnvironmentStrings 5200"; do
  set -- $row
  sql "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Sequence\`) VALUES ('$1', $2)"
done

# One product per machine. Both architectures share the upgrade code, and
# the same version replaces the installed one too (a rebuild has a new
# product code): the upgrade row's maximum is made inclusive (512, with 1,
# migrate features). Attributes is a key column of the Upgrade table, so the
# row is replaced, not updated. The x86 packages up to 1.0.0 had an upgrade
# code of their own: those are replaced as well.
upgrade_code=$(msiinfo export "$msi" Property | tr -d '\r' | sed -n 's/^UpgradeCode\t//p')
sql "DELETE FROM \`Upgrade\` WHERE \`ActionProperty\` = 'WIX_UPGRADE_DETECTED'"
for row in "$upgrade_code WIX_UPGRADE_DETECTED" "{1F0B5A98-ED17-4561-9572-F96D71307FB3} EARLIER_X86_PACKAGE"; do
  set -- $row
  sql "INSERT INTO \`Upgrade\` (\`UpgradeCode\`, \`VersionMax\`, \`Attributes\`, \`ActionProperty\`) VALUES ('$1', '$version', 513, '$2')"
done

# Each file's version, read from its version information (the fixed part
# starts with the signature 0xFEEF04BD and the structure version 1.0), and
# its language, pt-PT as declared there.
file_version() {
  local at words
  at=$(LC_ALL=C grep -obUaP '\xBD\x04\xEF\xFE\x00\x00\x01\x00' "$1" | head -n 1 | cut -d: -f1)
  [ -n "$at" ] || { echo "build-msi.sh: $1 has no version information" >&2; return 1; }
  words=($(od -An -tu2 -j$((at + 8)) -N8 "$1"))
  echo "${words[1]}.${words[0]}.${words[3]}.${words[2]}"
}
for row in "ProgramExe DefinicoesAcesso.exe" "CompanionExe definicoes.exe" "ReporterDll BrevantaReporter.dll"; do
  set -- $row
  v=$(file_version "$stage/$2")
  sql "UPDATE \`File\` SET \`Version\` = '$v', \`Language\` = '2070' WHERE \`File\` = '$1'"
done

# The stand-in reporter is installed only where no other "Brevanta.General"
# is registered, in the registry view of its bitness, and not at all with
# REPORTER=0. A registration the package made itself (found again during an
# upgrade) counts as none: it names the stand-in's class, whose server is
# the file of this package's Reporter component, still installed. The
# condition also holds when the package's own registration is removed
# (uninstall, or the earlier product's removal in an upgrade): Wine
# evaluates it then too, and a disabled component is neither installed nor
# removed. Searches for a key's default value: RegLocator type 2 (raw),
# plus 16 for the 64-bit view; CompLocator with a Signature row gives the
# component's key file, not its folder.
clsid='{74EDF636-884C-4A23-B00E-E86EC75297C2}'
view=2; [ "$arch" = x86 ] || view=18
reporter_guid=$(msiinfo export "$msi" Component | tr -d '\r' | sed -n 's/^Reporter\t\([^\t]*\).*/\1/p')
sql "INSERT INTO \`RegLocator\` (\`Signature_\`, \`Root\`, \`Key\`, \`Type\`) VALUES ('ReporterProgId', 2, 'SOFTWARE\\Classes\\Brevanta.General\\CLSID', $view)"
sql "INSERT INTO \`RegLocator\` (\`Signature_\`, \`Root\`, \`Key\`, \`Type\`) VALUES ('ReporterServer', 2, 'SOFTWARE\\Classes\\CLSID\\$clsid\\InprocServer32', $view)"
sql "CREATE TABLE \`CompLocator\` (\`Signature_\` CHAR(72) NOT NULL, \`ComponentId\` CHAR(38) NOT NULL, \`Type\` SHORT PRIMARY KEY \`Signature_\`)"
sql "INSERT INTO \`CompLocator\` (\`Signature_\`, \`ComponentId\`, \`Type\`) VALUES ('OwnReporter', '$reporter_guid', 1)"
sql "INSERT INTO \`Signature\` (\`Signature\`, \`FileName\`) VALUES ('OwnReporter', 'BrevantaReporter.dll')"
for row in "FOUND_PROGID_CLSID ReporterProgId" "FOUND_REPORTER_SERVER ReporterServer" "OWN_REPORTER OwnReporter"; do
  set -- $row
  sql "INSERT INTO \`AppSearch\` (\`Property\`, \`Signature_\`) VALUES ('$1', '$2')"
done
for table in InstallExecuteSequence InstallUISequence; do
  sql "INSERT INTO \`$table\` (\`Action\`, \`Sequence\`) VALUES ('AppSearch', 50)"
done
secure=$(msiinfo export "$msi" Property | tr -d '\r' | sed -n 's/^SecureCustomProperties\t//p')
sql "UPDATE \`Property\` SET \`Value\` = '$secure;EARLIER_X86_PACKAGE;REPORTER;FOUND_PROGID_CLSID;FOUND_REPORTER_SERVER;OWN_REPORTER' WHERE \`Property\` = 'SecureCustomProperties'"
sql "UPDATE \`Component\` SET \`Condition\` = 'REPORTER<>\"0\" AND (NOT FOUND_PROGID_CLSID OR (FOUND_PROGID_CLSID=\"$clsid\" AND OWN_REPORTER AND FOUND_REPORTER_SERVER~=OWN_REPORTER))' WHERE \`Component\` = 'Reporter'"

# Running this very package again (same product code: maintenance, not an
# upgrade) with REPORTER=0 cannot take out a stand-in it installed: Windows
# does not weigh the component's condition again without a reinstall of
# it, and Wine weighs it but only forgets the component, leaving its file
# and registration behind for good. Such a run is refused (1603) rather
# than reporting success and keeping the reporter: REPORTER_KEPT (type 51)
# puts the reason in the log, where both installers show the properties
# set, and a type 19 action ends the run with it.
kept='Installed AND NOT REMOVE AND REPORTER="0" AND OWN_REPORTER'
sql "INSERT INTO \`CustomAction\` (\`Action\`, \`Type\`, \`Source\`, \`Target\`) VALUES ('SayReporterKept', 51, 'REPORTER_KEPT', 'Esta versão já está instalada com o relator de erros substituto, que REPORTER=0 não remove numa reinstalação: nada foi alterado. Para o remover, desinstale (msiexec /x) e instale de novo com REPORTER=0; as definições ficam.')"
sql "INSERT INTO \`CustomAction\` (\`Action\`, \`Type\`, \`Source\`, \`Target\`) VALUES ('RefuseReporterKept', 19, '', '[REPORTER_KEPT]')"
for row in "SayReporterKept 60" "RefuseReporterKept 110"; do
  set -- $row
  sql "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Condition\`, \`Sequence\`) VALUES ('$1', '$kept', $2)"
done

# The summary information in the product's language; the platform stays
# wixl's ("x64", or "Intel" for x86).
platform=$(msiinfo suminfo "$msi" | sed -n 's/^Template: \([^;]*\);.*/\1/p')
msibuild "$msi" -s "Definições de Acesso $version ($arch)" orvex "$platform;2070"

"$here/sign.sh" --quiet "$msi"
built=1
echo "Built $msi"
