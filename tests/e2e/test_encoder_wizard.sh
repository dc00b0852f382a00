# The encoder's wizard in a real X server, driven by clicks and keys: it
# seals a copy of the default MOD and backs up its sources; a quick double
# click on "Weiter >" must not close the closing page unseen; the game then
# plays the sealed MOD.
source "$(dirname "$0")/lib.sh"

# A copy of the default MOD, registered in game.ini.
cp -a "$GAME/mods/wolkfng4" "$GAME/mods/welt"
n="$(sed -n 's/^ModAnzahl=\([0-9]*\).*/\1/p' "$GAME/game.ini")"
sed -i "s/^ModAnzahl=.*/ModAnzahl=$((n + 1))\r/" "$GAME/game.ini"
printf 'ModName%d=welt\r\n' $((n + 1)) >>"$GAME/game.ini"

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
next_page welt
next_page welt.src
xdotool mousemove --window "$WIZ" $NEXT_X $BUTTON_Y click --repeat 2 --delay 120 1
done_or_gone() { ! kill -0 "$WIZARD_PID" 2>/dev/null || grep -q '^type=code' "$GAME/mods/welt/config.ini"; }
wait_for 30 done_or_gone || fail "the wizard's run did not end"
sleep 1 # longer than a double click
kill -0 "$WIZARD_PID" 2>/dev/null || fail "a double click on 'Weiter >' closed the wizard unseen"
click_at "$WIZ" $NEXT_X $BUTTON_Y # "Assistent schließen"
wait_exit "$WIZARD_PID" 20 && [ "$EXIT_STATUS" = 0 ] || fail "'Assistent schließen' did not end the wizard well"
no_messages wizard modsiegel
log "the wizard sealed welt"

[ -s "$GAME/mods/welt/mod.cod" ] && [ ! -e "$GAME/mods/welt/mod.ini" ] || fail "welt is not sealed"
cmp -s "$GAME/mods/welt.src/1.ini" "$GAME/mods/wolkfng4/1.ini" || fail "no backup of welt's sources"
grep -q $'^ModName[0-9]*=welt.src\r$' "$GAME/game.ini" || fail "the backup is not registered in game.ini"
cp -a "$GAME/mods/welt" "$E2E_TMP/sealed"
start_game play -mod:welt
no_messages play Wolkenfang
quit_game "$MAIN" "$GAME_PID"
diff -r "$GAME/mods/welt" "$E2E_TMP/sealed" >&2 || fail "playing the sealed MOD changed it"
echo "encoder wizard: ok"
