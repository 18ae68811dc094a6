#!/usr/bin/env bash
# The installer package's whole life under Wine, in a new prefix of its own:
# install, the installed program, reporter, companion and event source, an
# upgrade to a higher version, a refused downgrade, and the uninstall.
# Usage: package_test.sh x64|x86 PACKAGE.msi
# The higher version is built by build-msi.sh from the files beside the
# package (the folder named after the architecture).
set -euo pipefail
arch=${1:?usage: package_test.sh x64|x86 PACKAGE.msi}
msi=$(realpath "${2:?usage: package_test.sh x64|x86 PACKAGE.msi}")
here=$(cd "$(dirname "$0")" && pwd)
packaging="$here/../../packaging"

PREFIX=$(mktemp -d)
export WINEPREFIX="$PREFIX/wineprefix"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=C.UTF-8
WINE64=/usr/lib/wine/wine64
if [ "$arch" = x64 ]; then
  folder='C:\Program Files\DefinicoesAcesso'
  unix_folder="$WINEPREFIX/drive_c/Program Files/DefinicoesAcesso"
  WINE=$WINE64
else
  folder='C:\Program Files (x86)\DefinicoesAcesso'
  unix_folder="$WINEPREFIX/drive_c/Program Files (x86)/DefinicoesAcesso"
  WINE=/usr/bin/wine   # the 32-bit loader, for the 32-bit programs
fi

"$WINE64" wineboot -i </dev/null >/dev/null 2>&1
"$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1

. "$here/../e2e/lib.sh" "$folder\\DefinicoesAcesso.exe"
trap 'cleanup; wineserver -k 2>/dev/null || true; rm -rf "$PREFIX"' EXIT

msiexec() { "$WINE64" msiexec "$@" </dev/null >/dev/null 2>&1; }
# The versions of the installed products of this package's upgrade code.
property() { msiinfo export "$msi" Property | tr -d '\r' | sed -n "s/^$1\t//p"; }
upgrade_code=$(property UpgradeCode)
installed() { "$WINE" cscript //nologo "$(winpath "$here/products.js")" "$upgrade_code" </dev/null 2>/dev/null | tr -d '\r'; }
expect_installed() {
  local actual
  actual=$(installed)
  [ "$actual" = "$1" ] || fail "installed versions: \"$actual\", expected \"$1\""
}
# The reporter is registered in the registry view of its own bitness.
view=64; [ "$arch" = x64 ] || view=32
registered() { quiet "$WINE64" reg query "$1" "/reg:$view"; }
CLSID_KEY='HKLM\SOFTWARE\Classes\CLSID\{74EDF636-884C-4A23-B00E-E86EC75297C2}'
PROGID_KEY='HKLM\SOFTWARE\Classes\Brevanta.General'
version=$(property ProductVersion)
next_version="${version%.*}.$((${version##*.} + 1))"
EVENT_SOURCE='HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\Definições de Acesso'
INSTALL_KEY='HKLM\SOFTWARE\orvex\DefinicoesAcesso'
query() { "$WINE64" reg query "$1" /v "$2" ${3:+"/reg:$3"} </dev/null 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"; }
machine_path() { query 'HKLM\System\CurrentControlSet\Control\Session Manager\Environment' PATH; }
path_before=$(machine_path)

# Install: the settings key appears in the 32-bit view, empty.
expect_key_missing
msiexec /i "$(winpath "$msi")" /qn || fail "msiexec /i exited with $?"
expect_installed "$version"
for f in DefinicoesAcesso.exe definicoes.exe definicoes.dsc.resource.json BrevantaReporter.dll; do
  [ -f "$unix_folder/$f" ] || fail "$f is not installed in $folder"
done
[ -z "$(snapshot "$KEY")" ] || fail "the package wrote values in the settings key"
quiet "$WINE64" reg query "$KEY" /reg:32 || fail "the settings key was not created"
# The event source names the program's message table; its folder is on PATH once.
[ "$(query "$EVENT_SOURCE" EventMessageFile)" = "$folder\DefinicoesAcesso.exe" ] &&
  [ "$(query "$EVENT_SOURCE" TypesSupported)" = 0x7 ] ||
  fail "the event source is not registered: $(query "$EVENT_SOURCE" EventMessageFile)"
[ "$(machine_path)" = "$folder\;$path_before" ] || fail "the machine's PATH is $(machine_path)"
# The install folder, where scripts find the companion, in the 32-bit view.
[ "$(query "$INSTALL_KEY" Pasta 32)" = "$folder\\" ] || fail "the install folder is recorded as \"$(query "$INSTALL_KEY" Pasta 32)\""

# The installed program opens its window from the install folder.
set_values "$KEY" Servidor "srv01" Base_Dados "vendas" "Segurança" "False" Utilizador "admin"
start
keys alt+c
expect_exit

# The installed reporter, created by its ProgID, appends the report.
"$WINE" cscript //nologo "$(winpath "$here/report.js")" pacote "$arch" m p "relatório" </dev/null >/dev/null 2>&1 ||
  fail "the reporter could not be created by its ProgID"
log="$WINEPREFIX/drive_c/ProgramData/Brevanta/reports.log"
grep -q "	pacote	$arch	m	p	relatório\$" "$log" 2>/dev/null || fail "the report did not reach $log"

# The installed companion runs and reads the settings.
"$WINE" "$folder\\definicoes.exe" mostrar </dev/null >"$WORK/mostrar.txt" 2>"$WORK/mostrar.err" ||
  fail "definicoes mostrar exited with $?: $(cat "$WORK/mostrar.err")"
grep -qx 'Servidor=srv01' <(tr -d '\r' <"$WORK/mostrar.txt") || fail "definicoes mostrar printed: $(cat "$WORK/mostrar.txt")"

# A higher version replaces this one, and keeps the settings.
CODESIGN_PKCS12="" "$packaging/build-msi.sh" "$next_version" "$arch" "$WORK/next" \
  "$(dirname "$msi")/$arch"/* >/dev/null
msiexec /i "$(winpath "$WORK/next/DefinicoesAcesso-$next_version-$arch.msi")" /qn ||
  fail "the upgrade exited with $?"
expect_installed "$next_version"
expect_value Servidor "srv01"
[ "$(machine_path)" = "$folder\;$path_before" ] || fail "after the upgrade the machine's PATH is $(machine_path)"

# A lower version is refused and changes nothing.
if msiexec /i "$(winpath "$msi")" /qn; then fail "a lower version was installed over a higher one"; fi
expect_installed "$next_version"

# Uninstall: the files, COM registration, event source and PATH entry go;
# the settings stay.
msiexec /x "$(winpath "$WORK/next/DefinicoesAcesso-$next_version-$arch.msi")" /qn ||
  fail "msiexec /x exited with $?"
expect_installed ""
[ ! -e "$unix_folder" ] || fail "$folder is still there: $(ls "$unix_folder")"
! registered "$CLSID_KEY" || fail "the reporter's class is still registered"
! registered "$PROGID_KEY" || fail "the reporter's ProgID is still registered"
! quiet "$WINE64" reg query "$EVENT_SOURCE" || fail "the event source is still registered"
! quiet "$WINE64" reg query "$INSTALL_KEY" /reg:32 || fail "the install folder is still recorded"
[ "$(machine_path)" = "$path_before" ] || fail "after uninstalling the machine's PATH is $(machine_path)"
expect_value Servidor "srv01"
expect_value Utilizador "admin"
echo "package cycle passed ($arch, $version to $next_version)"
