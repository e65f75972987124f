#!/usr/bin/env bash
# A command's whole run on the demo fleet, on the files and on a PostgreSQL server: each
# tool is run RUNS times on both back ends, the two taken in turn so that the machine's
# other work falls on both alike, and the median wall time of each is printed with the
# ratio server / files. What is measured is everything a user waits for: the program's
# start, the connection (or the file's opening), the command and the exit.
#
#   bench/tool-runs.sh BUILD_DIR [RUNS]
#
# The demo fleet is made with velmora-demo in a temporary folder and copied to a database
# of its own with velmora-migrate. The server is $VELMORA_BENCH_PG (a postgresql:// URI whose
# user may create databases), else a server of its own started with
# tests/support/pg-test-server.sh for the run.
#
# Each command also runs through a connection pooler in session mode (PgBouncer), whose
# sessions of the server outlive the programs: $VELMORA_BENCH_POOLER (its postgresql:// URI,
# in front of $VELMORA_BENCH_PG), else, with a server of the script's own, one started with
# tests/support/pg-pooler.sh when pgbouncer is installed. Its ratio is printed after the
# server's.
set -euo pipefail

build=${1:?usage: $0 BUILD_DIR [RUNS]}
runs=${2:-15}
bin=$(cd "$build/bin" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
export QT_QPA_PLATFORM=offscreen

work=$(mktemp -d /tmp/velmora-tool-runs.XXXXXX)
own_server=
cleanup() {
    bash "$here/../tests/support/pg-pooler.sh" stop "$work/pooler" >/dev/null 2>&1 || true
    if [ -n "$own_server" ]; then
        bash "$here/../tests/support/pg-test-server.sh" stop "$work/pg" >/dev/null 2>&1 || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

server=${VELMORA_BENCH_PG:-}
if [ -z "$server" ]; then
    bash "$here/../tests/support/pg-test-server.sh" start "$work/pg" >/dev/null
    if [ -f "$work/pg/skipped" ]; then
        cat "$work/pg/skipped" >&2
        exit 1
    fi
    own_server=1
    server=$(cat "$work/pg/uri")
fi
pooler=${VELMORA_BENCH_POOLER:-}
if [ -z "$pooler" ] && [ -n "$own_server" ]; then
    bash "$here/../tests/support/pg-pooler.sh" start "$work/pooler" "$work/pg" >/dev/null
    [ -f "$work/pooler/skipped" ] || pooler=$(cat "$work/pooler/uri")
fi

"$bin/velmora-demo" "$work/files" >/dev/null
database=velmora_tool_runs
psql -q -o /dev/null "$server" -c "SET client_min_messages = warning" -c "DROP DATABASE IF EXISTS $database WITH (FORCE)" -c "CREATE DATABASE $database"
# The same URI with the new database in place of the server's.
on_server=$(printf '%s' "$server" | sed -E "s#^(postgres(ql)?://[^/?]*)/[^?]*#\1/$database#")
pooled=
[ -z "$pooler" ] || pooled=$(printf '%s' "$pooler" | sed -E "s#^(postgres(ql)?://[^/?]*)/[^?]*#\1/$database#")
"$bin/velmora-migrate" --from "$work/files" --to "$on_server" >/dev/null

# velmora-sql ends its lines with CR LF: the CR is not part of the registration.
reg=$("$bin/velmora-sql" "$work/files/Timemgr.mdb" "SELECT RegNum FROM Aircraft ORDER BY RegNum" |
    sed -n 2p | tr -d '\r')
# The remaining-life list of one aircraft, as the time remaining screen asks for it.
remaining="SELECT Aircraft.*, Parts.*, \
IIf(([LifeBasis]='RT' And [MeterNumber]=1),[LifeNumber]-[InstallTimeLeft]-([TotalTime]-[InstallACHour]), ) AS TTtoRET, \
IIf(([LifeBasis]='RT' And [MeterNumber]=2),[LifeNumber]-[InstallTimeLeft]-([TotalTime2]-[InstallACHour]), ) AS TTtoRET2, \
IIf([LifeBasis]='LD',[LifeNumber]-[InstallTimeLeft]-([TotalLandings]-[InstallACHour]), ) AS LNDtoRET, \
IIf([LifeBasis]='CY',[LifeNumber]-[InstallTimeLeft]-([TotalCycles]-[InstallACHour]),0) AS CYCtoRET, \
IIf([LifeBasis]='RN',[LifeNumber]-[InstallTimeLeft]-([TotalRIN]-[InstallACHour]), ) AS RINtoRET, \
IIf(([LifeBasis]='OH' And [MeterNumber]=1),[LifeNumber]-[InstallTimeLeft]-([TotalTime]-[InstallACHour]), ) AS TTtoOH, \
IIf(([LifeBasis]='IN' And [MeterNumber]=1),[LifeNumber]-[InstallTimeLeft]-([TotalTime]-[InstallACHour]), ) AS TTtoIN, \
IIf([LifeBasis]='MO',Format(DateAdd('m',[LifeNumber],[InstallDate]),'mm/dd/yy'),' ') AS MTHStoRT, \
IIf(([LifeBasis]='OH' And [MeterNumber]=2),[LifeNumber]-[InstallTimeLeft]-([TotalTime2]-[InstallACHour]), ) AS TTtoOH2, \
IIf(([LifeBasis]='IN' And [MeterNumber]=2),[LifeNumber]-[InstallTimeLeft]-([TotalTime2]-[InstallACHour]), ) AS TTtoIN2 \
FROM Aircraft INNER JOIN Parts ON Aircraft.RegNum = Parts.RegNum \
WHERE ((Parts.Active = Yes) and (Parts.RegNum='$reg')) Order by [ItemNumber]"

# The list must hold the aircraft's components, or the runs would measure an empty answer.
rows=$("$bin/velmora-sql" "$work/files/Timemgr.mdb" "$remaining" | wc -l)
if [ "$rows" -lt 2 ]; then
    echo "the remaining-life query finds no components of $reg" >&2
    exit 1
fi

# Seconds of one run of the command, which must succeed.
seconds() {
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null 2>"$work/err" || {
        echo "failed: $*" >&2
        cat "$work/err" >&2
        exit 1
    }
    end=$(date +%s%N)
    echo $(((end - start) / 1000))
}

median() {
    sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# NAME, then the command with the word @DATA@ for the data folder and @MAIN@ for the main
# data file.
measure() {
    local name=$1
    shift
    local -a on_files=() on_srv=() on_pool=()
    local a
    for a in "$@"; do
        case $a in
        @DATA@) on_files+=("$work/files") on_srv+=("$on_server") on_pool+=("$pooled") ;;
        @MAIN@)
            on_files+=("$work/files/Timemgr.mdb")
            on_srv+=("$on_server#Timemgr.mdb")
            on_pool+=("$pooled#Timemgr.mdb")
            ;;
        *) on_files+=("$a") on_srv+=("$a") on_pool+=("$a") ;;
        esac
    done
    : >"$work/f"
    : >"$work/s"
    : >"$work/p"
    seconds "${on_files[@]}" >/dev/null # warm all before measuring
    seconds "${on_srv[@]}" >/dev/null
    [ -z "$pooled" ] || seconds "${on_pool[@]}" >/dev/null
    for _ in $(seq "$runs"); do
        seconds "${on_files[@]}" >>"$work/f"
        seconds "${on_srv[@]}" >>"$work/s"
        [ -z "$pooled" ] || seconds "${on_pool[@]}" >>"$work/p"
    done
    local f s p=0
    f=$(median <"$work/f")
    s=$(median <"$work/s")
    [ -z "$pooled" ] || p=$(median <"$work/p")
    awk -v n="$name" -v f="$f" -v s="$s" -v p="$p" -v r="$runs" \
        'BEGIN { printf "%-28s files %8.1f ms  server %8.1f ms  ratio %.2f", n, f / 1000, s / 1000, s / f
                 if (p > 0) printf "  pooled %8.1f ms  ratio %.2f", p / 1000, p / f
                 printf "  (median of %d)\n", r }'
}

measure "velmora-due" "$bin/velmora-due" --data @DATA@
measure "velmora-sql remaining life" "$bin/velmora-sql" @MAIN@ "$remaining"
measure "velmora-sql one table" "$bin/velmora-sql" @MAIN@ "SELECT * FROM Aircraft"
