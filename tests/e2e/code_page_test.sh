#!/usr/bin/env bash
# The window under the ANSI code page 932 (Japanese, double-byte), which
# Wine gives a program run with LANG=ja_JP.UTF-8; the tests run it so.
# Usage: code_page_test.sh SCENARIO PROGRAM.exe
. "$(dirname "$0")/lib.sh" "$2"

# Values in Japanese are shown and saved back byte for byte; the server,
# edited, is saved with the Japanese text it kept. The password's stored
# form ("1234" with the serial 8BADF00D) is plain ASCII, the same in any
# code page.
japanese_settings() {
  reset_keys
  set_values "$KEY" Servidor "東京サーバー" Base_Dados "販売データ" "Segurança" "True" \
    Utilizador "管理者ｶﾅ" Palavra-Passe "$(scrambled 1234)"
}

japanese_values_are_saved() {
  japanese_settings
  start
  keys End
  type_text "01"
  keys alt+o
  expect_exit
  expect_value Servidor "東京サーバー01"
  expect_value Base_Dados "販売データ"
  expect_value "Segurança" "True"
  expect_value Utilizador "管理者ｶﾅ"
  expect_value Palavra-Passe "$(scrambled 1234)"
}

# Saving adds no value under another name: code page 932 has no "ç", and
# "Segurança" must not turn into another name on its way to the registry.
no_value_is_added() {
  local before
  japanese_settings
  before=$(snapshot "$KEY")
  start
  keys alt+o
  expect_exit
  [ "$(snapshot "$KEY")" = "$before" ] ||
    fail "the settings changed:"$'\n'"$(diff <(echo "$before") <(snapshot "$KEY"))"
}

# "abc" scrambled with the serial 8BADF00D ends in 0x9C, a byte that leads
# a two-byte character in code page 932: alone at the end it would not come
# back from the registry. "&OK" refuses it, writes nothing, not even the
# server edited before, and puts the focus on the password, where "4321",
# whose stored form is plain ASCII, can then be typed and saved.
unstorable_password_is_refused() {
  local before
  reset_keys
  set_values "$KEY" Servidor "srv01" Base_Dados "vendas" "Segurança" "False" \
    Utilizador "admin" Palavra-Passe "$(scrambled 1234)"
  before=$(snapshot "$KEY")
  start
  keys End
  type_text "2"
  keys Tab Tab Tab Tab Delete
  type_text "abc"
  keys alt+o
  expect_message "A palavra-passe não pode ser guardada com a página de código deste computador (932). Escolha outra palavra-passe."
  expect_open
  [ "$(snapshot "$KEY")" = "$before" ] || fail "the settings changed"
  keys End BackSpace BackSpace BackSpace
  type_text "4321"
  keys alt+o
  expect_exit
  expect_value Palavra-Passe "$(scrambled 4321)"
  expect_value Servidor "srv012"
}

"$1"
