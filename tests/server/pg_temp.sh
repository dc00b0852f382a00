#!/usr/bin/env bash
# A throw-away PostgreSQL server for the tests, all of it in one directory:
# its data, its log and its Unix socket (no TCP port, so that servers of tests
# running side by side cannot meet). PostgreSQL refuses to run as root; as
# root it runs as the user nobody.
#
#   pg_temp.sh start DIR [PID]   prints a connection string for wolkenfang-server;
#                                with PID the server stops by itself when PID ends;
#                                a DIR used before keeps its data
#   pg_temp.sh stop DIR
set -euo pipefail
cmd="$1" dir="$2"
bin="$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)"
[ -x "$bin/initdb" ] || { echo "pg_temp: PostgreSQL is not installed" >&2; exit 1; }

as_owner() { if [ "$(id -u)" = 0 ]; then (cd "$dir" && runuser -u nobody -- "$@"); else "$@"; fi; }

case "$cmd" in
  start)
    fresh=0
    if [ ! -d "$dir/data" ]; then
      fresh=1
      mkdir -p "$dir"
      [ "$(id -u)" != 0 ] || chown nobody "$dir"
      as_owner "$bin/initdb" -D "$dir/data" -U wolkenfang --auth=trust -E UTF8 --locale=C.UTF-8 \
        >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log" >&2; exit 1; }
    fi
    # -F: no fsync, the data dies with the test anyway.
    as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
      -o "-F -k $dir -c listen_addresses=''" start >/dev/null ||
      { cat "$dir/server.log" >&2; exit 1; }
    [ "$fresh" = 0 ] || as_owner "$bin/createdb" -h "$dir" -U wolkenfang wolkenfang
    if [ -n "${3:-}" ]; then
      # Whatever way the test ends, its server goes with it.
      setsid bash -c 'while kill -0 "$1" 2>/dev/null; do sleep 1; done; "$0" stop "$2"' \
        "$0" "$3" "$dir" </dev/null >/dev/null 2>&1 &
    fi
    echo "host=$dir user=wolkenfang dbname=wolkenfang"
    ;;
  stop)
    [ ! -f "$dir/data/postmaster.pid" ] || as_owner "$bin/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null
    ;;
  *)
    echo "usage: $0 start DIR [PID] | stop DIR" >&2
    exit 2
    ;;
esac
