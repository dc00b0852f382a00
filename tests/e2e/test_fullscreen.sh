# Full screen on the screen size of WF_E2E_SCREEN: the whole magazine is on
# the screen, stretched and with the aspect ratio kept; the kept ratio puts
# black bars beside a 4:3 background and is still chosen at the next start.
source "$(dirname "$0")/lib.sh"
read -r SW SH < <(sed 's/x/ /g' <<<"${WF_E2E_SCREEN:?WF_E2E_SCREEN names the screen}" | cut -d' ' -f1,2)

# A cartridge whose right and bottom edges are red, so that a cut one shows
# green at the screen's corner; without its hd twin it is stretched itself.
convert -size 20x40 xc:'#00c000' -fill '#ff0000' -draw 'rectangle 16,0 19,39' \
  -draw 'rectangle 0,36 19,39' "png:$GAME/Grafiken/Munition.jpg"
rm -f "$GAME/Grafiken/hd/Munition.jpg"
write_target_mod "$GAME/mods/e2etest" "$GAME/mods/wolkfng4" 10

pixel() { # pixel X Y: the colour of the last screenshot there, #RRGGBB
  convert "$E2E_TMP/screen.ppm" -crop "1x1+$1+$2" -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}' | head -1
}
reddish() { [[ $1 =~ ^#([0-9A-F]{2}) ]] && ((16#${BASH_REMATCH[1]} > 0xC0)) && ((16#${1:3:2} < 0x60)); }
black() { [ "$1" = "#000000" ]; }
# full_game WHAT: starts a full-screen game and waits until it shows the
# magazine's red corner at (CX, CY), the play area's bottom-right pixel.
full_game() {
  key "$MAIN" ctrl+s
  wait_for 20 eval 'shot "$E2E_TMP/screen.ppm" && reddish "$(pixel $CX $CY)"' ||
    fail "$1: the magazine's corner is not at ($CX, $CY) but shows $(pixel $CX $CY)"
}
leave_full() {
  xdotool key Escape
  wait_window "$MAIN_TITLE" 10 >/dev/null || fail "Esc did not bring the main window back"
}

start_game game -mod:e2etest
key "$MAIN" ctrl+v # Vollbild
CX=$((SW - 1)) CY=$((SH - 1))
full_game "stretched"
leave_full

# The kept ratio: the 640 x 480 play area scaled by the smaller ratio,
# centred; the bars black, the magazine at the play area's corner.
key "$MAIN" ctrl+shift+v
wait_for 5 grep -q $'^seitenverhaeltnis=yes\r$' "$GAME/game.ini" || fail "the choice is not in game.ini"
quit_game "$MAIN" "$GAME_PID"
start_game game2 -mod:e2etest # the ratio is remembered, full screen is not
key "$MAIN" ctrl+v
read -r PW PH CX CY < <(awk -v w="$SW" -v h="$SH" 'BEGIN {
  s = w / 640 < h / 480 ? w / 640 : h / 480; s = int(s * 10000 + 0.5) / 10000
  pw = int(640 * s + 0.5); ph = int(480 * s + 0.5)
  print pw, ph, int((w - pw) / 2) + pw - 1, int((h - ph) / 2) + ph - 1 }')
full_game "ratio kept"
((PW < SW)) && { black "$(pixel 0 $((SH / 2)))" && black "$(pixel $((SW - 1)) $((SH / 2)))" ||
  fail "no black bars beside the play area of ${PW}x$PH"; }
leave_full
no_messages game Wolkenfang
no_messages game2 Wolkenfang
quit_game "$MAIN" "$GAME_PID"
echo "fullscreen ${SW}x$SH: ok"
