#!/usr/bin/env bash
# "&Testar ligação" and `definicoes testar` over the real path: Wine's odbc32,
# the host's unixODBC, PostgreSQL's driver as "SQL Server", a real server.
# Usage: connection_test.sh SCENARIO PROGRAM.exe COMPANION.exe MARKER.dll
. "$(dirname "$0")/../e2e/lib.sh" "$2"
. "$(dirname "$0")/cluster.sh"
COMPANION=$3 MARKER=$4
trap 'cluster_stop; cleanup' EXIT
cluster_start || fail "the PostgreSQL server did not start"

FAILED="Não foi possível ligar à base de dados:"$'\n\n'
# The steps' lines, their times as "N"; PORT_OK, the port and the SQL
# Server answering on it.
SQL_SERVER_OK="Servidor SQL: ok, SQL Server 15.0.4123 (2019), cifra: só na entrada (N ms)"
PORT_OK="Porta: ok, 5432 aceite em $PG_HOST (N ms)
$SQL_SERVER_OK"
OTHER_SERVICE="Nesta porta escuta outro serviço: verifique a porta do SQL Server (no SQL Server Configuration Manager) ou indique-a como servidor,porta."
LOGIN_REFUSED="$PORT_OK
Entrada: falhou, recusada (N ms)
Verifique o utilizador e a palavra-passe; o controlador explica porquê:"
WRONG_PASSWORD="[08001] connection to server at \"$PG_HOST\", port 5432 failed: FATAL:  password authentication failed for user \"{$PG_USER}\""

# The settings, pointing at SERVER (the cluster by default).
store_settings() {
  reset_keys
  set_values "$KEY" Servidor "${1:-$PG_SERVER}" Base_Dados "$PG_DATABASE" "Segurança" False \
    Utilizador "$PG_USER" Palavra-Passe "$(scrambled "$PG_PASSWORD")"
}

# press_test [SECONDS]: presses Alt+T, waits up to SECONDS (20) for a
# message box and sets ELAPSED to the milliseconds from the key to when
# this script saw the box (it looks every 20 ms).
press_test() {
  local start=${EPOCHREALTIME/./} deadline=$((SECONDS + ${1:-20}))
  keys alt+t
  while [ "$(messages_shown)" -le "$MESSAGES_SEEN" ]; do
    running && [ $SECONDS -lt $deadline ] || fail "no message after Alt+T"
    sleep 0.02
  done
  ELAPSED=$(((${EPOCHREALTIME/./} - start) / 1000))
}

# The mask left in the field: the stored password, decoded. Nothing written.
stored_settings_connect() {
  store_settings
  local before
  before=$(snapshot "$KEY")
  start
  press_test
  echo "button press to result: $ELAPSED ms"
  expect_message "Ligação estabelecida."$'\n\n'"$PORT_OK"$'\nEntrada: ok (N ms)'
  keys alt+c
  expect_exit
  [ "$(snapshot "$KEY")" = "$before" ] || fail "the test changed the stored settings"
}

# A typed password: a wrong one gives the server's SQLSTATE; one with ";",
# "}" and "=" connects. (The password field is four Tabs from the first.)
typed_passwords() {
  local typed
  store_settings
  set_password 'a;b}c=d'
  for typed in wrong 'a;b}c=d'; do
    start
    keys Tab Tab Tab Tab
    type_text "$typed"
    press_test
    if [ "$typed" = wrong ]; then
      expect_message "$FAILED$LOGIN_REFUSED"$'\n'"$WRONG_PASSWORD"
    else
      expect_message "Ligação estabelecida."$'\n\n'"$PORT_OK"$'\nEntrada: ok (N ms)'
    fi
    keys alt+c
    expect_exit
  done
}

# A server that never answers: the failure comes within the login timeout
# (15 s) plus two seconds, once, though the button is pressed again.
unresponsive_server_times_out() {
  hang_listener || fail "the listener did not start"
  store_settings "$HANG_HOST"
  export PGHOSTADDR=$HANG_HOST
  start
  (sleep 0.5; keys alt+t) &
  press_test 30
  echo "button press to result: $ELAPSED ms"
  [ "$ELAPSED" -le 17000 ] || fail "the failure came after $ELAPSED ms"
  expect_message "${FAILED}Porta: ok, 1433 aceite em $HANG_HOST (N ms)
Servidor SQL: falhou, sem resposta em 15 s (N ms)
O servidor aceita a ligação mas não responde como um SQL Server: verifique que é o serviço SQL Server e que não está sobrecarregado."
  sleep 1
  [ "$(messages_shown)" -eq 1 ] || fail "a second test ran: $(message 2)"
}

# "&Cancelar" closes the window, and the program ends, while a test runs.
cancel_during_attempt() {
  hang_listener || fail "the listener did not start"
  store_settings "$HANG_HOST"
  export PGHOSTADDR=$HANG_HOST
  start
  keys alt+t
  sleep 1
  keys alt+c
  expect_exit
  [ "$(messages_shown)" -eq 0 ] || fail "unexpected message: $(message 1)"
}

# expect_testar CODE out|err TEXT [ARG]...: runs `definicoes testar ARG...`;
# checks its exit code and one output, which has no console and so is in
# the OEM code page, 437 ("?" for what it lacks), with the steps' times as
# "N", and that neither output holds the password.
expect_testar() {
  local code=$1 stream=$2 text exit=0
  text=$(perl -CA -MEncode -e 'print Encode::encode("cp437", $ARGV[0], sub { "?" })' "$3")
  shift 3
  "$PROGRAM_LOADER" "$COMPANION" "${COMMAND:-testar}" "$@" </dev/null >"$WORK/out" 2>"$WORK/err" || exit=$?
  [ "$exit" -eq "$code" ] || fail "testar $* exited with $exit, not $code: $(cat "$WORK/err")"
  [ "$(tr -d '\r' <"$WORK/$stream" | sed -E 's/\([0-9]+ ms\)/(N ms)/g; s/"ms":[0-9]+/"ms":N/g')" = "$text" ] || fail "testar $* printed: $(cat "$WORK/out" "$WORK/err")"
  ! grep -qF -e "$PG_PASSWORD" -e "PWD=" "$WORK/out" "$WORK/err" || fail "testar $* printed the password"
  case " $* " in *" --json "*)
    /usr/bin/python3 "$(dirname "$0")/../json/validate_json.py" "$WORK/out" "$(dirname "$0")/../../docs/schemas/${COMMAND:-testar}.schema.json" ||
      fail "testar $* printed JSON its schema refuses" ;;
  esac
}

# 0 connected; 5 not: the server's reason, the driver manager's for a
# driver that is not there, or odbc32 missing; 3 a password stored elsewhere.
companion_exit_codes() {
  store_settings
  expect_testar 0 out "Ligação estabelecida a $PG_SERVER, base de dados $PG_DATABASE.
$PORT_OK
Entrada: ok (N ms)"
  expect_testar 0 out '{"ligado":true,"etapas":[{"etapa":"porta","ok":true,"ms":N,"detalhe":"5432 aceite em '"$PG_HOST"'"},{"etapa":"servidor_sql","ok":true,"ms":N,"detalhe":"SQL Server 15.0.4123 (2019), cifra: s\u00f3 na entrada"},{"etapa":"entrada","ok":true,"ms":N,"detalhe":""}]}' --json
  expect_testar 5 err "$PORT_OK
Entrada: falhou, recusada (N ms)
O controlador ODBC 'Nenhum' não está instalado; instalados com \"SQL Server\" no nome: SQL Server.
[01000] [unixODBC][Driver Manager]Can't open lib 'Nenhum' : file not found" \
    --controlador Nenhum --tempo-limite 5
  WINEDLLOVERRIDES="$WINEDLLOVERRIDES;odbc32=" expect_testar 5 err "$PORT_OK
Entrada: falhou, o gestor ODBC não carregou (N ms)
Não foi possível carregar o gestor de controladores ODBC (odbc32.dll)."
  COMMAND=controladores expect_testar 0 out "SQL Server"
  COMMAND=controladores expect_testar 0 out '{"controladores":["SQL Server"]}' --json
  set_password outra
  expect_testar 5 err "$LOGIN_REFUSED
$WRONG_PASSWORD"
  set_values "$KEY" Palavra-Passe $'\x01\x02'
  expect_testar 3 err "A palavra-passe guardada não se decifra com a chave deste computador: defina-a de novo neste computador."
}

# Each step that can fail, as `definicoes testar` gives it, and a named
# instance whose port the Browser service gives. PostgreSQL's own port is
# not a SQL Server's; the stand-in's is not the instance OUTRA's.
steps_that_fail() {
  store_settings x.invalid
  expect_testar 5 err "Nome: falhou, 'x.invalid' não se resolve (N ms)
Verifique o nome do servidor, ou indique o seu endereço IP."
  store_settings "$PG_HOST,5433"
  expect_testar 5 err "Porta: falhou, 5433 recusada (N ms)
O serviço SQL Server está parado, a porta é outra, ou uma firewall bloqueia-a."
  expect_testar 5 out '{"ligado":false,"etapas":[{"etapa":"porta","ok":false,"ms":N,"detalhe":"5433 recusada"}]}' --json
  store_settings "$PG_BACKEND,5432"
  expect_testar 5 err "Porta: ok, 5432 aceite em $PG_BACKEND (N ms)
Servidor SQL: falhou, a porta fecha a ligação sem responder como um SQL Server (N ms)
$OTHER_SERVICE"
  store_settings "$PG_HOST\\OUTRA,5432"
  expect_testar 5 err "Porta: ok, 5432 aceite em $PG_HOST (N ms)
Servidor SQL: falhou, SQL Server 15.0.4123 (2019), mas a porta não é da instância 'OUTRA' (N ms)
A porta é de outra instância: verifique o nome da instância e a porta, ou deixe que o SQL Server Browser dê a porta (servidor\\instância, sem porta)."
  browser_responder || fail "the Browser responder did not start"
  export PGHOSTADDR=$PG_HOST
  store_settings "$PG_HOST\\INST"
  expect_testar 0 out "Ligação estabelecida a $PG_HOST\\INST, base de dados $PG_DATABASE.
Instância: ok, 'INST' na porta 5432 (N ms)
$PORT_OK
Entrada: ok (N ms)"
  # A client alias, in the program's registry view.
  local aliases='HKLM\SOFTWARE\Microsoft\MSSQLServer\Client\ConnectTo' view=64
  [ "$PROGRAM_LOADER" != /usr/bin/wine ] || view=32
  quiet "$WINE64" reg add "$aliases" /v PROD /d "DBMSSOCN,$PG_HOST,5432" /f /reg:$view
  store_settings PROD
  expect_testar 0 out "Ligação estabelecida a PROD, base de dados $PG_DATABASE.
Nome: ok, alias 'PROD' → '$PG_HOST,5432' (N ms)
$PORT_OK
Entrada: ok (N ms)"
  quiet "$WINE64" reg delete "$aliases" /v PROD /f /reg:$view
  store_settings "$PG_HOST\\OUTRA"
  expect_testar 5 err "Instância: falhou, o SQL Server Browser responde, mas não conhece a instância 'OUTRA' (N ms)
Verifique o nome da instância: SQLCMD -L, ou a configuração do servidor, lista-as."
  store_settings "$PG_HOST\\INST"
  set_values "$KEY" Base_Dados nada
  expect_testar 5 err "Instância: ok, 'INST' na porta 5432 (N ms)
$PORT_OK
Entrada: ok, na base de dados master (N ms)
Base de dados: falhou, 'nada' recusada (N ms)
O utilizador entra no servidor, mas a base de dados 'nada' não existe ou não lhe é permitida.
[08001] connection to server at \"$PG_HOST\", port 5432 failed: FATAL:  database \"{nada}\" does not exist"
}

# The TLS step, against the stand-in's TLS ports, with Driver 18 (which
# encrypts by default and checks the certificate; PostgreSQL's driver
# here) and the legacy driver (which does not check it: its pass with the
# warning is planted_dlls' TLS row). The
# certificates name the address in subjectAltName both as an IP address
# and as a DNS name: Wine 8's SSL policy matches the server name against
# the DNS names only (measured: with IP alone it says "não é para").
# Wine 8's Schannel has no TLS 1.3, so a server that wants only TLS 1.3
# shares no protocol with it.
tls_steps() {
  local d18="ODBC Driver 18 for SQL Server" until offered last
  until=$(date -u -d '+30 days' +%F)
  offered="Servidor SQL: ok, SQL Server 15.0.4123 (2019), cifra: disponível (N ms)"
  last="Só em último recurso: TrustServerCertificate=yes faz o controlador aceitar o certificado sem o verificar."
  printf '[%s]\nDriver=%s\n' "$d18" "$(sed -n 's/^Driver=//p' "$PG_DIR/odbcinst.ini")" >>"$PG_DIR/odbcinst.ini"
  trust_test_ca
  store_settings "$PG_HOST,1444"
  expect_testar 0 out "Ligação estabelecida a $PG_HOST,1444, base de dados $PG_DATABASE.
Porta: ok, 1444 aceite em $PG_HOST (N ms)
$offered
TLS: ok, TLS 1.2, certificado '$PG_HOST' emitido por 'Teste CA', válido até $until, confiável (N ms)
Entrada: ok (N ms)" --controlador "$d18"
  expect_testar 0 out '{"ligado":true,"etapas":[{"etapa":"porta","ok":true,"ms":N,"detalhe":"1444 aceite em '"$PG_HOST"'"},{"etapa":"servidor_sql","ok":true,"ms":N,"detalhe":"SQL Server 15.0.4123 (2019), cifra: obrigat\u00f3ria"},{"etapa":"tls","ok":true,"ms":N,"detalhe":"TLS 1.2, certificado '"'$PG_HOST'"' emitido por '"'Teste CA'"', v\u00e1lido at\u00e9 '"$until"', confi\u00e1vel"},{"etapa":"entrada","ok":true,"ms":N,"detalhe":""}]}' --json
  store_settings "$PG_HOST,1441"
  expect_testar 5 err "Porta: ok, 1441 aceite em $PG_HOST (N ms)
$offered
TLS: falhou, TLS 1.2, certificado '$PG_HOST' emitido por '$PG_HOST', válido até $until, não confiável: este computador não confia em quem o emitiu (N ms)
Instale neste computador, nas Autoridades de Certificação de Raiz Fidedigna, o certificado da autoridade que emitiu o do servidor (ou o do próprio servidor).
$last" --controlador "$d18"
  store_settings "$PG_HOST,1442"
  expect_testar 5 err "Porta: ok, 1442 aceite em $PG_HOST (N ms)
$offered
TLS: falhou, TLS 1.2, certificado 'outro.example' emitido por 'Teste CA', válido até $until, não confiável: não é para '$PG_HOST' (N ms)
O certificado é para 'outro.example': indique o servidor por esse nome, ou dê-o ao controlador em HostNameInCertificate.
$last" --controlador "$d18"
  store_settings "$PG_HOST,1443"
  expect_testar 5 err "Porta: ok, 1443 aceite em $PG_HOST (N ms)
$offered
TLS: falhou, TLS 1.2, certificado '$PG_HOST' emitido por 'Teste CA', válido até $(date -u -d -1day +%F), não confiável: fora da validade (N ms)
O certificado não é válido hoje (válido até $(date -u -d -1day +%F)): renove-o no servidor.
$last" --controlador "$d18"
  store_settings "$PG_HOST,1445"
  expect_testar 5 err "Porta: ok, 1445 aceite em $PG_HOST (N ms)
Servidor SQL: ok, SQL Server 15.0.4123 (2019), cifra: não suportada (N ms)
TLS: falhou, o servidor não cifra, e o controlador '$d18' exige-o (N ms)
Instale um certificado no SQL Server (no SQL Server Configuration Manager) para que cifre as ligações: este controlador não liga sem cifra." --controlador "$d18"
  store_settings "$PG_HOST,1446"
  expect_testar 5 err "Porta: ok, 1446 aceite em $PG_HOST (N ms)
Servidor SQL: ok, SQL Server 15.0.4123 (2019), cifra: obrigatória (N ms)
TLS: falhou, o servidor fechou a ligação durante a negociação TLS (N ms)
O controlador falhará da mesma forma: o registo de erros do SQL Server diz porque a recusa (o certificado, a sua chave privada ou os protocolos TLS ativos)."
  store_settings "$PG_HOST,1447"
  expect_testar 5 err "Porta: ok, 1447 aceite em $PG_HOST (N ms)
$offered
TLS: falhou, este computador e o servidor não têm um protocolo TLS em comum (N ms)
O controlador falhará da mesma forma: ative o TLS 1.2 (ou posterior) no servidor e neste computador." --controlador "$d18"
}

# A DLL of each name the programs load at run time, planted beside copies
# of both, with Wine told to load a DLL beside the program before its own
# (as Windows does for a name that is not a KnownDLL): the connection test,
# in the window and the companion, and `controladores` never load it.
# ole32 and oleaut32 (KnownDLLs on Windows) are planted beside the 64-bit
# companion only: the 32-bit programs import them at start, and Wine's own
# imm32 loads ole32 from beside the window whatever the program asks.
planted_dlls() {
  local dir=$WORK/planted names=(odbc32 ws2_32 secur32 crypt32) name
  mkdir -p "$dir/app" "$dir/cli"
  cp "$PROGRAM" "$dir/app/"
  cp "$COMPANION" "$dir/cli/"
  for name in "${names[@]}"; do cp "$MARKER" "$dir/app/$name.dll"; done
  [ "$PROGRAM_LOADER" = /usr/bin/wine ] || names+=(ole32 oleaut32)  # 64-bit: delay-loaded
  for name in "${names[@]}"; do cp "$MARKER" "$dir/cli/$name.dll"; done
  PROGRAM=$dir/app/${PROGRAM##*/} COMPANION=$dir/cli/${COMPANION##*/}
  store_settings
  local wine_own=$WINEDLLOVERRIDES
  export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;$(IFS=,; echo "${names[*]}")=n,b"
  # The marker works: loaded by its path, it leaves its file.
  quiet "$PROGRAM_LOADER" rundll32 "$(winpath "$dir/cli/odbc32.dll"),Nada" || true
  [ -e "$dir/cli/odbc32.dll.loaded" ] || fail "the marker DLL left no file when loaded"
  rm "$dir/cli/odbc32.dll.loaded"
  expect_testar 0 out "Ligação estabelecida a $PG_SERVER, base de dados $PG_DATABASE.
$PORT_OK
Entrada: ok (N ms)"
  COMMAND=controladores expect_testar 0 out "SQL Server"
  # The TLS step, which loads secur32 and crypt32. Wine's own crypt32
  # loads ole32 from beside the program whatever the program asks (as its
  # imm32 does; on Windows ole32 is a KnownDLL), so for this row ole32 and
  # oleaut32 stay Wine's own.
  store_settings "$PG_HOST,1444"
  WINEDLLOVERRIDES="$wine_own;odbc32,ws2_32,secur32,crypt32=n,b" expect_testar 0 out \
    "Ligação estabelecida a $PG_HOST,1444, base de dados $PG_DATABASE.
Porta: ok, 1444 aceite em $PG_HOST (N ms)
Servidor SQL: ok, SQL Server 15.0.4123 (2019), cifra: obrigatória (N ms)
TLS: ok, TLS 1.2, certificado '$PG_HOST' emitido por 'Teste CA', válido até $(date -u -d '+30 days' +%F), não confiável: este computador não confia em quem o emitiu; o controlador 'SQL Server' não o verifica (N ms)
Entrada: ok (N ms)"
  store_settings
  start
  press_test
  expect_message "Ligação estabelecida."$'\n\n'"$PORT_OK"$'\nEntrada: ok (N ms)'
  keys alt+c
  expect_exit
  ! ls "$dir"/*/*.loaded 2>/dev/null || fail "a planted DLL was loaded"
}

"$1"
