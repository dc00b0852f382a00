#!/usr/bin/env bash
# The site's Debian package short of systemd: its files in place, its units
# valid and hardened, and the program started as the service starts it (the configuration
# file, a state directory, a user without a home) says nothing but its
# address and keeps its database, which holds the forms' secret, to itself.
#
#   check_package.sh DEB      (as root the site runs as the user nobody)
set -euo pipefail
root="$(mktemp -d)" pid=""
trap '[ -z "$pid" ] || kill "$pid" 2>/dev/null; rm -rf "$root"' EXIT
fail() { echo "server package: FAIL: $*" >&2; exit 1; }
dpkg-deb -x "$1" "$root"
for f in usr/sbin/wolkenfang-server etc/wolkenfang-server.conf usr/lib/sysusers.d/wolkenfang-server.conf \
  usr/share/doc/wolkenfang-server/examples/nginx-wolkenfang-server.conf usr/share/man/man8/wolkenfang-server.8.gz; do
  [ -e "$root/$f" ] || fail "$f is missing"
done
# Both units valid, and hardened: systemd's own rating of what the service
# may do at most 2.5 of 10 ("OK").
units="$root/usr/lib/systemd/system"
[ -d "$units" ] || units="$root/lib/systemd/system"
for unit in wolkenfang-server.service wolkenfang-server@8081.service; do
  SYSTEMD_LOG_LEVEL=err systemd-analyze verify --root="$root" --man=no --recursive-errors=no "$units/$unit" ||
    fail "$unit is not valid"
  systemd-analyze security --offline=yes --root="$root" --threshold=25 "$unit" >/dev/null ||
    fail "$unit is not hardened: $(systemd-analyze security --offline=yes --root="$root" "$unit" | tail -1)"
done
state="$root/state"
mkdir "$state"
as=()
[ "$(id -u)" != 0 ] || { chown nobody "$state"; chmod 755 "$root"; as=(setpriv --reuid=nobody --regid=nogroup --clear-groups); }
"${as[@]}" env -i HOME=/nonexistent STATE_DIRECTORY="$state" "$root/usr/sbin/wolkenfang-server" \
  --config "$root/etc/wolkenfang-server.conf" --listen 127.0.0.1:0 >"$root/out" 2>"$root/err" &
pid=$!
for _ in $(seq 100); do [ -s "$root/out" ] && break; sleep 0.1; done
grep -q '^wolkenfang-server: http://127.0.0.1:[0-9]*/ (SQLite '"$state"'/scores.sqlite)$' "$root/out" ||
  fail "no address line: $(cat "$root/out" "$root/err")"
[ ! -s "$root/err" ] || fail "the start was not quiet: $(cat "$root/err")"
[ "$(stat -c %a "$state/scores.sqlite")" = 600 ] || fail "scores.sqlite is $(stat -c %a "$state/scores.sqlite"), not 600"
kill "$pid" && wait "$pid" || fail "the site did not end well on SIGTERM"
pid=""
echo "server package: $1"
