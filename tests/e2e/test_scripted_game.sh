# A 30-second game with scripted shots on a MOD of the test's own: hits on a
# large target that never moves and that no bird can cover, misses, a click
# with an empty magazine and reloads. The score that these clicks must give
# goes into the highscore table under the name typed at the prompt.
source "$(dirname "$0")/lib.sh"

GPTS=10
read -r BIRD_W BIRD_H < <(picture_size "$GAME/Grafiken/Vogel.jpg")
# A bird flies at most at y = H - birdHeight - 35 (exclusive); its hit shape
# reaches one row below its centre row.
lowest_bird_row=$(((H - BIRD_H - 35 - 1 + 20) / 17 + 1))
((ROWS[0] > lowest_bird_row)) || fail "row ${ROWS[0]} can be reached by a bird (lowest $lowest_bird_row)"
((17 * ROWS[1] + 16 < H)) || fail "row ${ROWS[1]} is not on the surface"
MISS_COL=30
write_target_mod "$GAME/mods/e2etest" "$GAME/mods/wolkfng4" $GPTS

start_game game -mod:e2etest
surface_origin "$MAIN" $H
log "main window up, surface at $SURF_X,$SURF_Y"

key "$MAIN" ctrl+s
wait_for 15 target_shows || fail "the game did not start"
log "game runs"

hits=0 misses=0
# One click every 250 ms: a shot is taken at the next tick (40 ms), and a
# second click before that tick would replace the first.
pace() { sleep 0.25; }
hit() { # hit INDEX: a shot into one of the target's cells
  local i=$1
  surface_click "$MAIN" "$(cell_x "${COLS[$((i % ${#COLS[@]}))]}")" \
    "$(cell_y "${ROWS[$(((i / ${#COLS[@]}) % 2))]}")"
  hits=$((hits + 1)); pace
}
miss() {
  surface_click "$MAIN" "$(cell_x $MISS_COL)" "$(cell_y "${ROWS[0]}")"
  misses=$((misses + 1)); pace
}
empty() { surface_click "$MAIN" "$(cell_x "${COLS[3]}")" "$(cell_y "${ROWS[1]}")"; pace; }
reload() { surface_click "$MAIN" "$(cell_x "${COLS[0]}")" "$(cell_y "${ROWS[0]}")" 3; pace; }

# A full magazine: five hits and a miss.
hit 0; hit 1; hit 2; miss; hit 13; hit 19
empty  # the magazine is empty: no shot
reload
# A reload with shots left does not refill: two shots, a right click, then
# four more empty the magazine.
hit 4; hit 5
reload
hit 6; hit 17; miss; hit 9
empty  # no shot again (it would score if the reload above had refilled)
reload
hit 10; hit 11
expected=$((hits * (GPTS - 2) - 2 * misses))
log "clicked: $hits hits, $misses misses, expected score $expected"
shot "$E2E_TMP/during.png"
crop "$E2E_TMP/during.png" "$SURF_X" "$SURF_Y" $W $H "$SHOTS/game-window.png"

# A 30-second game ends at the 31st clock tick; a score of 92 takes place 2
# of the default table (120, 90, 70, 50) and asks for the name.
((expected > 90 && expected < 120)) || fail "the script's score $expected does not take place 2"
prompt="$(wait_window '^Neue Highscore$' 45)" || fail "no name prompt after the game"
log "name prompt shown"
shot "$E2E_TMP/prompt.png"
NAME='Jürgen E2E'
key "$prompt" ctrl+a
type_text "$prompt" "$NAME"
key "$prompt" Return
wait_for 10 no_window '^Neue Highscore$' || fail "the name prompt stayed open"

# The file: eight lines in Windows-1252 with CR LF, the entry in place 2.
table="$(wait_window '^Highscore$' 15)" || fail "no highscore window after the name"
printf 'NoBody\r\n 120 \r\n%s\r\n %d \r\nNoBody\r\n 90 \r\nNoBody\r\n 70 \r\n' \
  "$(printf '%s' "$NAME" | iconv -f UTF-8 -t WINDOWS-1252)" "$expected" >"$E2E_TMP/expected.sre"
wait_for 10 test -s "$GAME/score1.sre" || fail "no score file"
cmp "$GAME/score1.sre" "$E2E_TMP/expected.sre" || {
  od -c "$GAME/score1.sre" | head -20 >&2
  fail "score1.sre is not the expected table with $expected for '$NAME'"
}
log "score1.sre holds $expected for '$NAME'"

check_table "$table" "after the game"
log "the highscore window shows the name in place 2"
crop "$E2E_TMP/table.png" "$TX" "$TY" 480 420 "$SHOTS/highscore.png"
click_at "$table" 240 385 # OK
wait_for 10 no_window '^Highscore$' || fail "OK did not close the highscore window"

# Opened again from the menu: no prompt, the same table, the file unchanged.
key "$MAIN" ctrl+h
table="$(wait_window '^Highscore$' 15)" || fail "Ctrl+H did not open the highscore window"
check_table "$table" "from the menu"
log "the highscore window from the menu shows the same table"
has_window '^Neue Highscore$' && fail "the menu's highscore window asked for a name"
cmp "$GAME/score1.sre" "$E2E_TMP/expected.sre" || fail "score1.sre changed when shown again"
click_at "$table" 240 385
wait_for 10 no_window '^Highscore$' || fail "OK did not close the highscore window"
no_messages game Wolkenfang
log "closed"
quit_game "$MAIN" "$GAME_PID"
echo "scripted game: ok"
