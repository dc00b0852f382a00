# The game as a player meets it, the real program on a MOD of the test's
# own: a start that cannot work; then in one run the title pictures on
# screen, a scripted 30-second game whose clicks give a known score, the
# name prompt, the score file and the highscore window, the entry on the
# online site through a real browser, and full-screen play.
source "$(dirname "$0")/lib.sh"
: "${WF_SERVER:?WF_SERVER must name the built wolkenfang-server}"
command -v chromium >/dev/null && command -v chromedriver >/dev/null || fail "no chromium or chromedriver (tools/setup.sh)"

# A MOD that is not there: its message, a non-zero status, no main window.
start_prog broken "$GAME/Wolkenfang" -mod:fehlt
wait_for 30 grep -q '^Wolkenfang: Fehler !: Wichtige Grafikdateien wurden nicht gefunden !' \
  "$E2E_TMP/broken.err" || fail "no message for a missing MOD"
box="$(wait_window '^Fehler !$' 10)" || fail "the message is not on the screen"
has_window "$MAIN_TITLE" && fail "a main window with a missing MOD"
key "$box" Return
wait_exit "$LAST_PID" 10 && [ "$EXIT_STATUS" != 0 ] || fail "a missing MOD did not end the game with an error"

# The site; the desktop's way to open an address replaced by one that writes
# it down.
start_prog server "$WF_SERVER" --listen 127.0.0.1:0 --sqlite "$E2E_TMP/scores.sqlite"
wait_for 20 grep -q '^wolkenfang-server: http://' "$E2E_TMP/server.out" || fail "the server did not start"
site="$(sed -n 's|^wolkenfang-server: \(http://[^/]*\)/.*|\1|p' "$E2E_TMP/server.out")"
mkdir -p "$E2E_TMP/bin"
printf '#!/bin/sh\nprintf "%%s\\n" "$1" >>"%s/opened.txt"\n' "$E2E_TMP" >"$E2E_TMP/bin/xdg-open"
chmod +x "$E2E_TMP/bin/xdg-open"
export PATH="$E2E_TMP/bin:$PATH" WF_HIGHSCORE_SITE="$site"

GPTS=10 && write_target_mod "$GAME/mods/e2etest" "$GAME/mods/wolkfng4" $GPTS
start_game game -mod:e2etest
surface_origin "$MAIN" $H

# While no game runs the title pictures show one after the other, each
# exactly as its file and centred on black.
NAMES=(SPWLogo presents WFLogo 7 8)
declare -A PW PH
for n in "${NAMES[@]}"; do
  convert "$GAME/Grafiken/$n.jpg" "$E2E_TMP/ref-$n.ppm"
  read -r PW[$n] PH[$n] < <(identify -format '%w %h\n' "$E2E_TMP/ref-$n.ppm")
done
# showing SHOT: the title picture the surface shows ("NAME!" when the surface
# around it is not black), nothing for anything else.
showing() {
  local n x y
  for n in "${NAMES[@]}"; do
    x=$(((W - PW[$n]) / 2)) y=$(((H - PH[$n]) / 2))
    below 0.02 "$(difference "$1[${PW[$n]}x${PH[$n]}+$x+$y]" "$E2E_TMP/ref-$n.ppm")" || continue
    convert "$1" -fill black -draw "rectangle $x,$y $((x + PW[$n] - 1)),$((y + PH[$n] - 1))" "$E2E_TMP/rest.ppm"
    [ "$(brightest "$E2E_TMP/rest.ppm" 0 0 $W $H)" -le 8 ] && echo "$n" || echo "$n!"
    return
  done
}
seen=()
deadline=$(($(now_ms) + 30000))
while [ "${seen[*]: -1}" != 8 ] && (($(now_ms) < deadline)); do
  import -window root -crop "${W}x${H}+${SURF_X}+${SURF_Y}" +repage "$E2E_TMP/s.ppm"
  n="$(showing "$E2E_TMP/s.ppm")"
  [[ $n != *! ]] || fail "${n%!}: the surface around it is not black"
  [ -z "$n" ] || [ "${seen[*]: -1}" = "$n" ] || { seen+=("$n"); log "title picture $n"; }
done
# The first may have gone before the first look; none may come twice.
[[ "${seen[*]}" =~ ^(SPWLogo\ )?presents\ WFLogo\ 7\ 8$ ]] || fail "title pictures in the wrong order: ${seen[*]}"


# The game: hits on the target that no bird can cover, misses, a click with
# an empty magazine and reloads, one click every 250 ms (a shot is taken at
# the next tick; a second click before it would replace the first).
key "$MAIN" ctrl+s
wait_for 15 target_shows || fail "the game did not start"
hits=0 misses=0
pace() { sleep 0.25; }
hit() { # hit INDEX: a shot into one of the target's cells
  surface_click "$MAIN" "$(cell "${COLS[$(($1 % ${#COLS[@]}))]}")" "$(cell "${ROWS[$((($1 / ${#COLS[@]}) % 2))]}")"
  hits=$((hits + 1)) && pace
}
miss() { surface_click "$MAIN" "$(cell 30)" "$(cell "${ROWS[0]}")" && misses=$((misses + 1)) && pace; }
empty() { surface_click "$MAIN" "$(cell "${COLS[3]}")" "$(cell "${ROWS[1]}")" && pace; }
reload() { surface_click "$MAIN" "$(cell "${COLS[0]}")" "$(cell "${ROWS[0]}")" 3 && pace; }
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
check_table "$table" "after the game"
log "score $expected in place 2, in the file and the window"

# The strip hands the result to the desktop; a real browser enters it.
click_at "$table" 240 337
wait_for 10 test -s "$E2E_TMP/opened.txt" || fail "the strip opened nothing"
url="$(head -1 "$E2E_TMP/opened.txt")"
[[ $url =~ ^$site/wfscore\.php\?punkte=[0-9]+$ ]] || fail "the strip opened '$url'"
online='Möwe <b>&"Jö"'
python3 "$(dirname "$0")/online_browser.py" "$url" "$online" "$expected" 1 "$SHOTS/online-table.png" ||
  fail "the browser did not get the entry onto the table"
click_at "$table" 240 385 # OK
wait_for 10 no_window '^Highscore$' || fail "OK did not close the highscore window"

# Full screen: a window of its own covers the screen with the game, stretched,
# the main window hidden; Esc aborts the game and brings the main window back.
read -r SCREEN_W SCREEN_H < <(xdotool getdisplaygeometry)
full_screen() {
  local id
  for id in $(xdotool search --onlyvisible --pid "$GAME_PID" 2>/dev/null); do
    [ "$(window_geometry "$id")" = "0 0 $SCREEN_W $SCREEN_H" ] && FULL=$id && return 0
  done
  return 1
}
everywhere() { # no dark tile in a 4 x 4 grid over the screen
  shot "$E2E_TMP/full.png"
  convert "$E2E_TMP/full.png" -crop 4x4@ +repage -format '%[fx:int(255*maxima+0.5)]\n' info: |
    awk '$1 < 60 { dark = 1 } END { exit dark || NR != 16 }'
}
key "$MAIN" ctrl+v
key "$MAIN" ctrl+s
wait_for 20 full_screen || fail "no full-screen window"
wait_for 10 no_window "$MAIN_TITLE" || fail "the main window stayed visible"
wait_for 10 everywhere || fail "the full-screen window does not show the game everywhere"
click_at "$FULL" $((SCREEN_W / 2)) $((SCREEN_H / 2))
key "$FULL" Escape
wait_for 10 eval '! full_screen' || fail "Esc did not end full-screen play"
MAIN="$(wait_window "$MAIN_TITLE" 10)" || fail "the main window did not come back"
has_window '^Highscore$' && fail "an aborted game offered a highscore"
no_messages game Wolkenfang
quit_game "$MAIN" "$GAME_PID"
echo "game: ok"
