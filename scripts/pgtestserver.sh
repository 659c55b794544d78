#!/usr/bin/env bash
# A throw-away PostgreSQL server on 127.0.0.1 for the database tests.
#   scripts/pgtestserver.sh setup DIR PORT   make a cluster in DIR, start it, create the role
#                                            "flr" and the database "flr_test" with the schema
#                                            and sample catalogue of resources/
#   scripts/pgtestserver.sh start DIR PORT   start it again (waits at most 30 s)
#   scripts/pgtestserver.sh stop DIR         stop it (fast shutdown, waits at most 30 s)
#   scripts/pgtestserver.sh pause|resume DIR freeze its processes (SIGSTOP), as a hung server
#                                            whose connections stay open, and thaw them
# Run as root, the server runs as the user "postgres".
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
command="$1"
dir="$2"
port="${3:-54329}"
bindir="$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)"
if [ -z "$bindir" ]; then
    echo "pgtestserver: PostgreSQL is not installed" >&2
    exit 1
fi

as_server() {
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u postgres -- "$@"
    else
        "$@"
    fi
}

case "$command" in
setup)
    mkdir -p "$dir"
    [ "$(id -u)" -eq 0 ] && chown postgres:postgres "$dir"
    as_server "$bindir/initdb" -D "$dir/data" -A trust -U postgres -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log"
    "$0" start "$dir" "$port"
    psql=("$bindir/psql" -X -q -v ON_ERROR_STOP=1 -h 127.0.0.1 -p "$port")
    "${psql[@]}" -U postgres -d postgres -c "CREATE ROLE flr LOGIN PASSWORD 'flr'" \
        -c "CREATE DATABASE flr_test OWNER flr ENCODING 'UTF8'"
    PGCLIENTENCODING=UTF8 "${psql[@]}" -U flr -d flr_test \
        -f "$root/resources/schema-postgres.sql" -f "$root/resources/sampledata.sql" \
        -f "$root/resources/sequences-postgres.sql" >/dev/null
    ;;
start)
    as_server "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 30 \
        -o "-h 127.0.0.1 -p $port -k $dir" start >/dev/null
    ;;
stop)
    as_server "$bindir/pg_ctl" -D "$dir/data" -m fast -w -t 30 stop >/dev/null
    ;;
pause | resume)
    signal=$([ "$command" = pause ] && echo STOP || echo CONT)
    server="$(head -n 1 "$dir/data/postmaster.pid")"
    kill "-$signal" "$server" $(ps -o pid= --ppid "$server")
    ;;
*)
    echo "usage: $0 setup|start|stop|pause|resume DIR [PORT]" >&2
    exit 2
    ;;
esac
