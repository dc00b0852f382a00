# Full-screen play: with "Vollbild" ticked a game covers the whole screen in
# a window of its own while the main window is hidden; Esc aborts the game
# and brings the main window back, ready for the next game.
source "$(dirname "$0")/lib.sh"

read -r SCREEN_W SCREEN_H < <(xdotool getdisplaygeometry)
start_game game
log "main window up; screen ${SCREEN_W}x${SCREEN_H}"

# The visible window of the game that covers the whole screen.
full_screen_window() {
  local id
  for id in $(xdotool search --onlyvisible --pid "$GAME_PID" 2>/dev/null); do
    if [ "$(window_geometry "$id")" = "0 0 $SCREEN_W $SCREEN_H" ]; then
      echo "$id"
      return 0
    fi
  done
  return 1
}
has_full_screen() { full_screen_window >/dev/null; }
no_full_screen() { ! full_screen_window >/dev/null; }

# The game everywhere: every tile of a 4 x 4 grid over the screen shows a
# part of the stretched background, none is black.
# Succeeds or fails without ending the test, so that it can be waited for:
# the loading text shows before the first frame.
game_everywhere() {
  local tile=0 max count
  while read -r max count; do
    ((max >= 60)) || { WHY="tile $tile is dark"; return 1; }
    ((count >= 50)) || { WHY="tile $tile shows no picture"; return 1; }
    tile=$((tile + 1))
  done < <(convert "$1" -crop 4x4@ +repage -format '%[fx:int(255*maxima+0.5)] %k\n' info:)
  ((tile == 16)) || { WHY="$tile tiles instead of 16"; return 1; }
}

play_full_screen() { # play_full_screen ROUND
  key "$MAIN" ctrl+s
  wait_for 20 has_full_screen || fail "round $1: no full-screen window"
  FULL="$(full_screen_window)"
  wait_for 10 no_window "$MAIN_TITLE" || fail "round $1: the main window stayed visible"
  log "round $1: full-screen window $FULL covers the screen"
  # The first frames may still be on their way.
  WHY=""
  wait_for 10 eval 'shot "$E2E_TMP/full.png" && game_everywhere "$E2E_TMP/full.png"' ||
    fail "round $1: the full-screen window does not show the game everywhere: $WHY"
  # The game runs: the clock and the birds change the picture.
  wait_for 10 eval 'shot "$E2E_TMP/full2.png" && ! below 0.001 "$(difference "$E2E_TMP/full.png" "$E2E_TMP/full2.png")"' ||
    fail "round $1: the full-screen game does not move"
  # Moves and clicks reach the game without harm.
  click_at "$FULL" $((SCREEN_W / 2)) $((SCREEN_H / 2))
  click_at "$FULL" $((SCREEN_W / 2)) $((SCREEN_H / 2)) 3

  key "$FULL" Escape
  wait_for 10 no_full_screen || fail "round $1: Esc did not end full-screen play"
  MAIN="$(wait_window "$MAIN_TITLE" 10)" || fail "round $1: the main window did not come back"
  log "round $1: Esc brought the main window back"
  has_window '^Highscore$' && fail "round $1: an aborted game offered a highscore"
  return 0
}

key "$MAIN" ctrl+v
play_full_screen 1
cp "$E2E_TMP/full.png" "$SHOTS/fullscreen.png"
read -r _ _ w h < <(window_geometry "$MAIN")
[ "$w" = 800 ] || fail "the main window is $w wide after full-screen play"
# The game was aborted: the same shortcut starts a new one (it would abort a
# running game instead), again on the full screen.
play_full_screen 2
no_messages game Wolkenfang
quit_game "$MAIN" "$GAME_PID"
echo "full screen: ok"
