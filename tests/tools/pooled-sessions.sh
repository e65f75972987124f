#!/usr/bin/env bash
# The programs through a connection pooler in session mode (PgBouncer) in front of the test
# server: a session of the server serves one program after another, reset between them.
# The data set is copied onto the server through the pooler; the due list read through it is
# the one read from the server directly; a change made through it is journalled under the
# program that made it, not the one the session served before; and the journal holds.
#
#   pooled-sessions.sh BIN_DIR SERVER_STATE_DIR
#
# Exits 77 (skipped) when the test server or pgbouncer is not there.
set -euo pipefail

bin=${1:?usage: $0 BIN_DIR SERVER_STATE_DIR}
server_state=${2:?usage: $0 BIN_DIR SERVER_STATE_DIR}
here=$(cd "$(dirname "$0")" && pwd)
export QT_QPA_PLATFORM=offscreen

work=$(mktemp -d /tmp/velmora-pooled.XXXXXX)
database=velmora_pooled_$$
server=
cleanup() {
    bash "$here/../support/pg-pooler.sh" stop "$work/pooler" >/dev/null 2>&1 || true
    if [ -n "$server" ]; then
        psql -q -X -o /dev/null "$server" -c "SET client_min_messages = warning" \
            -c "DROP DATABASE IF EXISTS $database WITH (FORCE)" >/dev/null 2>&1 || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAILED: $*" >&2
    exit 1
}

if [ -f "$server_state/skipped" ]; then
    cat "$server_state/skipped"
    exit 77
fi
bash "$here/../support/pg-pooler.sh" start "$work/pooler" "$server_state" >/dev/null
if [ -f "$work/pooler/skipped" ]; then
    cat "$work/pooler/skipped"
    exit 77
fi
server=$(cat "$server_state/uri")
pooler=$(cat "$work/pooler/uri")
psql -q -X -o /dev/null "$server" -c "CREATE DATABASE $database"
# The same URIs with the new database in place of the server's.
direct=$(printf '%s' "$server" | sed -E "s#^(postgresql://[^/?]*)/[^?]*#\1/$database#")
pooled=$(printf '%s' "$pooler" | sed -E "s#^(postgresql://[^/?]*)/[^?]*#\1/$database#")

"$bin/velmora-demo" "$work/files" >/dev/null
"$bin/velmora-migrate" --from "$work/files" --to "$pooled" >"$work/migrate.txt" ||
    fail "the copy through the pooler: $(cat "$work/migrate.txt")"

"$bin/velmora-due" --data "$direct" >"$work/due-direct.csv"
"$bin/velmora-due" --data "$pooled" >"$work/due-pooled.csv"
[ -s "$work/due-direct.csv" ] || fail "the due list read directly is empty"
cmp -s "$work/due-direct.csv" "$work/due-pooled.csv" ||
    fail "the due list through the pooler differs: $(diff "$work/due-direct.csv" "$work/due-pooled.csv" | head -5)"

# The journal's list runs first, so that the change comes on a session that served it.
"$bin/velmora-journal" list --data "$pooled" --csv >/dev/null
reg=$("$bin/velmora-sql" "$pooled#Timemgr.mdb" "SELECT RegNum FROM Aircraft ORDER BY RegNum" |
    sed -n 2p | tr -d '\r')
changed=$("$bin/velmora-sql" "$pooled#Timemgr.mdb" \
    "UPDATE Aircraft SET Owner = 'Through the pooler' WHERE RegNum = '$reg'" | tr -d '\r')
[ "$changed" = 1 ] || fail "the change through the pooler changed $changed rows"
# The last line (whose old value may take several lines of CSV) is the change's.
"$bin/velmora-journal" list --data "$pooled" --reg "$reg" --csv >"$work/lines.csv"
last=$(grep -n ",Aircraft,$reg,[^,]*,Owner," "$work/lines.csv" | tail -1)
case $last in
*",velmora-sql,velmora-sql,Aircraft,$reg,"*) ;;
*) fail "the change's journal line: $last" ;;
esac
tail -1 "$work/lines.csv" | tr -d '\r' | grep -q ',Through the pooler$' ||
    fail "the change's new value: $(tail -1 "$work/lines.csv")"
"$bin/velmora-journal" verify --data "$pooled" >"$work/verify.txt" 2>&1 ||
    fail "the journal through the pooler: $(cat "$work/verify.txt")"
"$bin/velmora-journal" verify --data "$direct" >"$work/verify.txt" 2>&1 ||
    fail "the journal read directly: $(cat "$work/verify.txt")"
echo "The programs work through a connection pooler in session mode."
