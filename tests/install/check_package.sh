# A system install as a player sees it. Installs the package's layout into a
# temporary root (the launchers find the installation from their own place)
# and, as an unprivileged player with an empty home, goes through it with
# the launchers: the player's game directory is made, modsiegel refuses the
# installed MODs and seals the player's own copy, a timed game saves its new
# highscore there, a second start completes a damaged directory without
# touching the player's files or the score, and the MOD manager's
# restart keeps the directory. Nothing below the installation changes.
#
#   check_package.sh BUILD_DIR      (needs root; skipped otherwise)
[ "$(id -u)" = 0 ] || { echo "SKIP: installing for a player of its own needs root"; exit 77; }
source "$(dirname "$0")/../e2e/lib.sh"
PLAYER=wfspieler
id "$PLAYER" >/dev/null 2>&1 || useradd --system --user-group --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$PLAYER"

chmod 755 "$E2E_TMP"
root="$E2E_TMP/root" home="$E2E_TMP/home"
cmake --install "$1" --component package --prefix "$root/usr" >/dev/null
share="$root/usr/share/games/wolkenfang"
mkdir "$home" && chown "$PLAYER:" "$home"
pdir="$home/.local/share/wolkenfang"
installation() { find "$root" -printf '%p %s %m %U %T@\n' | sort; }
installation >"$E2E_TMP/root.before"

# "${as_player[@]}" PROGRAM ARGS...: runs PROGRAM as the player, with no
# more of the environment than a desktop session gives; it execs, so that a
# program started in the background keeps its pid.
as_player=(setpriv --reuid="$PLAYER" --regid="$PLAYER" --clear-groups --
  env -i HOME="$home" PATH=/usr/bin:/bin DISPLAY="$DISPLAY" LANG=C.UTF-8 SDL_AUDIODRIVER=dummy)
WOLKENFANG=("${as_player[@]}" "$root/usr/games/wolkenfang") modsiegel="$root/usr/games/modsiegel"

# The player's directory: game.ini a copy of their own, links into the
# installation for the rest.
check_layout() {
  local m
  [ ! -L "$pdir/game.ini" ] && [ "$(stat -c %U "$pdir/game.ini")" = "$PLAYER" ] || fail "$1: game.ini is not a file of the player's"
  for m in Info.txt Grafiken mods/wolkfng4 mods/nachtflug; do
    [ "$(readlink "$pdir/$m")" = "$share/$m" ] || fail "$1: $m is not a link into the installation"
  done
}
# Help needs no game directory: nothing is made for it.
for p in wolkenfang modsiegel; do
  "${as_player[@]}" "$root/usr/games/$p" --help | grep -q "^Aufruf: $p" || fail "$p --help through its launcher"
done
[ ! -e "$pdir" ] || fail "--help made the game directory"
! grep -aq localhost "$root/usr/lib/games/wolkenfang/Wolkenfang" || fail "the installed game names localhost"
"${as_player[@]}" WF_EXIT_AFTER_SHOW=1 "$root/usr/games/wolkenfang" 2>/dev/null ||
  fail "the first start failed"
check_layout "first start"
cmp -s "$pdir/game.ini" "$share/game.ini" || fail "game.ini is not the shipped one"

# modsiegel refuses to seal or back up into an installed MOD and changes
# nothing; the player's own copy it seals and backs up.
"${as_player[@]}" cp -rL "$pdir/mods/wolkfng4" "$pdir/mods/meins"
state() { (cd "$pdir" && find . -printf '%p %s %l\n' | sort && cat game.ini) | md5sum; }
for refused in "wolkfng4|--encode wolkfng4" "nachtflug|--encode meins --backup nachtflug --overwrite"; do
  name="${refused%%|*}" before="$(state)" status=0
  # shellcheck disable=SC2086 # the arguments are words
  "${as_player[@]}" "$modsiegel" ${refused#*|} >/dev/null 2>"$E2E_TMP/refused.err" || status=$?
  [ "$status" = 1 ] && grep "^modsiegel: " "$E2E_TMP/refused.err" | grep -q "$name" && [ "$(state)" = "$before" ] ||
    fail "modsiegel ${refused#*|}: status $status, changes or no message about $name: $(cat "$E2E_TMP/refused.err")"
done
"${as_player[@]}" "$modsiegel" --encode meins --backup meins.quelle >/dev/null 2>"$E2E_TMP/seal.err" ||
  fail "modsiegel did not seal the player's copy: $(cat "$E2E_TMP/seal.err")"
[ -f "$pdir/mods/meins/mod.cod" ] && [ ! -e "$pdir/mods/meins/mod.ini" ] &&
  cmp -s "$pdir/mods/meins.quelle/mod.ini" "$share/mods/wolkfng4/mod.ini" &&
  grep -q '^ModName3=meins.quelle' "$pdir/game.ini" || fail "the player's copy was not sealed, backed up and registered"

# A timed game: one hit on the target MOD's target beats place 2 (120, 90).
write_target_mod "$pdir/mods/e2etest" "$pdir/mods/wolkfng4" 100
chown -R "$PLAYER:" "$pdir/mods/e2etest"
start_game game -mod:e2etest
surface_origin "$MAIN" $H
key "$MAIN" ctrl+s
wait_for 15 target_shows || fail "the game did not start"
surface_click "$MAIN" "$(cell "${COLS[0]}")" "$(cell "${ROWS[0]}")"
prompt="$(wait_window '^Neue Highscore$' 45)" || fail "no name prompt after the game"
key "$prompt" ctrl+a
type_text "$prompt" "Paket Test"
key "$prompt" Return
table="$(wait_window '^Highscore$' 15)" || fail "no highscore window after the name"
[ "$(tr -d '\r' <"$pdir/score1.sre" | sed -n '3p;4p' | tr '\n' '|')" = "Paket Test| 98 |" ] ||
  fail "score1.sre of the player's directory does not hold 98 for 'Paket Test'"
click_at "$table" 240 385
quit_game "$MAIN" "$GAME_PID"
no_messages game Wolkenfang

# A damaged directory (an interrupted first start, a MOD that a newer package
# ships, an old copy of the info text, a MOD the package no longer has) is
# completed; what the player has stays as it is.
rm "$pdir/mods/nachtflug"
rm "$pdir/Info.txt" && printf 'Alter Text\r\n' >"$pdir/Info.txt"
ln -s "$share/mods/verschwunden" "$pdir/mods/verschwunden"
cp "$pdir/game.ini" "$pdir/score1.sre" "$E2E_TMP/"
start_game game2
check_layout "second start"
[ ! -L "$pdir/mods/verschwunden" ] || fail "the link to a MOD the package no longer has stayed"
for f in game.ini score1.sre; do
  cmp -s "$pdir/$f" "$E2E_TMP/$f" || fail "the second start replaced the player's $f"
done
log "the second start completed the directory and kept the player's files"

# The MOD manager starts the program file again with the player's backup,
# which lies only in the player's directory.
key "$MAIN" ctrl+c
mods="$(wait_window '^MODs$' 15)" || fail "Ctrl+C did not open the MOD manager"
key "$mods" End Tab space
wait_exit "$GAME_PID" 15 || fail "the game did not end for the MOD change"
wait_for 40 has_window "$MAIN_TITLE" || fail "the restarted game showed no main window"
MAIN="$(visible_window "$MAIN_TITLE")"
pid="$(xdotool getwindowpid "$MAIN")"
PIDS+=("$pid")
[ "$(readlink "/proc/$pid/exe") $(tr '\0' ' ' <"/proc/$pid/cmdline")" = "$root/usr/lib/games/wolkenfang/Wolkenfang $root/usr/lib/games/wolkenfang/Wolkenfang -mod:meins.quelle " ] ||
  fail "the MOD manager started $(readlink "/proc/$pid/exe"): $(tr '\0' ' ' <"/proc/$pid/cmdline")"
no_messages game2 Wolkenfang
key "$MAIN" ctrl+b
wait_for 15 eval '! kill -0 '"$pid"' 2>/dev/null' || fail "the restarted game did not end"
log "the MOD manager's restart kept the player's directory"

# A game directory that others can write (a family's shared folder): links
# planted at every name a copying launcher would use lead nowhere.
shared="$E2E_TMP/familie" victim="$home/brief.txt"
mkdir -m 1777 "$shared" && echo "Lieber Opa" >"$victim" && chown "$PLAYER:" "$victim"
for ((n = $$; n < $$ + 3000; n++)); do ln -s "$victim" "$shared/.game.ini.$n"; done
"${as_player[@]}" WOLKENFANG_DIR="$shared" WF_EXIT_AFTER_SHOW=1 "$root/usr/games/wolkenfang" \
  >/dev/null 2>"$E2E_TMP/shared.err" ||
  fail "the game did not start on the shared directory: $(cat "$E2E_TMP/shared.err")"
[ "$(cat "$victim")" = "Lieber Opa" ] && [ -f "$shared/game.ini" ] && [ ! -L "$shared/game.ini" ] ||
  fail "a planted link was written through, or game.ini is missing"

# A refusal is a message box, also without a terminal (started from the menu).
start_prog nohome setpriv --reuid="$PLAYER" --regid="$PLAYER" --clear-groups -- \
  env -i HOME=relativ DISPLAY="$DISPLAY" SDL_AUDIODRIVER=dummy "$root/usr/games/wolkenfang"
box="$(wait_window '^Fehler$' 20)" || fail "no message box when the game directory cannot be named"
grep -q "^Wolkenfang: Fehler: HOME ist nicht gesetzt" "$E2E_TMP/nohome.err" || fail "the refusal is not on stderr"
key "$box" Return
wait_exit "$LAST_PID" 10 && [ "$EXIT_STATUS" = 1 ] || fail "the refused game did not end with status 1"

installation >"$E2E_TMP/root.after"
diff "$E2E_TMP/root.before" "$E2E_TMP/root.after" >&2 || fail "the installation changed"
echo "package install: ok"
