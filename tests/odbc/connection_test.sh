#!/usr/bin/env bash
# "&Testar ligação" and `definicoes testar` over the real ODBC path: Wine's
# odbc32, the host's unixODBC, the PostgreSQL driver registered as "SQL
# Server", and a throw-away PostgreSQL server (cluster.sh).
# Usage: connection_test.sh SCENARIO PROGRAM.exe COMPANION.exe
. "$(dirname "$0")/../e2e/lib.sh" "$2"
. "$(dirname "$0")/cluster.sh"
COMPANION=$3
trap 'cluster_stop; cleanup' EXIT
cluster_start || fail "the PostgreSQL cluster did not start"

FAILED="Não foi possível ligar à base de dados:"$'\n\n'
wrong_password() {
  printf '[08001] connection to server at "%s", port 5432 failed: FATAL:  password authentication failed for user "{%s}"' \
    "$PG_HOST" "$PG_USER"
}

# The settings key pointing at the cluster (or at SERVER), with the
# password stored for this machine.
store_settings() {
  reset_keys
  set_values "$KEY" Servidor "${1:-$PG_HOST}" Base_Dados "$PG_DATABASE" "Segurança" False \
    Utilizador "$PG_USER" Palavra-Passe "$(scrambled "$PG_PASSWORD")"
}

# now: a time in microseconds, for wait_message.
now() { echo "${EPOCHREALTIME/./}"; }

# wait_message SECONDS [SINCE]: waits up to SECONDS for the next message
# box; prints the milliseconds from SINCE (a `now`, by default the call)
# to the moment the test saw it (it looks every 20 ms).
wait_message() {
  local start=${2:-$(now)} deadline=$((SECONDS + $1))
  while [ "$(messages_shown)" -le "$MESSAGES_SEEN" ]; do
    running || fail "the program ended instead of showing a message"
    [ $SECONDS -lt $deadline ] || fail "no message within $1 s"
    sleep 0.02
  done
  echo $(((${EPOCHREALTIME/./} - start) / 1000))
}

# Opens the window and tests with a typed password (the password field is
# four Tabs from the first field, which has the focus at start).
test_typed_password() {
  start
  keys Tab Tab Tab Tab ctrl+a
  type_text "$1"
  keys alt+t
  wait_message 20 >/dev/null
}

# The stored settings, with the field still showing the mask: the stored
# password decoded. Nothing is written.
stored_settings_connect() {
  local before elapsed t0
  store_settings
  before=$(snapshot "$KEY")
  start
  t0=$(now)
  keys alt+t
  elapsed=$(wait_message 20 "$t0")
  echo "button press to result: $elapsed ms"
  expect_message "Ligação estabelecida."
  keys alt+c
  expect_exit
  [ "$(snapshot "$KEY")" = "$before" ] || fail "the test changed the stored settings"
}

# A typed password: a wrong one gives the server's SQLSTATE; one with ";",
# "}" and "=" connects.
typed_passwords() {
  store_settings
  set_password 'a;b}c=d'
  test_typed_password errada
  expect_message "$FAILED$(wrong_password)"
  keys alt+c
  expect_exit
  test_typed_password 'a;b}c=d'
  expect_message "Ligação estabelecida."
}

# A server that accepts and never answers: the failure comes within the
# login timeout (15 s) plus two seconds, and only once however often the
# button is pressed meanwhile.
unresponsive_server_times_out() {
  local elapsed t0
  hang_listener
  store_settings "$HANG_HOST"
  export PGHOSTADDR=$HANG_HOST
  start
  t0=$(now)
  keys alt+t
  sleep 0.5
  keys alt+t Tab alt+t
  elapsed=$(wait_message 30 "$t0")
  echo "button press to result: $elapsed ms"
  [ "$elapsed" -le 17500 ] || fail "the failure came after $elapsed ms"
  expect_message "$FAILED[08001] connection to server at \"$HANG_HOST\", port 5432 failed: timeout expired"
  sleep 1
  [ "$(messages_shown)" -eq 1 ] || fail "a second test ran: $(message 2)"
}

# "&Cancelar" closes the window, and the program ends, while an attempt runs.
cancel_during_attempt() {
  hang_listener
  store_settings "$HANG_HOST"
  export PGHOSTADDR=$HANG_HOST
  start
  keys alt+t
  sleep 1
  running || fail "the program ended"
  keys alt+c
  expect_exit
  [ "$(messages_shown)" -eq 0 ] || fail "unexpected message: $(message 1)"
}

# companion [ARG]...: its raw output in $WORK/out and $WORK/err, without
# carriage returns, and its exit code in $EXIT. Started from here it has no
# console, so it writes in the OEM code page: 437 under LANG=C.UTF-8.
companion() {
  EXIT=0
  "$PROGRAM_LOADER" "$COMPANION" "$@" </dev/null >"$WORK/out.raw" 2>"$WORK/err.raw" || EXIT=$?
  tr -d '\r' <"$WORK/out.raw" >"$WORK/out"
  tr -d '\r' <"$WORK/err.raw" >"$WORK/err"
}
# expect_companion CODE out|err WHAT TEXT: the exit code and the whole of
# one output, TEXT as code page 437 writes it ("?" for what it lacks).
expect_companion() {
  local expected
  expected=$(perl -CA -MEncode -e 'print Encode::encode("cp437", $ARGV[0], sub { "?" })' "$4")
  [ "$EXIT" -eq "$1" ] || fail "testar $3 exited with $EXIT, expected $1: $(cat "$WORK/err")"
  [ "$(cat "$WORK/$2")" = "$expected" ] || fail "testar $3 printed: $(cat "$WORK/out" "$WORK/err")"
  ! grep -qF -e "$PG_PASSWORD" -e "PWD=" "$WORK/out" "$WORK/err" || fail "testar $3 printed the password"
}

# 0 connected, 5 not (the server's reason, the driver manager's for a
# driver that is not there, or no driver manager at all: odbc32 disabled),
# 3 a stored password that does not decode here.
companion_exit_codes() {
  store_settings
  companion testar
  expect_companion 0 out "" "Ligação estabelecida a $PG_HOST, base de dados $PG_DATABASE."
  companion testar --controlador Nenhum --tempo-limite 5
  expect_companion 5 err "--controlador Nenhum" \
    "[01000] [unixODBC][Driver Manager]Can't open lib 'Nenhum' : file not found"
  WINEDLLOVERRIDES="$WINEDLLOVERRIDES;odbc32=" companion testar
  expect_companion 5 err "(no odbc32)" \
    "Não foi possível carregar o gestor de controladores ODBC (odbc32.dll)."
  set_password outra
  companion testar
  expect_companion 5 err "(wrong password)" "$(wrong_password)"
  set_values "$KEY" Palavra-Passe $'\x01\x02'
  companion testar
  expect_companion 3 err "(foreign password)" \
    "A palavra-passe guardada não se decifra com a chave deste computador: defina-a de novo neste computador."
}

"$1"
