# The programs as their users meet them, on a MOD of the test's own: the
# encoder's wizard, driven by clicks and keys, seals it and backs it up; a
# scripted 30-second game on the sealed MOD gives a known score, asked for a
# name, in the score file and, through a real browser, on the online site.
source "$(dirname "$0")/lib.sh"
: "${WF_SERVER:?WF_SERVER must name the built wolkenfang-server}"
command -v chromium >/dev/null && /usr/bin/python3 -c 'import selenium' || fail "no chromium or selenium (tools/setup.sh)"

# The site; the desktop's way to open an address replaced by one that writes
# it down.
start_prog server "$WF_SERVER" --listen 127.0.0.1:0 --sqlite "$E2E_TMP/scores.sqlite"
wait_for 20 grep -q '^wolkenfang-server: http://' "$E2E_TMP/server.out" || fail "the server did not start"
site="$(sed -n 's|^wolkenfang-server: \(http://[^/]*\)/.*|\1|p' "$E2E_TMP/server.out")"
mkdir -p "$E2E_TMP/bin"
printf '#!/bin/sh\nprintf "%%s\\n" "$1" >>"%s/opened.txt"\n' "$E2E_TMP" >"$E2E_TMP/bin/xdg-open"
chmod +x "$E2E_TMP/bin/xdg-open"
export PATH="$E2E_TMP/bin:$PATH" WF_HIGHSCORE_SITE="$site"

# The MOD, registered in game.ini, sealed by the wizard. A quick double
# click on "Weiter >" must not close its closing page unseen.
GPTS=10 && write_target_mod "$GAME/mods/e2etest" "$GAME/mods/wolkfng4" $GPTS
n="$(sed -n 's/^ModAnzahl=\([0-9]*\).*/\1/p' "$GAME/game.ini")"
sed -i "s/^ModAnzahl=.*/ModAnzahl=$((n + 1))\r/" "$GAME/game.ini"
printf 'ModName%d=e2etest\r\n' $((n + 1)) >>"$GAME/game.ini"
cp "$GAME/mods/e2etest/1.ini" "$E2E_TMP/"
start_prog wizard "$GAME/modsiegel/modsiegel"
WIZARD_PID=$LAST_PID
WIZ="$(wait_window '^modsiegel$' 30)" || fail "the wizard did not open"
wizard_buttons "$WIZ"
read -r WX WY _ _ < <(window_geometry "$WIZ")
wizard_shot() { import -window root -crop "${WIZ_W}x${WIZ_H}+$WX+$WY" +repage "$1"; }
# A new page differs from the last by far more than a blinking caret.
page_changed() { wizard_shot "$E2E_TMP/now.ppm" && ! below 0.04 "$(difference "$E2E_TMP/now.ppm" "$E2E_TMP/before.ppm")"; }
field_found() { # FIELD_Y: the middle row of the first white field from the top
  wizard_shot "$E2E_TMP/field.ppm"
  FIELD_Y="$(convert "$E2E_TMP/field.ppm" -crop "1x$WIZ_H+$((WIZ_W / 2))+0" +repage -depth 8 txt:- |
    awk -F'[ ,:]+' 'done { next } /#FFFFFF/ { if (!start) start = $2; end = $2; next }
                    start { done = 1 } END { print int((start + end) / 2) }')"
  ((FIELD_Y > 0))
}
# next_page TEXT: clicks "Weiter >", waits for the new page and types TEXT
# into its text field.
next_page() {
  wizard_shot "$E2E_TMP/before.ppm"
  click_at "$WIZ" $NEXT_X $BUTTON_Y
  wait_for 20 page_changed || fail "'Weiter >' did not lead on to the field for $1"
  wait_for 10 field_found || fail "no text field for $1"
  click_at "$WIZ" $((WIZ_W / 2)) "$FIELD_Y"
  key "$WIZ" ctrl+a
  type_text "$WIZ" "$1"
}
next_page e2etest
next_page e2etest.src
xdotool mousemove --window "$WIZ" $NEXT_X $BUTTON_Y click --repeat 2 --delay 120 1
done_or_gone() { ! kill -0 "$WIZARD_PID" 2>/dev/null || grep -q '^type=code' "$GAME/mods/e2etest/config.ini"; }
wait_for 30 done_or_gone || fail "the wizard's run did not end"
sleep 1 # longer than a double click
kill -0 "$WIZARD_PID" 2>/dev/null || fail "a double click on 'Weiter >' closed the wizard unseen"
click_at "$WIZ" $NEXT_X $BUTTON_Y # "Assistent schließen"
wait_exit "$WIZARD_PID" 20 && [ "$EXIT_STATUS" = 0 ] || fail "'Assistent schließen' did not end the wizard well"
no_messages wizard modsiegel

[ -s "$GAME/mods/e2etest/mod.cod" ] && [ ! -e "$GAME/mods/e2etest/1.ini" ] &&
  cmp -s "$GAME/mods/e2etest.src/1.ini" "$E2E_TMP/1.ini" &&
  grep -q $'^ModName[0-9]*=e2etest.src\r$' "$GAME/game.ini" || fail "the MOD is not sealed, backed up and registered"

start_game game -mod:e2etest
surface_origin "$MAIN" $H

# The game: hits on the target that no bird can cover, misses, a click with
# an empty magazine and reloads, one click every 250 ms (a shot is taken at
# the next tick; a second click before it would replace the first).
key "$MAIN" ctrl+s
wait_for 15 target_shows || fail "the game did not start"
hits=0 misses=0
hit() { # hit INDEX: a shot into one of the target's cells
  surface_click "$MAIN" "$(cell "${COLS[$(($1 % ${#COLS[@]}))]}")" "$(cell "${ROWS[$((($1 / ${#COLS[@]}) % 2))]}")"
  hits=$((hits + 1)) && sleep 0.25
}
miss() { surface_click "$MAIN" "$(cell 30)" "$(cell "${ROWS[0]}")" && misses=$((misses + 1)) && sleep 0.25; }
empty() { surface_click "$MAIN" "$(cell "${COLS[3]}")" "$(cell "${ROWS[1]}")" && sleep 0.25; }
reload() { surface_click "$MAIN" "$(cell "${COLS[0]}")" "$(cell "${ROWS[0]}")" 3 && sleep 0.25; }
hit 0; hit 1; hit 2; miss; hit 13; hit 19 # a full magazine
empty                                     # no shot
reload
hit 4; hit 5
reload # with shots left: no refill, so four more empty the magazine
hit 6; hit 17; miss; hit 9
empty # no shot again (it would score if the reload above had refilled)
reload
hit 10; hit 11
expected=$((hits * (GPTS - 2) - 2 * misses))
# The game ends at the 31st clock tick; the score takes place 2 of the
# default table (120, 90, 70, 50) and asks for the name.
((expected > 90 && expected < 120)) || fail "the script's score $expected does not take place 2"
prompt="$(wait_window '^Neue Highscore$' 45)" || fail "no name prompt after the game"
NAME='Jürgen E2E'
key "$prompt" ctrl+a
type_text "$prompt" "$NAME"
key "$prompt" Return
table="$(wait_window '^Highscore$' 15)" || fail "no highscore window after the name"
# The file: eight lines in Windows-1252 with CR LF, the entry in place 2.
printf 'NoBody\r\n 120 \r\n%s\r\n %d \r\nNoBody\r\n 90 \r\nNoBody\r\n 70 \r\n' \
  "$(printf '%s' "$NAME" | iconv -f UTF-8 -t WINDOWS-1252)" "$expected" >"$E2E_TMP/expected.sre"
cmp "$GAME/score1.sre" "$E2E_TMP/expected.sre" || fail "score1.sre is not the table with $expected for '$NAME'"
log "score $expected in place 2"

# The strip hands the result to the desktop; a real browser enters it.
click_at "$table" 240 337
wait_for 10 test -s "$E2E_TMP/opened.txt" || fail "the strip opened nothing"
url="$(head -1 "$E2E_TMP/opened.txt")"
[[ $url =~ ^$site/wfscore\.php\?punkte=[0-9]+$ ]] || fail "the strip opened '$url'"
online='Möwe <b>&"Jö"'
/usr/bin/python3 "$(dirname "$0")/online_browser.py" "$url" "$online" "$expected" 1 "$SHOTS/online-table.png" ||
  fail "the browser did not get the entry onto the table"
click_at "$table" 240 385 # OK
wait_for 10 no_window '^Highscore$' || fail "OK did not close the highscore window"

# The info file opens in the game's own window, not on the desktop.
key "$MAIN" ctrl+i
info="$(wait_window '^Info Datei des Spiels$' 10)" || fail "the info file did not open in a window"
[ "$(wc -l <"$E2E_TMP/opened.txt")" = 1 ] || fail "the info file was handed to the desktop"
key "$info" Escape
wait_for 10 no_window '^Info Datei des Spiels$' || fail "Esc did not close the info window"

no_messages game Wolkenfang
quit_game "$MAIN" "$GAME_PID"
echo "game: ok"
