#!/usr/bin/env bash
# The command-line companion against the real registry and volume serial,
# checked against the window and against the stored form worked out apart
# from the program.
# Usage: companion_test.sh SCENARIO PROGRAM.exe COMPANION.exe
. "$(dirname "$0")/lib.sh" "$2"
COMPANION=$3

# companion [ARG]...: runs it with standard input from $INPUT (none when
# unset); its output lands in $WORK/out and $WORK/err (UTF-8, without
# carriage returns) and its exit code in $EXIT.
companion() {
  EXIT=0
  printf '%s' "${INPUT-}" | "$WINE64" "$COMPANION" "$@" >"$WORK/out.raw" 2>"$WORK/err.raw" || EXIT=$?
  tr -d '\r' <"$WORK/out.raw" >"$WORK/out"
  tr -d '\r' <"$WORK/err.raw" >"$WORK/err"
}
expect_exit_code() {
  [ "$EXIT" -eq "$1" ] || fail "the companion exited with $EXIT, expected $1: $(cat "$WORK/err")"
}

# What `definir` stores is what the window would store: the password's
# stored form for this machine, the item's exact text, a name with "ç";
# the window then opens on those values with no message and "&OK" keeps
# them byte for byte.
definir_stores_what_the_window_would() {
  local before
  reset_keys
  INPUT=$'Segredo1\n' companion definir --servidor srv01 --base-dados "catálogo" \
    --seguranca tRUE --utilizador admin --palavra-passe-stdin
  expect_exit_code 0
  expect_value Servidor srv01
  expect_value Base_Dados "catálogo"
  expect_value "Segurança" True
  expect_value Utilizador admin
  expect_value Palavra-Passe "$(scrambled Segredo1)"
  before=$(snapshot "$KEY")
  start
  keys alt+o
  expect_exit
  [ "$(snapshot "$KEY")" = "$before" ] || fail "the window did not show what the companion stored"
}

# `mostrar` gives the five lines; the password is only described, never
# printed, not even in its stored form.
mostrar_never_prints_the_password() {
  local stored
  stored=$(scrambled "Segredo1")
  reset_keys
  set_values "$KEY" Servidor srv01 Base_Dados "catálogo" "Segurança" False Palavra-Passe "$stored"
  companion mostrar
  expect_exit_code 0
  [ "$(cat "$WORK/out")" = $'Servidor=srv01\nBase_Dados=catálogo\nSegurança=False\nUtilizador=\nPalavra-Passe=(definida)' ] ||
    fail "mostrar printed: $(cat "$WORK/out")"
  ! grep -qF -e Segredo1 -e "$stored" "$WORK/out" "$WORK/err" || fail "mostrar printed the password"
}

# `verificar` passes for a password written here and fails with 3 once the
# volume serial of C: changes, as after a disk replacement or a clone.
# The stored form carries no check of its own: a change of key shows only
# where a decoded code falls below 0, that is for a character below the
# difference of the two keys' characters at its place. The serial 8BADF00D
# gives the key "-1951535091" and 3B9AC9FF gives "999999999": at the first
# place "-" (45) becomes "9" (57), so a leading tab (9) no longer decodes.
verificar_follows_the_volume_serial() {
  [ "$SERIAL" = 8BADF00D ] || fail "the prefix's serial is $SERIAL; this scenario expects 8BADF00D"
  reset_keys
  INPUT=$'\tSegredo1\n' companion definir --palavra-passe-stdin
  expect_exit_code 0
  companion verificar
  expect_exit_code 0
  trap 'printf "%s\n" "$SERIAL" >"$SERIAL_FILE"; quiet wineserver -k || true; cleanup' EXIT
  printf '%s\n' 3B9AC9FF >"$SERIAL_FILE"
  quiet wineserver -k || true
  companion verificar
  expect_exit_code 3
  [ "$(wc -l <"$WORK/out")" -eq 1 ] || fail "verificar gave no one-line reason: $(cat "$WORK/out")"
}

"$1"
