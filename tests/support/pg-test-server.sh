#!/usr/bin/env bash
# Starts and stops the PostgreSQL 15 server that the tests against a database server use.
#
#   pg-test-server.sh start STATE_DIR   initdb into a new temporary folder, start the server
#                                       with its Unix socket in that folder, and write the
#                                       connection URI to STATE_DIR/uri
#   pg-test-server.sh stop STATE_DIR    stop the server and remove its folder and STATE_DIR
#   pg-test-server.sh kill STATE_DIR    stop the server at once, as a crash would
#                                       (pg_ctl stop -m immediate), keeping its folder
#   pg-test-server.sh restart STATE_DIR start a server stopped by kill again
#
# PostgreSQL refuses to run as root: run as root, the server runs as the system user
# velmora-test (created when missing). When the server binaries are not installed, start
# says so, writes STATE_DIR/skipped with the reason and succeeds: the tests then skip.
# The cluster trusts local connections, except for the role velmora_pw, which must give
# its password ("velmora-pw-secret"): the tests of a refused password use it.
set -euo pipefail

action=${1:-}
state=${2:-}
if [ -z "$action" ] || [ -z "$state" ]; then
    echo "usage: $0 start|stop|kill|restart STATE_DIR" >&2
    exit 2
fi
bindir=${VELMORA_PG_BINDIR:-/usr/lib/postgresql/15/bin}
# shellcheck source=server-user.sh
source "$(dirname "$0")/server-user.sh"

stop_server() {
    [ -f "$state/folder" ] || return 0
    local folder
    folder=$(cat "$state/folder")
    if [ -f "$folder/data/postmaster.pid" ]; then
        as_server_user "$bindir/pg_ctl" -D "$folder/data" -m immediate -w stop >/dev/null 2>&1 || true
    fi
    rm -rf "$folder"
}

case "$action" in
start)
    stop_server
    rm -rf "$state"
    mkdir -p "$state"
    if [ ! -x "$bindir/initdb" ] || [ ! -x "$bindir/pg_ctl" ]; then
        echo "PostgreSQL 15 server binaries not found in $bindir (Debian package postgresql):" \
            "the tests against a database server are skipped." | tee "$state/skipped"
        exit 0
    fi
    if [ "$(id -u)" -eq 0 ] && ! id -u "$server_user" >/dev/null 2>&1; then
        useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$server_user"
    fi
    folder=$(mktemp -d /tmp/velmora-pg.XXXXXX)
    echo "$folder" >"$state/folder"
    [ "$(id -u)" -ne 0 ] || chown "$server_user" "$folder"
    chmod 755 "$folder"
    if ! as_server_user "$bindir/initdb" -D "$folder/data" -U velmora --auth=trust \
        --encoding=UTF8 --locale=C.UTF-8 --no-sync >"$folder/initdb.log" 2>&1; then
        cat "$folder/initdb.log" >&2
        stop_server
        exit 1
    fi
    cat >>"$folder/data/postgresql.conf" <<CONF
listen_addresses = ''
unix_socket_directories = '$folder'
fsync = off
# A commit reaches the operating system before it is acknowledged (without fsync, that costs
# little), so tests that kill the server mid-run find every acknowledged commit after it,
# as on a real server.
synchronous_commit = on
full_page_writes = off
max_connections = 60
CONF
    cat >"$folder/data/pg_hba.conf" <<CONF
local all velmora_pw scram-sha-256
local all all trust
CONF
    if ! as_server_user "$bindir/pg_ctl" -D "$folder/data" -l "$folder/server.log" -w -t 60 \
        start >/dev/null; then
        cat "$folder/server.log" >&2
        stop_server
        exit 1
    fi
    "$bindir/psql" -q -X -h "$folder" -U velmora -d postgres -v ON_ERROR_STOP=1 \
        -c "CREATE ROLE velmora_pw LOGIN PASSWORD 'velmora-pw-secret'" >/dev/null
    echo "postgresql:///postgres?host=$folder&user=velmora" >"$state/uri"
    echo "PostgreSQL test server running, socket in $folder"
    ;;
stop)
    stop_server
    rm -rf "$state"
    ;;
kill)
    folder=$(cat "$state/folder")
    as_server_user "$bindir/pg_ctl" -D "$folder/data" -m immediate -w stop >/dev/null
    ;;
restart)
    folder=$(cat "$state/folder")
    if ! as_server_user "$bindir/pg_ctl" -D "$folder/data" -l "$folder/server.log" -w -t 60 \
        start >/dev/null; then
        cat "$folder/server.log" >&2
        exit 1
    fi
    ;;
*)
    echo "usage: $0 start|stop|kill|restart STATE_DIR" >&2
    exit 2
    ;;
esac
