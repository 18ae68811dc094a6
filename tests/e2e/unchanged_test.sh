#!/usr/bin/env bash
# "&OK" writes only what the user changed: values the window cannot show as
# stored, of other types, redirected or with spaces, are left byte for byte
# as they were, checked on the key exported before and after.
# Usage: unchanged_test.sh SCENARIO PROGRAM.exe
. "$(dirname "$0")/lib.sh" "$2"

# hex_value TYPE TEXT...: a .reg value of type TYPE (2 = REG_EXPAND_SZ,
# 7 = REG_MULTI_SZ) holding the texts, each with its terminator, and for
# a REG_MULTI_SZ the closing empty text.
hex_value() {
  local type=$1; shift
  {
    for text in "$@"; do printf '%s\0' "$text"; done
    [ "$type" != 7 ] || printf '\0'
  } | iconv -f UTF-8 -t UTF-16LE | od -An -v -tx1 |
    tr -s ' \n' ',' | sed "s/^,//; s/,\$//; s/^/hex($type):/"
}

# set_typed NAME DATA: stores one value under the settings key, DATA
# spelled as in a .reg file (dword:..., hex(N):...).
set_typed() {
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n[%s]\r\n' "$KEY"
    printf '%s=%s\r\n\r\n' "$(reg_quote "$1")" "$2"
  } | { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE; } >"$WORK/typed.reg"
  quiet "$WINE64" reg import "$(winpath "$WORK/typed.reg")" /reg:32 || fail "cannot store $1"
}

export_key() { quiet "$WINE64" reg export "$KEY" "$(winpath "$1")" /y /reg:32 || fail "cannot export"; }

# One value a line, continuation lines joined.
reg_lines() { iconv -f UTF-16LE -t UTF-8 "$1" | tr -d '\r' | perl -0pe 's/\\\n\s*//g'; }

# ok_without_edits [MESSAGE]: opens the window (MESSAGE, if given, must be
# the one shown at opening), presses "&OK" and checks that the exported key
# has not changed by one byte.
ok_without_edits() {
  export_key "$WORK/before.reg"
  launch
  if [ -n "${1:-}" ]; then
    wait_window_under_message
    expect_message "$1"
  else
    wait_window
  fi
  keys alt+o
  expect_exit
  export_key "$WORK/after.reg"
  cmp -s "$WORK/before.reg" "$WORK/after.reg" ||
    fail "\"&OK\" changed the settings:"$'\n'"$(diff <(reg_lines "$WORK/before.reg") <(reg_lines "$WORK/after.reg"))"
}

NOT_SHOWN="Não é possível mostrar tal como estão guardados:"
KEEP_AS_IS="

Se não os alterar, ficam guardados como estão."

ok_changes_nothing_unchanged() {
  # Characters code page 1252 lacks, another text type, a number and a
  # list of texts: named at opening, kept by "&OK".
  reset_keys
  set_values "$KEY" Servidor "Łódź-日" Palavra-Passe "$(scrambled "segredo")"
  set_typed Base_Dados "$(hex_value 2 Vendas)"
  set_typed "Segurança" dword:00000001
  set_typed Utilizador "$(hex_value 7 sa backup)"
  local named="$NOT_SHOWN
Servidor (tem caracteres que a página de código deste computador não tem)
Segurança (não é texto)
Utilizador (é uma lista de textos)$KEEP_AS_IS"
  ok_without_edits "$named"

  # Then one field changed, the list of texts shown empty: that value alone
  # differs, now the typed text.
  launch
  wait_window_under_message
  expect_message "$named"
  keys Tab Tab Tab
  type_text "novo"
  keys alt+o
  expect_exit
  export_key "$WORK/after.reg"
  local changed
  changed=$(diff <(reg_lines "$WORK/before.reg") <(reg_lines "$WORK/after.reg") | grep '^[<>]' || true)
  [ -n "$changed" ] || fail "the changed field was not saved"
  ! grep -qv '^[<>] "Utilizador"=' <<<"$changed" || fail "more than the user changed:"$'\n'"$changed"
  expect_value Utilizador "novo"

  # A working redirection, leading spaces and a flag in another case.
  reset_keys
  set_values "$REF_KEY" Servidor "partilha"
  set_values "$KEY" Servidor "SREF=$REF_KEY" Base_Dados "Vendas" "Segurança" "true" \
    Utilizador "  admin" Palavra-Passe "$(scrambled "segredo")"
  ok_without_edits

  # A password stored under code page 1252, opened under 932 (Japanese),
  # which lacks some of its characters: named, and kept.
  reset_keys
  set_values "$KEY" Servidor "srv01" Base_Dados "Vendas" "Segurança" "False" \
    Utilizador "admin" Palavra-Passe "$(scrambled "zzzz~")"
  LANG=ja_JP.UTF-8 ok_without_edits "$NOT_SHOWN
Palavra-Passe (tem caracteres que a página de código deste computador não tem)$KEEP_AS_IS"
}

"$1"
