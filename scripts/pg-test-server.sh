#!/usr/bin/env bash
# A throwaway PostgreSQL server for the tests, listening only on a socket in its own
# temporary folder (no TCP port, so it never collides with another server).
#   pg-test-server.sh start  -> prints the socket folder; the server runs in FOLDER/data
#   pg-test-server.sh stop FOLDER
#   pg-test-server.sh halt FOLDER    stops the server, keeping its folder (a lost server)
#   pg-test-server.sh resume FOLDER  starts a halted server again
# PostgreSQL refuses to run as root, so as root the server runs as the postgres user.
set -euo pipefail

bindir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
if [ -z "$bindir" ] || [ ! -x "$bindir/initdb" ]; then
  echo "PostgreSQL server binaries not found (install the postgresql package)" >&2
  exit 1
fi

as_server_user() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

serve() {
  as_server_user "$bindir/pg_ctl" -D "$1/data" -l "$1/server.log" -w -t 60 \
    -o "-c listen_addresses='' -k $1 -p 5432 -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=200" \
    start >/dev/null || { cat "$1/server.log" >&2; exit 1; }
}

case "${1:-}" in
  start)
    folder=$(mktemp -d /tmp/phpgXXXXXX)
    chmod 755 "$folder"
    [ "$(id -u)" -eq 0 ] && chown postgres:postgres "$folder"
    as_server_user "$bindir/initdb" -D "$folder/data" -U postgres -A trust -E UTF8 --no-locale >"$folder/initdb.log" 2>&1 \
      || { cat "$folder/initdb.log" >&2; exit 1; }
    serve "$folder"
    echo "$folder"
    ;;
  stop)
    folder="${2:?socket folder}"
    if [ -d "$folder/data" ]; then
      as_server_user "$bindir/pg_ctl" -D "$folder/data" -m immediate -w stop >/dev/null 2>&1 || true
    fi
    rm -rf "$folder"
    ;;
  halt)
    as_server_user "$bindir/pg_ctl" -D "${2:?socket folder}/data" -m fast -w stop >/dev/null
    ;;
  resume)
    serve "${2:?socket folder}"
    ;;
  *)
    echo "usage: $0 start | stop FOLDER | halt FOLDER | resume FOLDER" >&2
    exit 2
    ;;
esac
