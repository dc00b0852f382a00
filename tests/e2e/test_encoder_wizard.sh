# The encoder's wizard seals a copy of the default MOD and backs up its
# sources; the game then plays both the sealed MOD and the backup. The
# command-line mode does the same without windows.
source "$(dirname "$0")/lib.sh"

ENCODER="$GAME/modsiegel/modsiegel"

# add_mod NAME: a copy of the default MOD, registered in game.ini.
add_mod() {
  cp -a "$GAME/mods/wolkfng4" "$GAME/mods/$1"
  local n
  n="$(sed -n 's/^ModAnzahl=\([0-9]*\).*/\1/p' "$GAME/game.ini")"
  sed -i "s/^ModAnzahl=.*/ModAnzahl=$((n + 1))\r/" "$GAME/game.ini"
  printf 'ModName%d=%s\r\n' $((n + 1)) "$1" >>"$GAME/game.ini"
}

BACKGROUNDS="$(sed -n 's/^Anzahl=\([0-9]*\).*/\1/p' "$GAME/mods/wolkfng4/mod.ini")"
[ "${BACKGROUNDS:-0}" -ge 1 ] || fail "the default MOD names no backgrounds"

# check_sealed NAME: the MOD holds only encoded definition files.
check_sealed() {
  local d="$GAME/mods/$1" i
  [ -s "$d/mod.cod" ] || fail "$1: no mod.cod"
  [ ! -e "$d/mod.ini" ] || fail "$1: mod.ini is still there"
  for ((i = 1; i <= BACKGROUNDS; i++)); do
    [ -s "$d/$i.cod" ] || fail "$1: no $i.cod"
    [ ! -e "$d/$i.ini" ] || fail "$1: $i.ini is still there"
    # Only digits and line ends: three digits for each character.
    ! tr -d '0-9\r\n' <"$d/$i.cod" | grep -q . || fail "$1: $i.cod holds more than digits"
    [ "$(tr -d '\r\n' <"$d/$i.cod" | wc -c)" -eq "$(tr -d '\r\n' <"$GAME/mods/wolkfng4/$i.ini" | wc -c | awk '{print $1 * 3}')" ] ||
      fail "$1: $i.cod is not three digits per character of $i.ini"
  done
  grep -q '^type=code' "$d/config.ini" || fail "$1: config.ini is not marked as encoded"
}

# check_backup NAME: the plain sources, the same as the original's.
check_backup() {
  local d="$GAME/mods/$1" f
  [ -d "$d" ] || fail "no backup directory $1"
  for f in "$GAME"/mods/wolkfng4/*; do
    cmp -s "$f" "$d/$(basename "$f")" || fail "backup $1: $(basename "$f") missing or changed"
  done
  grep -q "^ModName[0-9]*=$1"$'\r'"\$" "$GAME/game.ini" || fail "backup $1 not registered in game.ini"
}

# plays NAME: the game starts on the MOD and reaches its main window
# without any message; the sealed MOD stays sealed.
plays() {
  start_game "play-$1" "-mod:$1"
  no_messages "play-$1" Wolkenfang
  quit_game "$MAIN" "$GAME_PID"
  no_messages "play-$1" Wolkenfang
  log "the game plays $1"
}

add_mod welt
start_prog wizard "$ENCODER"
WIZARD_PID=$LAST_PID
WIZ="$(wait_window '^modsiegel$' 30)" || fail "the wizard did not open"
wizard_buttons "$WIZ"
WW=$WIZ_W WH=$WIZ_H
read -r WX WY _ _ < <(window_geometry "$WIZ")
log "wizard open, ${WW}x${WH}"
wizard_shot() { import -window root -crop "${WW}x${WH}+$WX+$WY" +repage "$1"; }
# A new page differs from the last by far more than a blinking caret.
page_changed() { wizard_shot "$E2E_TMP/now.ppm" && ! below 0.04 "$(difference "$E2E_TMP/now.ppm" "$E2E_TMP/before.ppm")"; }
next_page() { # next_page WHAT: clicks "Weiter >" and waits for the new page
  wizard_shot "$E2E_TMP/before.ppm"
  click_at "$WIZ" $NEXT_X $BUTTON_Y
  wait_for 20 page_changed || fail "'Weiter >' did not lead to $1"
  log "wizard: $1"
}

# white_field SHOT X: the middle row of the first white text field met from
# the top in column X of the page.
white_field() {
  convert "$1" -crop "1x$WH+$2+0" +repage -depth 8 txt:- |
    awk -F'[ ,:]+' 'done { next } /#FFFFFF/ { if (!start) start = $2; end = $2; next }
                    start { done = 1 } END { print int((start + end) / 2) }'
}
field_found() { # field_found X: sets FIELD_Y to the field in column X of the page shown
  wizard_shot "$E2E_TMP/field.ppm"
  FIELD_Y="$(white_field "$E2E_TMP/field.ppm" "$1")"
  [ "$FIELD_Y" -gt 0 ]
}
set_field() { # set_field X TEXT: replaces the text of the page's field in column X
  wait_for 10 field_found "$1" || fail "no text field in column $1"
  click_at "$WIZ" "$1" "$FIELD_Y"
  key "$WIZ" ctrl+a
  type_text "$WIZ" "$2"
}

wizard_shot "$E2E_TMP/page0.ppm"
next_page "the choice of the MOD"
set_field $((WW / 2)) welt
mod_field_y=$FIELD_Y
next_page "the backup page"
set_field $((WW / 2)) welt.src
# The backup directory's field lies below the check box, lower than the
# MOD's field.
((FIELD_Y > mod_field_y)) || fail "the backup page's field is where the MOD's field was"
wizard_shot "$E2E_TMP/page2.ppm"
# A quick double click on "Weiter >": the first click runs, the second meets
# the closing page and must not close it unseen.
xdotool mousemove --window "$WIZ" $NEXT_X $BUTTON_Y click --repeat 2 --delay 120 1
done_or_gone() { ! kill -0 "$WIZARD_PID" 2>/dev/null || wizard_done "$WIZ" "$GAME/mods/welt"; }
wait_for 30 done_or_gone || fail "the wizard's run did not reach its closing page"
sleep 1 # longer than a double click
kill -0 "$WIZARD_PID" 2>/dev/null || fail "a double click on 'Weiter >' closed the wizard unseen"
log "wizard: the run is done"
has_window '^Fehler' && fail "the wizard showed an error"
# The closing page's "Assistent schließen" ends the program.
click_at "$WIZ" $NEXT_X $BUTTON_Y
wait_exit "$WIZARD_PID" 20 || fail "'Assistent schließen' did not end the wizard"
[ "$EXIT_STATUS" = 0 ] || fail "the wizard ended with status $EXIT_STATUS"
no_messages wizard modsiegel

check_sealed welt
check_backup welt.src
[ -d "$GAME/mods/wolkfng4" ] && [ -e "$GAME/mods/wolkfng4/mod.ini" ] || fail "the wizard touched wolkfng4"
plays welt
check_sealed welt # the game's decoded copies are gone again
plays welt.src

# The same from the shell.
add_mod shell
"$ENCODER" --encode shell --backup shell.src >"$E2E_TMP/shell.out" 2>"$E2E_TMP/shell.err" ||
  fail "modsiegel --encode failed with status $?"
grep -q '^FERTIG' "$E2E_TMP/shell.out" || fail "the command line's log does not end with FERTIG"
check_sealed shell
check_backup shell.src
plays shell
# A sealed MOD cannot be sealed twice: the command line refuses, the MOD
# stays playable.
if "$ENCODER" --encode shell >"$E2E_TMP/again.out" 2>"$E2E_TMP/again.err"; then
  fail "sealing a sealed MOD again reported success"
fi
check_sealed shell
echo "encoder wizard: ok"
