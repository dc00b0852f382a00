# The online highscore end to end: a real 30-second game ends with three
# misses (-6 points), the strip of the highscore window hands the submit
# address to the desktop (a stand-in xdg-open records it), and a real browser
# opens it, enters a name and finds the entry, marked, on the site's table.
# The site is the real server, on SQLite or (argument "postgres") on a
# PostgreSQL server of the test's own.
source "$(dirname "$0")/lib.sh"

database="${1:-sqlite}"
: "${WF_SERVER:?WF_SERVER must name the built wolkenfang-server}"
for tool in chromium chromedriver python3; do
  command -v "$tool" >/dev/null || fail "$tool is missing (tools/setup.sh installs it)"
done

# The database, with a few entries of earlier players in the 30-second table.
seed="INSERT INTO entries (seconds, score, name, created, token) VALUES
  (30, 212, 'Amsel', 1767225600, 's1'), (30, 147, 'Bussard', 1767312000, 's2'),
  (30, 98, 'Kiebitz', 1767398400, 's3'), (30, 35, 'Dohle', 1767484800, 's4'),
  (60, 305, 'Elster', 1767571200, 's5'), (120, 611, 'Falke', 1767657600, 's6')"
if [ "$database" = postgres ]; then
  pgdir="$(mktemp -d /tmp/wf-pg-XXXXXX)"
  pg_script="$(dirname "$0")/../server/pg_temp.sh"
  trap '"$pg_script" stop "$pgdir" || true; rm -rf "$pgdir"; cleanup' EXIT
  connection="$("$pg_script" start "$pgdir" $$)" || fail "PostgreSQL did not start"
  start_prog server "$WF_SERVER" --listen 127.0.0.1:0 --postgres "$connection"
  store() { psql -q -v ON_ERROR_STOP=1 "$connection" -c "$1"; }
else
  start_prog server "$WF_SERVER" --listen 127.0.0.1:0 --sqlite "$E2E_TMP/scores.sqlite"
  store() {
    python3 -c 'import sqlite3, sys; db = sqlite3.connect(sys.argv[1]); db.execute(sys.argv[2]); db.commit()' \
      "$E2E_TMP/scores.sqlite" "$1"
  }
fi
wait_for 20 grep -q '^wolkenfang-server: http://' "$E2E_TMP/server.out" || fail "the server did not start"
site="$(sed -n 's|^wolkenfang-server: \(http://[^/]*\)/.*|\1|p' "$E2E_TMP/server.out")"
store "$seed" || fail "could not seed the database"
log "server at $site on $database"

# The desktop's way to open an address, replaced by one that writes it down.
mkdir -p "$E2E_TMP/bin"
printf '#!/bin/sh\nprintf "%%s\\n" "$1" >>"%s/opened.txt"\n' "$E2E_TMP" >"$E2E_TMP/bin/xdg-open"
chmod +x "$E2E_TMP/bin/xdg-open"
export PATH="$E2E_TMP/bin:$PATH" WF_HIGHSCORE_SITE="$site"

start_game game
surface_origin "$MAIN" 600
key "$MAIN" ctrl+s
sleep 2
# Three shots into the bottom-left corner, where no bird flies and no extra
# stands: 2 points each.
for _ in 1 2 3; do
  surface_click "$MAIN" $((17 * 1 + 8 - 16)) $((17 * 34 + 8 - 16))
  sleep 0.3
done
table="$(wait_window '^Highscore$' 45)" || fail "no highscore window after the game"
log "game over, highscore window up"
has_window '^Neue Highscore$' && fail "-6 points asked for a name"
click_at "$table" 240 337 # the strip
wait_for 10 test -s "$E2E_TMP/opened.txt" || fail "the strip opened nothing"
url="$(head -1 "$E2E_TMP/opened.txt")"
[[ $url =~ ^$site/wfscore\.php\?punkte=[0-9]+$ ]] || fail "the strip opened '$url'"
log "the strip opened $url"

name='Möwe <b>&"Jö"'
python3 "$(dirname "$0")/online_browser.py" "$url" "$name" -6 5 "$SHOTS/online-table.png" ||
  fail "the browser did not get the entry onto the table"
log "the browser found '$name' marked in place 5"
[ "$(grep -c 'Möwe &lt;b&gt;&amp;&quot;Jö&quot;' <(python3 -c \
  'import urllib.request, sys; print(urllib.request.urlopen(sys.argv[1]).read().decode())' \
  "$site/hs.php"))" = 1 ] || fail "the table does not hold the entry exactly once, escaped"

click_at "$table" 240 385 # OK
wait_for 10 no_window '^Highscore$' || fail "OK did not close the highscore window"
no_messages game Wolkenfang
quit_game "$MAIN" "$GAME_PID"
echo "online highscore ($database): ok"
