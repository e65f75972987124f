#!/usr/bin/env bash
# Starts and stops a connection pooler (PgBouncer, Debian package pgbouncer) in session mode
# in front of a running test server: the workstations' sessions then come through it, and a
# session of the server that served one program serves the next.
#
#   pg-pooler.sh start STATE_DIR SERVER_STATE_DIR   start it with its Unix socket in a new
#                                                   temporary folder, in front of the server
#                                                   of SERVER_STATE_DIR (pg-test-server.sh),
#                                                   and write its connection URI to
#                                                   STATE_DIR/uri
#   pg-pooler.sh stop STATE_DIR                     stop it and remove its folder and STATE_DIR
#
# Run as root, the pooler runs as the system user velmora-test, as the server does. When
# pgbouncer is not installed (or the server was skipped), start says so, writes
# STATE_DIR/skipped with the reason and succeeds.
set -euo pipefail

action=${1:-}
state=${2:-}
if [ -z "$action" ] || [ -z "$state" ]; then
    echo "usage: $0 start STATE_DIR SERVER_STATE_DIR | stop STATE_DIR" >&2
    exit 2
fi
pgbouncer=${VELMORA_PGBOUNCER:-/usr/sbin/pgbouncer}
# shellcheck source=server-user.sh
source "$(dirname "$0")/server-user.sh"

stop_pooler() {
    [ -f "$state/folder" ] || return 0
    local folder
    folder=$(cat "$state/folder")
    if [ -f "$folder/pooler.pid" ]; then
        kill "$(cat "$folder/pooler.pid")" 2>/dev/null || true
        for _ in $(seq 50); do
            [ -f "$folder/pooler.pid" ] || break
            sleep 0.1
        done
    fi
    rm -rf "$folder"
}

case "$action" in
start)
    server_state=${3:?usage: $0 start STATE_DIR SERVER_STATE_DIR}
    stop_pooler
    rm -rf "$state"
    mkdir -p "$state"
    if [ -f "$server_state/skipped" ]; then
        cp "$server_state/skipped" "$state/skipped"
        exit 0
    fi
    if [ ! -x "$pgbouncer" ]; then
        echo "pgbouncer not found at $pgbouncer (Debian package pgbouncer): the tests through" \
            "a connection pooler are skipped." | tee "$state/skipped"
        exit 0
    fi
    server_folder=$(cat "$server_state/folder")
    folder=$(mktemp -d /tmp/velmora-pooler.XXXXXX)
    echo "$folder" >"$state/folder"
    # Any database of the server, as the same user; the pooler hands a session of the server
    # to one client at a time and, when that client leaves, resets it (DISCARD ALL: its
    # settings and prepared statements) for the next.
    cat >"$folder/pgbouncer.ini" <<INI
[databases]
* = host=$server_folder user=velmora
[pgbouncer]
listen_addr =
unix_socket_dir = $folder
listen_port = 6432
auth_type = trust
auth_file = $folder/users.txt
pool_mode = session
server_reset_query = DISCARD ALL
default_pool_size = 4
max_client_conn = 100
logfile = $folder/pooler.log
pidfile = $folder/pooler.pid
INI
    echo '"velmora" ""' >"$folder/users.txt"
    [ "$(id -u)" -ne 0 ] || chown -R "$server_user" "$folder"
    chmod 755 "$folder"
    if ! as_server_user "$pgbouncer" -d -q "$folder/pgbouncer.ini"; then
        cat "$folder/pooler.log" >&2 || true
        stop_pooler
        exit 1
    fi
    for _ in $(seq 100); do
        [ -S "$folder/.s.PGSQL.6432" ] && break
        sleep 0.1
    done
    if [ ! -S "$folder/.s.PGSQL.6432" ]; then
        echo "the pooler did not start" >&2
        cat "$folder/pooler.log" >&2 || true
        stop_pooler
        exit 1
    fi
    echo "postgresql:///postgres?host=$folder&port=6432&user=velmora" >"$state/uri"
    echo "Connection pooler running, socket in $folder"
    ;;
stop)
    stop_pooler
    rm -rf "$state"
    ;;
*)
    echo "usage: $0 start STATE_DIR SERVER_STATE_DIR | stop STATE_DIR" >&2
    exit 2
    ;;
esac
