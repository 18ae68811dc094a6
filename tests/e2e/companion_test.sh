#!/usr/bin/env bash
# The command-line companion against the real registry and volume serial,
# checked against the window and against the stored form worked out apart
# from the program.
# Usage: companion_test.sh SCENARIO PROGRAM.exe COMPANION.exe
. "$(dirname "$0")/lib.sh" "$2"
COMPANION=$3
TOP=$(dirname "$0")/../..

# companion [ARG]...: runs it with standard input from $INPUT (none when
# unset); its output lands in $WORK/out and $WORK/err (UTF-8, without
# carriage returns) and its exit code in $EXIT. Started from here it has
# no console, so it writes in the OEM code page: 437 under LANG=C.UTF-8.
# Every JSON answer is checked against its schema. Its standard error holds
# Wine's trace of the events it reports.
companion() {
  EXIT=0
  printf '%s' "${INPUT-}" | WINEDEBUG=-all,+eventlog "$WINE64" "$COMPANION" "$@" >"$WORK/out.raw" 2>"$WORK/err.raw" || EXIT=$?
  iconv -f CP437 -t UTF-8 "$WORK/out.raw" | tr -d '\r' >"$WORK/out"
  iconv -f CP437 -t UTF-8 "$WORK/err.raw" | tr -d '\r' >"$WORK/err"
  case " $* " in *" --json "*) check_json "$1" ;; esac
}

# check_json COMMAND: the answer is one line of ASCII matching the schema of
# the command's object or, after an exit code other than 0, that of
# {"erro": ...}; Debian's python3-jsonschema.
check_json() {
  local schemas=("$TOP/docs/schemas/$1.schema.json")
  [ "$EXIT" -eq 0 ] || schemas+=("$TOP/docs/schemas/erro.schema.json")
  [ "$(wc -l <"$WORK/out")" -eq 1 ] && ! LC_ALL=C grep -q '[^ -~]' "$WORK/out" ||
    fail "$1 did not print one line of ASCII: $(cat "$WORK/out")"
  /usr/bin/python3 "$TOP/tests/json/validate_json.py" "$WORK/out" "${schemas[@]}" ||
    fail "$1 printed JSON that is not as documented: $(cat "$WORK/out")"
}
expect_exit_code() {
  [ "$EXIT" -eq "$1" ] || fail "the companion exited with $EXIT, expected $1: $(cat "$WORK/err")"
}

# expect_events [FIELD...]: one event since the last call with these strings
# but the account (domain\user), or none; never the password. Wine traces
# (+eventlog) an information event's 7 strings on trace, a warning's 8 on warn.
expect_events() {
  local seen IFS=$'\t'
  seen=$({ cat "$WORK/err.raw" "$WORK/program.log" 2>/dev/null || true; } | perl -CSD -ne '
    next unless /^\w+:(trace|warn):eventlog:ReportEventW L"(.*)"$/;
    my ($kind, $s) = ($1 eq "trace" ? "I" : "W", $2);
    $s =~ s/\\(?:([0-9a-fA-F]{4})|(.))/defined $1 ? chr hex $1 : $2/ge;
    push @{$e{$kind}}, $s;
    if (@{$e{$kind}} == ($kind eq "I" ? 7 : 8)) { print join("\t", $kind, @{$e{$kind}}), "\n"; $e{$kind} = [] }')
  rm -f "$WORK/err.raw" "$WORK/program.log"
  ! grep -qF -e Segredo1 -e "$(scrambled Segredo1)" <<<"$seen" || fail "an event holds the password: $seen"
  [ -z "$seen" ] || ! cut -f2 <<<"$seen" | grep -qv '^[^\\]\+\\[^\\]\+$' || fail "an account is not domain\\user: $seen"
  [ "$(cut -f1,3- <<<"$seen")" = "$*" ] || fail "the events reported:"$'\n'"$seen"$'\n'"expected:"$'\n'"$*"
}

# What `definir` stores is what the window would store: the password's
# stored form for this machine, the item's exact text, a name with "ç";
# the window then opens on those values with no message and "&OK" keeps
# them byte for byte. One event for each save that writes something.
definir_stores_what_the_window_would() {
  local before
  reset_keys
  INPUT=$'Segredo1\n' companion definir --servidor srv01 --base-dados "catálogo" \
    --seguranca tRUE --utilizador admin --palavra-passe-stdin
  expect_exit_code 0
  expect_events I definicoes.exe 'Servidor: «srv01»' 'Base_Dados: «catálogo»' 'Segurança: «True»' \
    'Utilizador: «admin»' 'Palavra-Passe alterada'
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
  expect_events
  # The same again changes nothing: what it reads back is what it would write.
  INPUT=$'Segredo1\n' companion definir --servidor srv01 --base-dados "catálogo" \
    --seguranca True --utilizador admin --palavra-passe-stdin
  expect_exit_code 0
  [ "$(cat "$WORK/out")" = "Nada a alterar." ] || fail "definir again said: $(cat "$WORK/out")"
  expect_events
  start
  keys End 2 alt+o
  expect_exit
  expect_events I DefinicoesAcesso.exe 'Servidor: «srv012»' '' '' '' ''
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
  [ "$(cat "$WORK/out")" = $'Servidor=srv01\nBase_Dados=catálogo\nSegurança=False\nUtilizador=(em falta)\nPalavra-Passe=(definida)' ] ||
    fail "mostrar printed: $(cat "$WORK/out")"
  ! grep -qF -e Segredo1 -e "$stored" "$WORK/out" "$WORK/err" || fail "mostrar printed the password"
}

# Redirected, the output is in the OEM code page (no console here), with
# "?" for a character it lacks ("€"), and the exit code unchanged; --json
# gives the same values in ASCII.
redirected_output_in_the_oem_code_page() {
  reset_keys
  set_values "$KEY" Servidor "srv€" Base_Dados "catálogo" "Segurança" True Utilizador sa \
    Palavra-Passe ""
  companion mostrar
  expect_exit_code 0
  printf 'Servidor=srv?\nBase_Dados=cat\xa0logo\nSeguran\x87a=True\nUtilizador=sa\nPalavra-Passe=(vazia)\n' |
    cmp -s - "$WORK/out.raw" || fail "mostrar wrote: $(od -c "$WORK/out.raw")"
  companion mostrar --json
  expect_exit_code 0
  [ "$(cat "$WORK/out.raw")" = '{"Servidor":"srv\u20ac","Base_Dados":"cat\u00e1logo","Seguran\u00e7a":"True","Utilizador":"sa","Palavra-Passe":"vazia"}' ] ||
    fail "mostrar --json wrote: $(cat "$WORK/out.raw")"
}

# `verificar` with the password given catches a changed volume serial of
# C:, as after a disk replacement or a clone, even where the stored form
# still decodes (to another text) with the new key: "Segredo1" does under
# the serials 8BADF00D (key "-1951535091") and 3B9AC9FF ("999999999").
verificar_catches_a_changed_volume_serial() {
  [ "$SERIAL" = 8BADF00D ] || fail "the prefix's serial is $SERIAL; this scenario expects 8BADF00D"
  reset_keys
  INPUT=$'Segredo1\n' companion definir --servidor srv01 --base-dados vendas --seguranca False \
    --utilizador sa --palavra-passe-stdin
  expect_exit_code 0
  INPUT=$'Segredo1\n' companion verificar --servidor srv01 --palavra-passe-stdin
  expect_exit_code 0
  trap 'printf "%s\n" "$SERIAL" >"$SERIAL_FILE"; quiet wineserver -k || true; cleanup' EXIT
  printf '%s\n' 3B9AC9FF >"$SERIAL_FILE"
  quiet wineserver -k || true
  INPUT=$'Segredo1\n' companion verificar --servidor srv01 --palavra-passe-stdin
  expect_exit_code 3
  [ "$(cat "$WORK/out")" = "Palavra-Passe: diferente do valor indicado" ] ||
    fail "verificar said: $(cat "$WORK/out")"
}

# What fleet tools read: each command's JSON answer, an error as
# {"erro": ...}, and verificar's exit code for settings not as given.
json_answers_and_exit_codes() {
  reset_keys
  INPUT=$'Segredo1\n' companion definir --json --servidor srv01 --base-dados vendas \
    --seguranca True --utilizador "José" --palavra-passe-stdin
  expect_exit_code 0
  companion verificar --json --servidor srv02 --codigo-nao-conforme 1
  expect_exit_code 1
  companion definir --json --servidor "$(printf 'x%.0s' {1..3500})"
  expect_exit_code 2
}

# engine OPERATION DESIRED: the resource run as DSC's engine runs it
# (dsc_engine.py), over the real companion; its report in $WORK/result and
# its exit code in $EXIT (2: the engine reports an error).
engine() {
  EXIT=0
  printf '%s' "$2" | /usr/bin/python3 "$TOP/tests/e2e/dsc_engine.py" \
    "$TOP/cli/definicoes.dsc.resource.json" "$1" "$WINE64" "$COMPANION" >"$WORK/result" || EXIT=$?
  [ "$EXIT" -ne 1 ] || fail "dsc $1 broke the resource's contract"
  ! grep -qF Segredo "$WORK/result" || fail "the engine was given the password: $(cat "$WORK/result")"
}
# expect_report EXIT EXPRESSION: the report r, as Python reads it, makes
# EXPRESSION true.
expect_report() {
  [ "$EXIT" -eq "$1" ] || fail "the engine ended with $EXIT, expected $1: $(cat "$WORK/result")"
  /usr/bin/python3 -c 'import json, sys; r = json.load(open(sys.argv[1])); sys.exit(not eval(sys.argv[2]))' \
    "$WORK/result" "$2" || fail "the engine reported $(cat "$WORK/result"), expected $2"
}

# get; set with the password alone changed; test with the right and a wrong
# secure string; what-if; a value and an input refused, with nothing written.
dsc_as_the_engine_runs_it() {
  local state='{"servidor": "srv01", "baseDados": "vendas", "seguranca": "False", "utilizador": "sa", "palavraPasseEstado": "definida"}'
  local before
  reset_keys
  set_values "$KEY" Servidor srv01 Base_Dados vendas "Segurança" False Utilizador sa \
    Palavra-Passe "$(scrambled Segredo1)"
  engine get ''
  expect_report 0 "r['actualState'] == $state and r['log'] == []"
  engine set '{"servidor":"srv01","palavraPasse":{"secureString":"Segredo2"}}'
  expect_report 0 "r['changedProperties'] == ['palavraPasse'] and r['beforeState'] == r['afterState'] == $state"
  expect_value Palavra-Passe "$(scrambled Segredo2)"
  engine test '{"palavraPasse":{"secureString":"Segredo2"},"seguranca":"False"}'
  expect_report 0 "r['inDesiredState'] and r['differingProperties'] == []"
  engine test '{"palavraPasse":{"secureString":"Segredo1"}}'
  expect_report 0 "not r['inDesiredState'] and r['differingProperties'] == ['palavraPasse'] and r['desiredState'] == {'palavraPasse': '<secureValue>'}"
  before=$(snapshot "$KEY")
  engine what-if '{"servidor":"srv09","seguranca":"True","palavraPasse":"Segredo2"}'
  expect_report 0 "r['changedProperties'] == ['servidor', 'seguranca'] and r['afterState'] == {**$state, 'servidor': 'srv09', 'seguranca': 'True'}"
  engine set '{"servidor":"srv02","utilizador":" sa"}'
  expect_report 2 "'[exit code 2] manifest description: A value refused' in r['error'] and r['log'] == [['error', 'O valor de Utilizador não pode começar por um espaço: « sa» seria lido como «sa».']]"
  engine set '{"servidor":"srv02","palavraPasse":{"secureString":"a","secureString":"b"}}'
  expect_report 2 "'[exit code 1]' in r['error'] and r['log'] == [['error', 'A entrada repete uma propriedade. Nada foi gravado.']]"
  [ "$(snapshot "$KEY")" = "$before" ] || fail "what-if or a refused set wrote"
}

"$1"
