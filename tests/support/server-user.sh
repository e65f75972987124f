# Sourced by the scripts that start the tests' servers (pg-test-server.sh, pg-pooler.sh).
# PostgreSQL and PgBouncer refuse to run as root: run as root, they run as the system user
# velmora-test (pg-test-server.sh creates it when missing).
server_user=velmora-test

# Runs the command as the servers' user.
as_server_user() {
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u "$server_user" -- "$@"
    else
        "$@"
    fi
}
