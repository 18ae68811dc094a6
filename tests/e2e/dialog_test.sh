#!/usr/bin/env bash
# The settings window as a person uses it: keys only, then the registry.
# Usage: dialog_test.sh SCENARIO PROGRAM.exe [POSTER.exe]
. "$(dirname "$0")/lib.sh" "$2"
POSTER=${3:-}

sample_settings() {
  reset_keys
  set_values "$KEY" Servidor "srv01" Base_Dados "vendas" "Segurança" "False" Utilizador "admin"
}

# "&OK" writes what the user changed: the database, shown through its
# redirection and edited, is written at the settings key in place of the
# redirection, which is left as it was. The rest keeps its spaces.
shown_values_are_saved() {
  reset_keys
  set_values "$REF_KEY" Base_Dados "catálogo"
  set_values "$KEY" Servidor "  srv01" Base_Dados "SREF=$REF_KEY" \
    "Segurança" "True" Utilizador "admin  "
  start
  keys Tab End
  type_text "2"
  keys alt+o
  expect_exit
  expect_value Servidor "  srv01"
  expect_value Base_Dados "catálogo2"
  [ "$(value Base_Dados "$REF_KEY")" = "catálogo" ] || fail "the redirection's target changed"
  expect_value "Segurança" "True"
  expect_value Utilizador "admin  "
}

# "&Cancelar" (Alt+C) and the close button (Alt+F4) leave every value as
# it was, whatever was typed.
cancel_and_close_write_nothing() {
  local how before
  for how in alt+c alt+F4; do
    sample_settings
    before=$(snapshot "$KEY")
    start
    type_text "mudado"
    keys Tab
    type_text "outra"
    keys "$how"
    expect_exit
    [ "$(snapshot "$KEY")" = "$before" ] || fail "$how changed the settings"
  done
}

# No default or cancel button: Escape and Enter in a text box or the list
# leave the window open; Enter on a focused button presses it.
escape_and_enter() {
  sample_settings
  start
  keys End
  type_text "9"
  keys Escape Return
  expect_open
  keys Tab Tab Escape Return   # the list
  expect_open
  keys Tab Return Escape       # the user
  expect_open
  keys Tab Tab Return          # "&OK"
  expect_exit
  expect_value Servidor "srv019"
}

# Tab goes server, database, list, user, password, "&OK", "&Cancelar" and
# round again; each text typed must land in its own value.
tab_order() {
  reset_keys
  set_values "$KEY" "Segurança" "False"
  start
  type_text "s1"; keys Tab
  type_text "d2"; keys Tab
  keys Down Tab                # "False" to "True"
  type_text "u3"; keys Tab
  type_text "p4"; keys Tab     # a new password
  keys Tab Tab Tab             # past "&OK", "&Cancelar" and "&Testar ligação", to the server
  type_text "s5"
  keys shift+Tab shift+Tab shift+Tab space
  expect_exit
  expect_value Servidor "s5"
  expect_value Base_Dados "d2"
  expect_value "Segurança" "True"
  expect_value Utilizador "u3"
  [ -n "$(value Palavra-Passe)" ] || fail "the typed password was not saved"
}

# Without the settings key nothing can be written: the window says which
# values were not saved and stays open.
missing_key_message() {
  reset_keys
  delete_key "$KEY"
  start
  keys alt+o
  expect_message "Não foi possível gravar:
Servidor
Base_Dados
Segurança
Utilizador
Palavra-Passe

Confirme que a chave de registo existe e que tem permissões de administrador."
  expect_open
  expect_key_missing
  keys alt+c
  expect_exit
}

KEEP_AS_IS="

Se não os alterar, ficam guardados como estão."

# A redirection to a path that is not a key path is shown while loading;
# the window then opens with that field empty, says it could not be read,
# and "&OK" keeps the redirection as it was.
malformed_redirection_message() {
  sample_settings
  set_values "$KEY" Servidor "SREF=SOFTWARE\\orvex"
  launch
  expect_message "Formato Incorrecto:

SOFTWARE\\orvex"
  wait_window_under_message
  expect_message "Não foi possível ler:
Servidor$KEEP_AS_IS"
  keys alt+o
  expect_exit
  expect_value Servidor "SREF=SOFTWARE\\orvex"
  expect_value Base_Dados "vendas"
}

# Values the window cannot read survive "&OK" byte for byte: one longer
# than the 3499 characters the store reads back, and a redirection to a
# key that does not exist. The other values are saved as usual.
unreadable_values_survive() {
  local long
  long=$(printf 'x%.0s' $(seq 3500))
  sample_settings
  set_values "$KEY" Servidor "$long" Utilizador "SREF=$REF_KEY"
  launch
  wait_window_under_message
  expect_message "Não foi possível ler:
Servidor
Utilizador$KEEP_AS_IS"
  keys Tab End
  type_text "2"
  keys alt+o
  expect_exit
  expect_value Servidor "$long"
  expect_value Utilizador "SREF=$REF_KEY"
  expect_value Base_Dados "vendas2"
}

# Another program posts the window the message that ends a connection
# test, with made-up arguments and no test running: the window ignores it
# and goes on working.
forged_result_is_ignored() {
  local number
  sample_settings
  start
  for number in 0 1 2; do
    quiet "$PROGRAM_LOADER" "$POSTER" frmDefinicoes 0x8002 "$number" 0x12345678 ||
      fail "cannot post to the window"
  done
  expect_open
  keys End
  type_text "9"
  keys alt+o
  expect_exit
  expect_value Servidor "srv019"
}

"$1"
