# Sourced by scripts/test.sh: starts a throw-away PostgreSQL cluster for the server copies
# of the tests and exports MEMBERDESK_TEST_PG; the cluster is stopped and removed on exit.
# Without PostgreSQL installed nothing is started and those tests skip.
pg_test_cluster_start() {
  local bin
  bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
  if [ -z "$bin" ] || [ ! -x "$bin/initdb" ]; then
    echo "PostgreSQL is not installed: the server copies of the tests are skipped."
    return 0
  fi
  PG_TEST_DIR=$(mktemp -d /tmp/memberdesk-pg.XXXXXX)
  chmod 755 "$PG_TEST_DIR"
  PG_TEST_RUN=()
  if [ "$(id -u)" -eq 0 ]; then
    # The server refuses to run as root: the cluster belongs to the postgres user.
    chown postgres: "$PG_TEST_DIR"
    PG_TEST_RUN=(runuser -u postgres --)
  fi
  PG_TEST_BIN=$bin
  local port
  port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
  "${PG_TEST_RUN[@]}" "$bin/initdb" -D "$PG_TEST_DIR/data" -U memberdesk -E UTF8 --locale=C.UTF-8 \
    --lc-messages=C --auth-local=trust --auth-host=scram-sha-256 >"$PG_TEST_DIR/initdb.log" 2>&1
  "${PG_TEST_RUN[@]}" "$bin/pg_ctl" -D "$PG_TEST_DIR/data" -l "$PG_TEST_DIR/server.log" -w -s \
    -o "-p $port -k $PG_TEST_DIR -c listen_addresses=127.0.0.1 -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=200" \
    start
  trap pg_test_cluster_stop EXIT
  export MEMBERDESK_TEST_PG="host=$PG_TEST_DIR port=$port dbname=postgres user=memberdesk"
  echo "PostgreSQL test cluster on port $port ($PG_TEST_DIR)"
}

pg_test_cluster_stop() {
  if [ -n "${PG_TEST_DIR:-}" ] && [ -d "$PG_TEST_DIR/data" ]; then
    "${PG_TEST_RUN[@]}" "$PG_TEST_BIN/pg_ctl" -D "$PG_TEST_DIR/data" -m immediate -s stop || true
  fi
  [ -n "${PG_TEST_DIR:-}" ] && rm -rf "$PG_TEST_DIR"
  PG_TEST_DIR=
}
