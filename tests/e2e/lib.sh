# Shared by the window tests: starts the real program under Wine, drives it
# with the keyboard through xdotool, and sets and reads the registry around
# it. The settings key is saved first and put back on exit.
# A test sources it with the program's path:  . lib.sh PROGRAM.exe
set -euo pipefail

PROGRAM=${1:?usage: . lib.sh PROGRAM.exe}
: "${WINEPREFIX:?WINEPREFIX must name the prepared Wine prefix}"
: "${DISPLAY:?the window tests need an X display (scripts/test.sh starts one)}"

WINE64=${WINE64:-/usr/lib/wine/wine64}
# The loader that starts the program: the 64-bit one, or plain "wine" for a
# 32-bit program (the tests pass the emulator of their build).
PROGRAM_LOADER=${PROGRAM_LOADER:-$WINE64}
TITLE='Definições de Acesso'
KEY='HKEY_LOCAL_MACHINE\SOFTWARE\orvex\tamrel'
# A second key, for redirections.
REF_KEY='HKEY_LOCAL_MACHINE\SOFTWARE\orvex\e2e-ref'

WORK=$(mktemp -d)
PID=""            # the running program
WIN=""            # its window
MESSAGES_SEEN=0   # message boxes already checked

quiet() { "$@" </dev/null >/dev/null 2>&1; }
# The Unix path as Wine sees it (Z: is the root).
winpath() { local p; p=$(realpath -m "$1"); printf 'Z:%s' "${p//\//\\}"; }

fail() {
  echo "FAIL: $*" >&2
  if [ -s "$WORK/program.log" ]; then
    echo "--- program output:" >&2
    cat "$WORK/program.log" >&2
  fi
  exit 1
}

# The volume serial of C: in this prefix (none in a prefix that was never
# given one), and the stored form of a password with it, worked out apart
# from the program.
SERIAL_FILE="$WINEPREFIX/drive_c/.windows-serial"
SERIAL=$(cat "$SERIAL_FILE" 2>/dev/null || true)
scrambled() { "$(dirname "${BASH_SOURCE[0]}")/scramble.sh" "$SERIAL" "$1"; }

# --- registry (the 32-bit view, which the program uses) ---

# The text as a quoted .reg string.
reg_quote() { local s=${1//\\/\\\\}; printf '"%s"' "${s//\"/\\\"}"; }

# set_values KEY [NAME VALUE]...: creates KEY and stores REG_SZ values. The
# .reg file is UTF-16, so "Segurança" arrives intact.
set_values() {
  local key=$1; shift
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n[%s]\r\n' "$key"
    while [ $# -gt 0 ]; do
      printf '%s=%s\r\n' "$(reg_quote "$1")" "$(reg_quote "$2")"
      shift 2
    done
    printf '\r\n'
  } | { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE; } >"$WORK/set.reg"
  # Wine's reg import has been seen to fail once in a full run and pass
  # on its own: one more try, said on standard error, before the test fails.
  local try
  for try in 1 2; do
    "$WINE64" reg import "$(winpath "$WORK/set.reg")" /reg:32 </dev/null >/dev/null 2>"$WORK/reg.err" && return
    echo "reg import of $key failed (try $try): $(tr -d '\r' <"$WORK/reg.err")" >&2
    sleep 1
  done
  fail "cannot write $key"
}

delete_key() { quiet "$WINE64" reg delete "$1" /f /reg:32 || true; }

# Starts each scenario from an empty settings key and no redirection key.
reset_keys() {
  delete_key "$KEY"
  delete_key "$REF_KEY"
  set_values "$KEY"
}

# snapshot KEY: every value of KEY as text (nothing when KEY is missing).
snapshot() {
  rm -f "$WORK/export.reg"
  quiet "$WINE64" reg export "$1" "$(winpath "$WORK/export.reg")" /y /reg:32 || return 0
  iconv -f UTF-16LE -t UTF-8 "$WORK/export.reg" | tr -d '\r' | grep '^"' || true
}

# value NAME [KEY]: prints the stored text; fails when there is no such value.
value() {
  snapshot "${2:-$KEY}" | perl -CSDA -e '
    my $name = shift;
    while (<STDIN>) {
      chomp;
      next unless /^"((?:[^"\\]|\\.)*)"="((?:[^"\\]|\\.)*)"$/;
      my ($n, $v) = ($1, $2);
      s/\\(.)/$1/g for $n, $v;
      if ($n eq $name) { print $v; exit 0 }
    }
    exit 1' "$1"
}

expect_value() {
  local actual
  actual=$(value "$1") || fail "\"$1\" is not stored"
  [ "$actual" = "$2" ] || fail "\"$1\" is \"$actual\", expected \"$2\""
}

expect_key_missing() {
  ! quiet "$WINE64" reg query "$KEY" /reg:32 || fail "the settings key exists"
}

# --- the program ---

running() { [ -n "$PID" ] && kill -0 "$PID" 2>/dev/null; }
windows() { xdotool search --onlyvisible --name "^$TITLE\$" 2>/dev/null || true; }
# Wine's message box trace gives each box's text.
messages_shown() { grep -c 'MSGBOX_OnInit' "$WORK/program.log" || true; }
# message N: the text of the Nth message box.
message() {
  grep 'MSGBOX_OnInit' "$WORK/program.log" | sed -n "${1}p" | sed 's/^[^"]*"//; s/"$//' |
    perl -CSD -pe 'chomp; s/\\(?:([0-9a-fA-F]{4})|(.))/defined $1 ? chr hex $1 : $2 eq "n" ? "\n" : $2 eq "t" ? "\t" : $2/ge'
}

# Starts the program; its window may not be shown yet.
launch() {
  # The log exists before the program starts, so that it can be read at once.
  : >"$WORK/program.log"
  WINEDEBUG=-all,+msgbox,+eventlog "$PROGRAM_LOADER" "$PROGRAM" </dev/null >>"$WORK/program.log" 2>&1 &
  PID=$!
  WIN=""
  MESSAGES_SEEN=0
}

# Waits for the window and gives it the keyboard focus.
wait_window() {
  local deadline=$((SECONDS + 30))
  while [ -z "$WIN" ]; do
    running || fail "the program ended before its window appeared"
    [ "$(messages_shown)" -eq "$MESSAGES_SEEN" ] || fail "unexpected message: $(message $((MESSAGES_SEEN + 1)))"
    [ $SECONDS -lt $deadline ] || fail "the window did not appear"
    WIN=$(windows | head -n1)
    [ -n "$WIN" ] || sleep 0.1
  done
  xdotool windowfocus --sync "$WIN"
}

start() { launch; wait_window; }

# For a message the program shows once its window is up: waits until the
# window is shown with a message box over it, and keeps the lower of the
# two as the window.
wait_window_under_message() {
  local deadline=$((SECONDS + 30)) shown
  while shown=$(windows); [ "$(grep -c . <<<"$shown")" -lt 2 ]; do
    running || fail "the program ended before its window and message appeared"
    [ $SECONDS -lt $deadline ] || fail "the window did not appear with a message over it"
    sleep 0.1
  done
  WIN=$(head -n1 <<<"$shown")
}

keys() { xdotool key --delay 40 "$@"; }
type_text() { xdotool type --delay 40 "$1"; }

# expect_message TEXT: a message box with exactly TEXT opens, a connection
# test's times in it read as "(N ms)"; Enter closes it. Wine's trace cuts a
# long text short (ending it in '"...'): TEXT must then start with what
# it shows.
expect_message() {
  local expected=$1 deadline=$((SECONDS + 15)) box="" text
  while [ -z "$box" ]; do
    running || fail "the program ended instead of showing: $expected"
    [ $SECONDS -lt $deadline ] || fail "no message box: $expected"
    if [ "$(messages_shown)" -gt "$MESSAGES_SEEN" ]; then
      box=$(windows | grep -vx "${WIN:-none}" | head -n1 || true)
    fi
    [ -n "$box" ] || sleep 0.1
  done
  MESSAGES_SEEN=$((MESSAGES_SEEN + 1))
  text=$(message "$MESSAGES_SEEN" | sed -E 's/\([0-9]+ ms\)/(N ms)/g')
  if [ "${text%\"...}" != "$text" ]; then expected=${expected:0:${#text}-4}; text=${text%\"...}; fi
  [ "$text" = "$expected" ] || fail "the message says: $text"$'\n'"expected: $expected"
  xdotool windowfocus --sync "$box"
  keys Return
  while windows | grep -qx "$box"; do
    [ $SECONDS -lt $deadline ] || fail "the message box did not close"
    sleep 0.1
  done
  if [ -n "$WIN" ]; then xdotool windowfocus --sync "$WIN"; fi
}

# The program ends within 10 s.
expect_exit() {
  local deadline=$((SECONDS + 10))
  while running; do
    [ $SECONDS -lt $deadline ] || fail "the window did not close"
    sleep 0.1
  done
  wait "$PID" || true
  PID=""
}

# A moment later, the program still runs with its window shown.
expect_open() {
  sleep 0.5
  running && windows | grep -qx "$WIN" || fail "the window closed"
}

# --- setup and teardown ---

SAVED=""
if quiet "$WINE64" reg export "$KEY" "$(winpath "$WORK/saved.reg")" /y /reg:32; then SAVED=1; fi

cleanup() {
  if running; then kill "$PID" 2>/dev/null || true; fi
  delete_key "$KEY"
  delete_key "$REF_KEY"
  if [ -n "$SAVED" ]; then quiet "$WINE64" reg import "$(winpath "$WORK/saved.reg")" /reg:32 || true; fi
  rm -rf "$WORK"
}
trap cleanup EXIT
