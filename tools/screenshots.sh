#!/usr/bin/env bash
# Takes the README's screenshots of the real programs in a virtual X server
# of 1920 x 1080: the title sequence, a game in its window with the name
# prompt and the highscore table that follow, a full-screen game of the night
# MOD and the pages of the MOD encoder's wizard.
#
#   tools/screenshots.sh [build-dir] [out-dir]
#
# build-dir defaults to build/, out-dir to build-dir/screenshots/; the README
# shows a choice of them from docs/screenshots/. Needs Xvfb, xdotool and
# ImageMagick (tools/setup.sh installs them). Takes about a minute: the game
# must run its full 30 seconds.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

build="$(cd "${1:-$root/build}" && pwd)"
out="${2:-$build/screenshots}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
[ -x "$build/Wolkenfang/Wolkenfang" ] || { echo "no game in $build/Wolkenfang: build first" >&2; exit 1; }
WF_GAME_DIR="$build/Wolkenfang" WF_E2E_SCREEN=1920x1080x24
source "$root/tests/e2e/lib.sh"

# save SHOT X Y W H NAME [RESIZE]: one picture of the README, cropped to a
# window, kept small.
save() {
  local geometry="${4}x${5}+${2}+${3}"
  convert "$1" -crop "$geometry" +repage ${7:+-resize "$7"} -strip \
    -define png:compression-level=9 "$out/$6.png"
  log "$6.png: $(stat -c %s "$out/$6.png") bytes"
}
save_window() { # save_window WINDOW NAME [RESIZE]
  local x y w h
  read -r x y w h < <(window_geometry "$1")
  shot "$E2E_TMP/screen.png"
  save "$E2E_TMP/screen.png" "$x" "$y" "$w" "$h" "$2" "${3:-}"
}

# A highscore table of modest scores, so that a short game takes a place.
# The names are Windows-1252 text as the game keeps them.
printf 'Anna\r\n 40 \r\nBen\r\n 25 \r\nCem\r\n 12 \r\nDora\r\n 6 \r\n' >"$GAME/score1.sre"

# The title sequence: the game's logo shows from 5.2 s to 7.2 s, the
# credits rise from 12.4 s on.
start_game game
surface_origin "$MAIN" 600
sleep 6
save_window "$MAIN" title
sleep 14
save_window "$MAIN" credits

# A game in the window: a few shots at the scarecrow (cells 35,23 to 35,26),
# which only pay back the shot, then the last one at the bottle (cell 10,26),
# so that the score takes a place.
key "$MAIN" ctrl+s
sleep 1
for ((i = 0; i < 5; i++)); do
  surface_click "$MAIN" $((17 * 35 - 8)) $((17 * (23 + i % 4) - 8))
  sleep 0.3
done
xdotool mousemove --window "$MAIN" 380 $((SURF_TOP + 200))
sleep 1.5
save_window "$MAIN" game
surface_click "$MAIN" $((17 * 10 - 8)) $((17 * 26 - 8))
prompt="$(wait_window '^Neue Highscore$' 45)" || fail "no name prompt after the game"
sleep 0.5
save_window "$prompt" name-prompt
key "$prompt" ctrl+a
type_text "$prompt" "Jürgen"
key "$prompt" Return
table="$(wait_window '^Highscore$' 15)" || fail "no highscore window"
sleep 0.5
save_window "$table" highscore
click_at "$table" 240 385
wait_for 10 no_window '^Highscore$' || fail "the highscore window stayed open"

# A full-screen game of the night MOD, halved; the cross-hair starts where
# the pointer stands.
quit_game "$MAIN" "$GAME_PID"
start_game night -mod:nachtflug
xdotool mousemove 1140 430
key "$MAIN" ctrl+v
key "$MAIN" ctrl+s
sleep 3
shot "$E2E_TMP/screen.png"
read -r sw sh < <(xdotool getdisplaygeometry)
save "$E2E_TMP/screen.png" 0 0 "$sw" "$sh" fullscreen 50%
for id in $(xdotool search --onlyvisible --pid "$GAME_PID"); do key "$id" Escape; break; done
MAIN="$(wait_window "$MAIN_TITLE" 10)" || fail "no main window after Esc"
quit_game "$MAIN" "$GAME_PID"

# wizard_done WINDOW MODDIR: the run has marked the MOD as encoded and the
# closing page is up, where "Abbrechen" is disabled (grey text).
wizard_done() {
  grep -q '^type=code' "$2/config.ini" 2>/dev/null || return 1
  local x y
  read -r x y _ _ < <(window_geometry "$1")
  shot "$E2E_TMP/screen.ppm"
  [ "$(convert "$E2E_TMP/screen.ppm" -crop "60x12+$((x + CANCEL_X - 30))+$((y + BUTTON_Y - 6))" +repage \
    -format '%[fx:int(255*minima+0.5)]' info:)" -ge 90 ]
}


# The wizard, sealing the copy's default MOD with its defaults.
start_prog wizard "$GAME/modsiegel/modsiegel"
WIZ="$(wait_window '^modsiegel$' 30)" || fail "the wizard did not open"
wizard_buttons "$WIZ"
next=$NEXT_X back=$BACK_X y=$BUTTON_Y
sleep 0.5
save_window "$WIZ" wizard-welcome
click_at "$WIZ" $next $y
sleep 0.5
save_window "$WIZ" wizard-mod
click_at "$WIZ" $next $y
sleep 0.5
save_window "$WIZ" wizard-backup
click_at "$WIZ" $next $y
wait_for 30 wizard_done "$WIZ" "$GAME/mods/wolkfng4" || fail "the wizard did not seal the MOD"
sleep 0.5
save_window "$WIZ" wizard-done
click_at "$WIZ" $back $y # "Logdatei"
sleep 0.5
save_window "$WIZ" wizard-log
log "screenshots in $out"
