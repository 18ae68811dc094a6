#!/usr/bin/env bash
# One product per machine, and a reporter registration the package did not
# make left alone, under Wine in a new prefix of its own: a rebuild of the
# same version replaces the installed one, the package of the other
# architecture replaces this one, REPORTER=0 is honoured or refused in any
# sequence of runs and uninstalling leaves nothing behind, and a
# foreign "Brevanta.General" stays as it was through install and uninstall.
# The rebuild and the other architecture's package are made by build-msi.sh
# from the files beside the package; only Windows Installer runs here (the
# 64-bit msiexec), no program of the other architecture.
# Usage: replace_test.sh x64|x86 PACKAGE.msi
set -euo pipefail
arch=${1:?usage: replace_test.sh x64|x86 PACKAGE.msi}
msi=$(realpath "${2:?usage: replace_test.sh x64|x86 PACKAGE.msi}")
here=$(cd "$(dirname "$0")" && pwd)
build_msi="$here/../../packaging/build-msi.sh"

WORK=$(mktemp -d)
export WINEPREFIX="$WORK/wineprefix"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=C.UTF-8
WINE64=/usr/lib/wine/wine64
trap 'wineserver -k 2>/dev/null || true; rm -rf "$WORK"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
winpath() { local p; p=$(realpath -m "$1"); printf 'Z:%s' "${p//\//\\}"; }
wine_() { "$WINE64" "$@" </dev/null 2>/dev/null | tr -d '\r'; }
# One server for the whole test rather than one started again after each
# idle pause: once, on a loaded machine, the foreign registration below
# read back as an earlier step had left it, as if the registry had been
# loaded again from its files.
mkdir -p "$WINEPREFIX"
wineserver -p
"$WINE64" wineboot -i </dev/null >/dev/null 2>&1

property() { msiinfo export "$msi" Property | tr -d '\r' | sed -n "s/^$1\t//p"; }
version=$(property ProductVersion)
other=x86; [ "$arch" = x64 ] || other=x64
for a in "$arch" "$other"; do
  CODESIGN_PKCS12="" "$build_msi" "$version" "$a" "$WORK/$a" "$(dirname "$msi")/$arch"/* >/dev/null
done
rebuild="$WORK/$arch/DefinicoesAcesso-$version-$arch.msi"
other_msi="$WORK/$other/DefinicoesAcesso-$version-$other.msi"

install() { "$WINE64" msiexec /i "$(winpath "$1")" /qn "${@:2}" </dev/null >/dev/null 2>&1 || fail "installing $(basename "$1") $* exited with $?"; }
uninstall() { "$WINE64" msiexec /x "$(winpath "$1")" /qn </dev/null >/dev/null 2>&1 || fail "uninstalling $(basename "$1") exited with $?"; }
expect_installed() {
  local actual
  actual=$(wine_ cscript //nologo "$(winpath "$here/products.js")" "$(property UpgradeCode)")
  [ "$actual" = "$1" ] || fail "$2: installed versions \"$actual\", expected \"$1\""
}
# Each architecture's folder, and the registry view of its reporter.
declare -A folder=([x64]="Program Files" [x86]="Program Files (x86)") view=([x64]=64 [x86]=32)
dll() { echo "$WINEPREFIX/drive_c/${folder[$1]}/DefinicoesAcesso/BrevantaReporter.dll"; }
own_server() { echo "C:\\${folder[$1]}\\DefinicoesAcesso\\BrevantaReporter.dll"; }
CLASSES='HKLM\SOFTWARE\Classes'
# The server registered for the ProgID in the view of ARCH, or nothing.
reporter_server() {
  local clsid
  clsid=$(wine_ reg query "$CLASSES\\Brevanta.General\\CLSID" /ve "/reg:${view[$1]}" | grep -o '{[^}]*}' || true)
  [ -z "$clsid" ] || wine_ reg query "$CLASSES\\CLSID\\$clsid\\InprocServer32" /ve "/reg:${view[$1]}" | sed -n 's/.*REG_SZ *//p'
}

# A rebuild of the same version replaces the installed one, reporter and all.
install "$msi"
install "$rebuild"
expect_installed "$version" "after a rebuild of the same version"
[ "$(reporter_server "$arch")" = "$(own_server "$arch")" ] || fail "the rebuild lost the reporter: \"$(reporter_server "$arch")\""

# The other architecture's package replaces this one, with its reporter in
# its own registry view.
install "$other_msi"
expect_installed "$version" "after the $other package"
[ ! -e "$(dirname "$(dll "$arch")")" ] || fail "the $arch files are still there"
[ -z "$(reporter_server "$arch")" ] || fail "the $arch reporter is still registered"
[ "$(reporter_server "$other")" = "$(own_server "$other")" ] || fail "the $other reporter is not registered"
uninstall "$other_msi"
expect_installed "" "after uninstalling"
[ -z "$(reporter_server "$other")" ] || fail "the $other reporter is still registered after uninstalling"

# Two runs (the same package or a rebuild; ":0" for REPORTER=0): the
# reporter is then there (yes), not (no), either ("-", Windows and Wine
# differ), or the second run was refused, saying why in its log; after
# uninstalling, nothing is left.
run() { local p=${1%:0}; "$WINE64" msiexec /i "$(winpath "${!p}")" /qn $([ "$1" = "$p" ] || echo REPORTER=0) /l*v "$(winpath "$WORK/run.log")" </dev/null >/dev/null 2>&1; }
environment='HKLM\System\CurrentControlSet\Control\Session Manager\Environment'
path_before=$(wine_ reg query "$environment" /v PATH)
for row in "msi:0 - no" "msi msi:0 refused" "msi:0 msi -" "msi rebuild:0 no" "msi:0 rebuild yes"; do
  set -- $row
  run "$1" || fail "$row: the first run exited with $?"
  last=${1%:0}
  if [ "$2" = - ]; then :
  elif run "$2"; then [ "$3" != refused ] || fail "$row: the second run reported success"; last=${2%:0}
  elif [ "$3" != refused ] || ! grep -aq '^Property(S): REPORTER_KEPT = ' "$WORK/run.log"; then fail "$row: the second run failed, or did not say why"
  fi
  case $3 in
    yes) [ -f "$(dll "$arch")" ] && [ "$(reporter_server "$arch")" = "$(own_server "$arch")" ] || fail "$row: no reporter" ;;
    no) [ ! -f "$(dll "$arch")" ] && [ -z "$(reporter_server "$arch")" ] || fail "$row: the reporter is installed" ;;
  esac
  uninstall "${!last}"
  [ ! -e "$(dirname "$(dll "$arch")")" ] && [ -z "$(reporter_server "$arch")" ] || fail "$row: files or reporter left"
  ! wine_ reg query 'HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\Definições de Acesso' >/dev/null &&
    [ "$(wine_ reg query "$environment" /v PATH)" = "$path_before" ] || fail "$row: the event source or PATH left"
done

# A registration the package did not make, with another class or with the
# stand-in's class elsewhere, is neither changed nor taken over, and stays
# after uninstalling.
# reg_ add|delete KEY ARGS…: a change in the view of this architecture's
# reporter, which must succeed.
reg_() { "$WINE64" reg "$@" "/reg:${view[$arch]}" </dev/null >/dev/null 2>&1 || fail "reg $* exited with $?"; }
for foreign in '{0D5E1A62-3C47-4E8B-9F21-6A7B8C9D0E1F} C:\Brevanta\General.dll' \
               '{74EDF636-884C-4A23-B00E-E86EC75297C2} C:\Outros\BrevantaReporter.dll'; do
  clsid=${foreign%% *} server=${foreign#* }
  reg_ add "$CLASSES\\Brevanta.General\\CLSID" /ve /d "$clsid" /f
  reg_ add "$CLASSES\\CLSID\\$clsid\\InprocServer32" /ve /d "$server" /f
  install "$msi"
  [ "$(reporter_server "$arch")" = "$server" ] || fail "install changed the foreign registration to \"$(reporter_server "$arch")\""
  [ ! -f "$(dll "$arch")" ] || fail "the stand-in was installed beside a foreign registration ($server)"
  uninstall "$msi"
  [ "$(reporter_server "$arch")" = "$server" ] ||
    fail "uninstall changed the foreign registration to \"$(reporter_server "$arch")\": $(wine_ reg query "$CLASSES\\Brevanta.General" /s "/reg:${view[$arch]}")"
  reg_ delete "$CLASSES\\Brevanta.General" /f
  reg_ delete "$CLASSES\\CLSID\\$clsid" /f
done
echo "package replacement passed ($arch, $other, foreign reporter)"
