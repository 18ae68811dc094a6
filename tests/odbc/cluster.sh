# A throw-away PostgreSQL server and a test ODBC configuration, for the
# connection tests. cluster_start creates and starts it in a temporary
# folder on $PG_BACKEND port 5432, with a login and database that the
# settings $PG_USER, $PG_PASSWORD and $PG_DATABASE reach (and a database
# "master"), and registers PostgreSQL's Unicode driver as "SQL Server"
# through ODBCSYSINI. In front of it, on $PG_HOST port 5432, a stand-in
# answers the program's TDS PRELOGIN as a SQL Server would and hands the
# driver's connections to PostgreSQL (tds_standin.py); on other ports of
# $PG_HOST it answers the TLS handshake with certificates made here. The caller's EXIT
# trap calls cluster_stop, so that a failure cleans up too.
#
# The program braces every value; that driver takes the braces off the
# password only. So the login and database are named with braces, and
# libpq gets the address in PGHOSTADDR rather than resolving "{127.x.y.z}".
# The settings name the server as $PG_SERVER, "address,port": the
# program's port step then tries PostgreSQL's port, and libpq, which reads
# the comma as a list of two hosts, gets one address for each.
PG_BIN=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n1)
PG_USER=app PG_PASSWORD=segredo PG_DATABASE=vendas
PG_DIR="" HELPER_PIDS=()

# Any 127.0.0.0/8 address but 127.0.0.1: port 5432 never collides.
random_loopback() { echo "127.$((RANDOM % 254 + 1)).$((RANDOM % 254 + 1)).$((RANDOM % 253 + 2))"; }

cluster_start() {
  PG_DIR=$(mktemp -d)
  chown postgres: "$PG_DIR"
  PG_HOST=$(random_loopback) PG_BACKEND=$(random_loopback)
  # PostgreSQL will not run as root.
  runuser -u postgres -- "$PG_BIN/initdb" -D "$PG_DIR/data" -U postgres --auth-local=trust \
    --auth-host=scram-sha-256 --no-sync >"$PG_DIR/initdb.log" 2>&1 &&
    runuser -u postgres -- "$PG_BIN/pg_ctl" -D "$PG_DIR/data" -l "$PG_DIR/server.log" -w start \
      -o "-c listen_addresses=$PG_BACKEND -c unix_socket_directories=$PG_DIR -c fsync=off" >/dev/null ||
    { cat "$PG_DIR"/*.log >&2; return 1; }
  cluster_sql "CREATE ROLE \"{$PG_USER}\" LOGIN PASSWORD '$PG_PASSWORD'"
  cluster_sql "CREATE DATABASE \"{$PG_DATABASE}\" OWNER \"{$PG_USER}\""
  cluster_sql "CREATE DATABASE \"{master}\" OWNER \"{$PG_USER}\""
  tls_certificates || { echo "the test certificates were not made" >&2; return 1; }
  helper tds "exec(open('$(dirname "${BASH_SOURCE[0]}")/tds_standin.py').read())" "$PG_HOST" \
    "$PG_BACKEND" "$PG_DIR/certs" || { echo "the TDS stand-in did not start" >&2; return 1; }
  local arch=x86_64-linux-gnu
  [ "${PROGRAM_LOADER:-}" != /usr/bin/wine ] || arch=i386-linux-gnu  # the 32-bit program
  PG_SERVER="$PG_HOST,5432"
  export ODBCSYSINI=$PG_DIR PGHOSTADDR=$PG_HOST,$PG_HOST
  printf '[SQL Server]\nDriver=/usr/lib/%s/odbc/psqlodbcw.so\n' "$arch" >"$PG_DIR/odbcinst.ini"
}

# Certificates in $PG_DIR/certs for the stand-in's TLS ports, made now:
# a test CA ("Teste CA"); "trusted", from it, for $PG_HOST; "other", from
# it, for outro.example; "expired", from it, for $PG_HOST, that ended
# yesterday; "self", self-signed for $PG_HOST.
tls_certificates() {
  local dir=$PG_DIR/certs san="subjectAltName=DNS:$PG_HOST,IP:$PG_HOST"
  local ca=(-CA "$dir/ca.pem" -CAkey "$dir/ca.key")
  mkdir -p "$dir"
  certificate ca -subj "/CN=Teste CA" && certificate self -subj "/CN=$PG_HOST" -addext "$san" &&
    certificate trusted -subj "/CN=$PG_HOST" -addext "$san" "${ca[@]}" &&
    certificate other -subj /CN=outro.example -addext subjectAltName=DNS:outro.example "${ca[@]}" &&
    openssl req -new -newkey rsa:2048 -nodes -keyout "$dir/expired.key" -subj "/CN=$PG_HOST" \
      -addext "$san" 2>/dev/null |
    openssl x509 -req "${ca[@]}" -days -1 -copy_extensions copy -out "$dir/expired.pem" 2>/dev/null
}
# certificate NAME OPTION...: $PG_DIR/certs/NAME.pem and .key, for 30 days.
certificate() {
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$PG_DIR/certs/$1.key" \
    -out "$PG_DIR/certs/$1.pem" -days 30 "${@:2}" 2>/dev/null
}

# The test CA made by cluster_start, trusted in the Wine prefix until
# cluster_stop. Wine 8's crypt32 reads the machine's root store from
# HKLM\Software\Microsoft\SystemCertificates\Root\Certificates, one key
# per certificate named by its SHA-1 thumbprint, whose Blob value is the
# serialized certificate: property 0x20 (the certificate), a DWORD 1, the
# DER's length and the DER, little-endian (measured: a certificate from it
# is then "confiável"; without it, the same one is not).
trust_test_ca() {
  local pem=$PG_DIR/certs/ca.pem der length thumb
  der=$(openssl x509 -in "$pem" -outform DER | od -An -v -tx1 | tr -d ' \n')
  length=$(printf '%08x' $((${#der} / 2)))
  thumb=$(openssl x509 -in "$pem" -noout -fingerprint -sha1 | sed 's/.*=//; s/://g')
  ROOT_KEY='HKLM\Software\Microsoft\SystemCertificates\Root\Certificates\'$thumb
  quiet "$WINE64" reg add "$ROOT_KEY" /v Blob /t REG_BINARY /f \
    /d "2000000001000000${length:6:2}${length:4:2}${length:2:2}${length:0:2}$der"
}
untrust_test_ca() {
  [ -z "${ROOT_KEY:-}" ] || quiet "$WINE64" reg delete "$ROOT_KEY" /f
  ROOT_KEY=""
}

cluster_sql() {
  env -u PGHOSTADDR runuser -u postgres -- "$PG_BIN/psql" -h "$PG_DIR" -U postgres -d postgres \
    -qAt -v ON_ERROR_STOP=1 -c "$1" >/dev/null
}

set_password() { cluster_sql "ALTER ROLE \"{$PG_USER}\" PASSWORD '${1//\'/\'\'}'"; }

# helper NAME SCRIPT ARG...: runs a Python SCRIPT in the background until
# cluster_stop; it prints a line when it is ready.
helper() {
  local log=$PG_DIR/$1.log
  shift
  python3 -c "$@" >"$log" &
  HELPER_PIDS+=($!)
  for _ in $(seq 50); do [ -s "$log" ] && return; sleep 0.1; done
  return 1
}

# A listener on $HANG_HOST, on the SQL Server port and PostgreSQL's, that
# accepts and never answers.
hang_listener() {
  HANG_HOST=$(random_loopback)
  helper hang 'import socket, sys, threading
servers = [socket.create_server((sys.argv[1], port)) for port in (1433, 5432)]
print(flush=True)
held = []
def hold(s):
    while True: held.append(s.accept())
threading.Thread(target=hold, args=(servers[0],), daemon=True).start()
hold(servers[1])' "$HANG_HOST"
}

# A SQL Server Browser on $PG_HOST, UDP port 1434, that gives PostgreSQL's
# port for the instance INST, ignores a request for any other, and lists
# INST when asked for every instance. Before it answers for INST, another
# port of the host sends an answer giving port 1, and the Browser port an
# answer cut short: the program must read past both.
browser_responder() {
  helper browser 'import socket, sys
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.bind((sys.argv[1], 1434)); print(flush=True)
other = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
other.bind((sys.argv[1], 0))
answer = lambda body: b"\x05" + len(body).to_bytes(2, "little") + body
body = b"ServerName;PG;InstanceName;INST;IsClustered;No;Version;15.0.2000.5;tcp;5432;;"
while True:
    request, peer = s.recvfrom(1024)
    if request == b"\x03": s.sendto(answer(body), peer)
    if request.upper() != b"\x04INST\x00": continue
    other.sendto(answer(b"ServerName;PG;InstanceName;INST;tcp;1;;"), peer)
    s.sendto(answer(body)[:-2], peer)
    s.sendto(answer(body), peer)' "$PG_HOST"
}

cluster_stop() {
  [ -n "$PG_DIR" ] || return 0
  untrust_test_ca
  local pid
  for pid in "${HELPER_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  HELPER_PIDS=()
  runuser -u postgres -- "$PG_BIN/pg_ctl" -D "$PG_DIR/data" -m immediate -w stop >/dev/null 2>&1 || true
  rm -rf "$PG_DIR"
  PG_DIR=""
}
