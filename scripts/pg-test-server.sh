#!/usr/bin/env bash
# A throwaway PostgreSQL server for the tests, listening only on a socket in its own
# temporary folder (no TCP port, so it never collides with another server).
#   pg-test-server.sh start  -> prints the socket folder; the server runs in FOLDER/data
#   pg-test-server.sh stop FOLDER
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

case "${1:-}" in
  start)
    folder=$(mktemp -d /tmp/phpgXXXXXX)
    chmod 755 "$folder"
    [ "$(id -u)" -eq 0 ] && chown postgres:postgres "$folder"
    as_server_user "$bindir/initdb" -D "$folder/data" -U postgres -A trust -E UTF8 --no-locale >"$folder/initdb.log" 2>&1 \
      || { cat "$folder/initdb.log" >&2; exit 1; }
    as_server_user "$bindir/pg_ctl" -D "$folder/data" -l "$folder/server.log" -w -t 60 \
      -o "-c listen_addresses='' -k $folder -p 5432 -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=200" \
      start >/dev/null || { cat "$folder/server.log" >&2; exit 1; }
    echo "$folder"
    ;;
  stop)
    folder="${2:?socket folder}"
    if [ -d "$folder/data" ]; then
      as_server_user "$bindir/pg_ctl" -D "$folder/data" -m immediate -w stop >/dev/null 2>&1 || true
    fi
    rm -rf "$folder"
    ;;
  *)
    echo "usage: $0 start | stop FOLDER" >&2
    exit 2
    ;;
esac
