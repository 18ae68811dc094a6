# A throw-away PostgreSQL cluster and a test ODBC configuration, for the
# connection tests. Sourced by a test script, which then calls:
#   cluster_start   creates and starts the cluster in a temporary folder,
#                   listening on $PG_HOST port 5432, with a login and a
#                   database that the settings $PG_USER, $PG_PASSWORD and
#                   $PG_DATABASE reach; registers the PostgreSQL Unicode
#                   driver as "SQL Server" in $ODBCSYSINI/odbcinst.ini
#                   and exports ODBCSYSINI and PGHOSTADDR (below)
#   cluster_sql SQL runs SQL as the cluster's superuser
#   set_password P  gives the login the password P
#   hang_listener   starts a listener on $HANG_HOST port 5432 that accepts
#                   connections and never answers
#   cluster_stop    stops everything and removes the folder; the caller's
#                   EXIT trap must call it, so that a failure cleans up too
# PostgreSQL refuses to run as root, so the server runs as "postgres".
#
# The program puts every value of the connection string in braces. The
# PostgreSQL driver takes the braces off the password only: it passes the
# server, user and database on with their braces. So the login and the
# database are named with braces, and libpq is given the server's address
# in PGHOSTADDR, which it connects to without resolving the host name
# "{127.x.y.z}". Point PGHOSTADDR elsewhere to reach another listener.
PG_BIN=${PG_BIN:-$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n1)}
PG_USER=app
PG_PASSWORD=segredo
PG_DATABASE=vendas
PG_DIR=""
HANG_PID=""

# A random address in 127.0.0.0/8 (not 127.0.0.1), so that port 5432, the
# driver's default, never collides with another cluster or listener.
random_loopback() { printf '127.%d.%d.%d' $((RANDOM % 254 + 1)) $((RANDOM % 254 + 1)) $((RANDOM % 253 + 2)); }

as_postgres() { runuser -u postgres -- "$@"; }

cluster_start() {
  PG_DIR=$(mktemp -d)
  chown postgres: "$PG_DIR"
  chmod 700 "$PG_DIR"
  PG_HOST=$(random_loopback)
  # Local (socket) connections for the superuser need no password; TCP
  # ones, which the driver makes, need the login's.
  as_postgres "$PG_BIN/initdb" -D "$PG_DIR/data" -U postgres --auth-local=trust \
    --auth-host=scram-sha-256 --no-sync >"$PG_DIR/initdb.log" 2>&1 ||
    { cat "$PG_DIR/initdb.log" >&2; return 1; }
  as_postgres "$PG_BIN/pg_ctl" -D "$PG_DIR/data" -l "$PG_DIR/server.log" -w -t 30 start \
    -o "-c listen_addresses=$PG_HOST -c port=5432 -c unix_socket_directories=$PG_DIR -c fsync=off" \
    >/dev/null || { cat "$PG_DIR/server.log" >&2; return 1; }
  cluster_sql "CREATE ROLE \"{$PG_USER}\" LOGIN PASSWORD '$PG_PASSWORD'"
  cluster_sql "CREATE DATABASE \"{$PG_DATABASE}\" OWNER \"{$PG_USER}\""
  export PGHOSTADDR=$PG_HOST
  export ODBCSYSINI=$PG_DIR/odbc
  mkdir -p "$ODBCSYSINI"
  printf '[SQL Server]\nDriver=%s\n' "$(driver_path)" >"$ODBCSYSINI/odbcinst.ini"
  : >"$ODBCSYSINI/odbc.ini"
}

# The PostgreSQL Unicode driver of the program's bitness: 32-bit for a
# program started with plain "wine".
driver_path() {
  local arch=x86_64-linux-gnu
  [ "${PROGRAM_LOADER:-wine64}" != wine ] && [ "${PROGRAM_LOADER:-}" != /usr/bin/wine ] || arch=i386-linux-gnu
  printf '/usr/lib/%s/odbc/psqlodbcw.so' "$arch"
}

cluster_sql() {
  env -u PGHOSTADDR runuser -u postgres -- "$PG_BIN/psql" -h "$PG_DIR" -U postgres -d postgres -qAt -v ON_ERROR_STOP=1 \
    -c "$1" >/dev/null
}

set_password() {
  local quoted=${1//\'/\'\'}
  cluster_sql "ALTER ROLE \"{$PG_USER}\" PASSWORD '$quoted'"
}

hang_listener() {
  HANG_HOST=$(random_loopback)
  python3 -c '
import socket, sys, time
s = socket.socket()
s.bind((sys.argv[1], 5432))
s.listen(8)
print("ready", flush=True)
held = []
while True:
    held.append(s.accept()[0])   # accepted, and never answered
' "$HANG_HOST" >"$PG_DIR/hang.log" 2>&1 &
  HANG_PID=$!
  local i
  for i in $(seq 50); do grep -q ready "$PG_DIR/hang.log" && return 0; sleep 0.1; done
  echo "the listener did not start" >&2
  return 1
}

cluster_stop() {
  [ -n "$PG_DIR" ] || return 0
  if [ -n "$HANG_PID" ]; then kill "$HANG_PID" 2>/dev/null || true; fi
  if [ -f "$PG_DIR/data/postmaster.pid" ]; then
    as_postgres "$PG_BIN/pg_ctl" -D "$PG_DIR/data" -m immediate -w stop >/dev/null 2>&1 || true
  fi
  rm -rf "$PG_DIR"
  PG_DIR=""
}
