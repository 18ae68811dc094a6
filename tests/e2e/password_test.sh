#!/usr/bin/env bash
# The password row of the real program: what it stores for the volume
# serial of this Wine prefix, and what it refuses to lose.
# Usage: password_test.sh SCENARIO PROGRAM.exe
. "$(dirname "$0")/lib.sh" "$2"

# The settings with a stored password; the window opens with the focus
# on the server and, four tabs on, the password with all its text selected.
settings_with_password() {
  reset_keys
  set_values "$KEY" Servidor "srv01" Base_Dados "vendas" "Segurança" "False" \
    Utilizador "admin" Palavra-Passe "$1"
}
to_password() { keys Tab Tab Tab Tab; }

# "&OK" with the mask untouched writes back the very stored form it read.
# With the serial 8BADF00D the first six characters meet the key in the
# sums that are stored as codes 248 to 255, which the load decodes.
unchanged_password_is_kept() {
  local stored before
  stored=$(scrambled "RPTZ_hSegredo#2024")
  settings_with_password "$stored"
  before=$(snapshot "$KEY")
  start
  keys alt+o
  expect_exit
  expect_value Palavra-Passe "$stored"
  [ "$(snapshot "$KEY")" = "$before" ] || fail "the settings changed"
}

# A password typed in place of the mask is stored scrambled with this
# machine's key.
typed_password_is_scrambled() {
  settings_with_password "$(scrambled "antiga")"
  start
  to_password
  keys Delete
  type_text "Segredo1"
  keys alt+o
  expect_exit
  expect_value Palavra-Passe "$(scrambled "Segredo1")"
}

# "ç" cannot be scrambled with any key: "&OK" says so, writes nothing, not
# even the server changed before it, and leaves the window open.
unstorable_character_is_refused() {
  local before
  settings_with_password "$(scrambled "antiga")"
  before=$(snapshot "$KEY")
  start
  keys End
  type_text "2"
  to_password
  type_text "Segredoç"
  keys alt+o
  expect_message "A palavra-passe contém caracteres que não podem ser gravados, na posição 8."
  expect_open
  [ "$(snapshot "$KEY")" = "$before" ] || fail "the settings changed"
  keys alt+c
  expect_exit
}

# A stored form that does not decode with this machine's key, like one
# written on another machine or damaged, is named once the window shows,
# and "&OK" keeps it byte for byte. "!" (33) is below every key code (45 and
# up); "€" (0x80) is there for a high code.
foreign_password_is_kept() {
  local stored='€!'
  settings_with_password "$stored"
  launch
  wait_window_under_message
  expect_message "A palavra-passe guardada não pode ser lida neste computador. Se não a alterar, fica guardada como está."
  expect_open
  keys alt+o
  expect_exit
  expect_value Palavra-Passe "$stored"
}

"$1"
