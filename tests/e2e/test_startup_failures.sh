# Every broken set-up ends the start with its own message and a non-zero
# status, and no main window appears.
source "$(dirname "$0")/lib.sh"
pristine="$E2E_TMP/pristine"
cp -a "$GAME" "$pristine"
reset_game() { rm -rf "$GAME"; cp -a "$pristine" "$GAME"; }

# A required fixed picture is missing.
rm "$GAME/Grafiken/Cursor.jpg"
expect_fatal_start "Wichtige Grafikdateien wurden nicht gefunden !" "Fehler !"
reset_game

# The last of the title pictures is required too...
rm "$GAME/Grafiken/7.jpg"
expect_fatal_start "Wichtige Grafikdateien wurden nicht gefunden !" "Fehler !"
reset_game

# ...but a missing credits picture is tolerated.
rm "$GAME/Grafiken/1.jpg"
start_game tolerated
no_messages tolerated Wolkenfang
quit_game "$MAIN" "$GAME_PID"
reset_game

# A MOD that is not there has no first background.
expect_fatal_start "Wichtige Grafikdateien wurden nicht gefunden !" "Fehler !" -mod:fehlt

# The required marker of the settings file is missing.
sed -i '/^werbung/d' "$GAME/game.ini"
expect_fatal_start "Beim Laden von Wolkenfang ist ein schwerwiegender Fehler aufgetreten !!! Programm wird beendet." "Fehler"
reset_game

# A picture of an extra is missing.
extra="$(grep -i '^gfx=' "$GAME/mods/wolkfng4/1.ini" | head -1 | cut -d= -f2 | tr -d '\r')"
[ -n "$extra" ] || fail "the default MOD has no extra on its first background"
rm "$GAME/mods/wolkfng4/$extra"
expect_fatal_start "Wichtige Grafikdateien wurden leider nicht gefunden!!! Programm wird beendet" "Fehler!!"
reset_game

# The first background does not have the size the MOD declares.
sed -i 's/^x=800/x=801/' "$GAME/mods/wolkfng4/1.ini"
expect_fatal_start "Unzulässige Veränderung der Größe der Hintergrund !!! Das Spiel wird beendet !!" "Fehler!"
reset_game

# A MOD with more backgrounds than this version supports.
sed -i 's/^Anzahl=.*/Anzahl=11/' "$GAME/mods/wolkfng4/mod.ini"
expect_fatal_start "wird nicht von dieser Wolkenfang Version unterstützt!!!" "Fehler!"
reset_game

# A background type that is not spelled exactly.
sed -i 's/^type=BMP/type=bmp/' "$GAME/mods/wolkfng4/1.ini"
expect_fatal_start "Fehler beim Laden des MODs" "Fehler !"
echo "startup failures: ok"
