# A throw-away PostgreSQL server and a test ODBC configuration, for the
# connection tests. cluster_start creates and starts it in a temporary
# folder on $PG_HOST port 5432, with a login and database that the settings
# $PG_USER, $PG_PASSWORD and $PG_DATABASE reach, and registers PostgreSQL's
# Unicode driver as "SQL Server" through ODBCSYSINI. The caller's EXIT trap
# calls cluster_stop, so that a failure cleans up too.
#
# The program braces every value; that driver takes the braces off the
# password only. So the login and database are named with braces, and
# libpq gets the address in PGHOSTADDR rather than resolving "{127.x.y.z}".
PG_BIN=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n1)
PG_USER=app PG_PASSWORD=segredo PG_DATABASE=vendas
PG_DIR="" HANG_PID=""

# Any 127.0.0.0/8 address but 127.0.0.1: port 5432 never collides.
random_loopback() { echo "127.$((RANDOM % 254 + 1)).$((RANDOM % 254 + 1)).$((RANDOM % 253 + 2))"; }

cluster_start() {
  PG_DIR=$(mktemp -d)
  chown postgres: "$PG_DIR"
  PG_HOST=$(random_loopback)
  # PostgreSQL will not run as root.
  runuser -u postgres -- "$PG_BIN/initdb" -D "$PG_DIR/data" -U postgres --auth-local=trust \
    --auth-host=scram-sha-256 --no-sync >"$PG_DIR/initdb.log" 2>&1 &&
    runuser -u postgres -- "$PG_BIN/pg_ctl" -D "$PG_DIR/data" -l "$PG_DIR/server.log" -w start \
      -o "-c listen_addresses=$PG_HOST -c unix_socket_directories=$PG_DIR -c fsync=off" >/dev/null ||
    { cat "$PG_DIR"/*.log >&2; return 1; }
  cluster_sql "CREATE ROLE \"{$PG_USER}\" LOGIN PASSWORD '$PG_PASSWORD'"
  cluster_sql "CREATE DATABASE \"{$PG_DATABASE}\" OWNER \"{$PG_USER}\""
  local arch=x86_64-linux-gnu
  [ "${PROGRAM_LOADER:-}" != /usr/bin/wine ] || arch=i386-linux-gnu  # the 32-bit program
  export ODBCSYSINI=$PG_DIR PGHOSTADDR=$PG_HOST
  printf '[SQL Server]\nDriver=/usr/lib/%s/odbc/psqlodbcw.so\n' "$arch" >"$PG_DIR/odbcinst.ini"
}

cluster_sql() {
  env -u PGHOSTADDR runuser -u postgres -- "$PG_BIN/psql" -h "$PG_DIR" -U postgres -d postgres \
    -qAt -v ON_ERROR_STOP=1 -c "$1" >/dev/null
}

set_password() { cluster_sql "ALTER ROLE \"{$PG_USER}\" PASSWORD '${1//\'/\'\'}'"; }

# A listener on $HANG_HOST port 5432 that accepts and never answers.
hang_listener() {
  HANG_HOST=$(random_loopback)
  python3 -c 'import socket, sys
s = socket.create_server((sys.argv[1], 5432)); print(flush=True)
held = [s.accept() for _ in iter(int, 1)]' "$HANG_HOST" >"$PG_DIR/hang.log" &
  HANG_PID=$!
  for _ in $(seq 50); do [ -s "$PG_DIR/hang.log" ] && return; sleep 0.1; done
  return 1
}

cluster_stop() {
  [ -n "$PG_DIR" ] || return 0
  if [ -n "$HANG_PID" ]; then kill "$HANG_PID" 2>/dev/null || true; fi
  runuser -u postgres -- "$PG_BIN/pg_ctl" -D "$PG_DIR/data" -m immediate -w stop >/dev/null 2>&1 || true
  rm -rf "$PG_DIR"
  PG_DIR=""
}
