# Shared helpers of the end-to-end tests, which source it first: each test
# gets an X server of its own (started at the end of this file) and a fresh
# copy of the game directory.
set -euo pipefail

: "${WF_GAME_DIR:?WF_GAME_DIR must name the built game directory}"
[ -x "$WF_GAME_DIR/Wolkenfang" ] || { echo "FAIL: no game in $WF_GAME_DIR" >&2; exit 1; }
E2E_TMP="$(mktemp -d /tmp/wf-e2e.XXXXXX)"
GAME="$E2E_TMP/Wolkenfang"
cp -a "$WF_GAME_DIR" "$GAME"
rm -f "$GAME"/score*.sre
PIDS=()
MAIN_TITLE='^Wolkenfang 4\.00 Alpha 2\.4b$'
now_ms() { local t=${EPOCHREALTIME/./}; echo $((t / 1000)); }
T0=$(now_ms)
SHOTS="${WF_E2E_SHOTS:-$E2E_TMP/shots}"
mkdir -p "$SHOTS"

log() { printf '[%6d ms] %s\n' $(($(now_ms) - T0)) "$*"; }

# Every program a test started ends with the test, whatever way it ends, the
# X server last. The game catches SIGTERM (its sound library does) without
# ending, so what is still there after a moment is killed.
cleanup() {
  local p i
  for p in "${PIDS[@]:-}"; do [ -n "$p" ] && kill "$p" 2>/dev/null || true; done
  for p in "${PIDS[@]:-}" ${XVFB_PID:-}; do
    [ -n "$p" ] || continue
    for ((i = 0; i < 10; i++)); do kill -0 "$p" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$p" 2>/dev/null || true
    wait "$p" 2>/dev/null || true
  done
  if [ "${WF_E2E_KEEP:-0}" != "1" ]; then rm -rf "$E2E_TMP"; fi
}
trap cleanup EXIT
trap 'exit 143' TERM INT HUP # a stopped test (a CTest timeout) cleans up too

fail() {
  echo "FAIL: $*" >&2
  local name f
  name="$(basename "${0%.sh}")"
  import -window root "$SHOTS/$name-failure.png" 2>/dev/null &&
    echo "screen at the failure: $SHOTS/$name-failure.png" >&2 || true
  for f in "$E2E_TMP"/*.err "$E2E_TMP"/*.out; do
    [ -s "$f" ] && { echo "--- $f" >&2; tail -20 "$f" >&2; }
  done
  exit 1
}

# wait_for SECONDS COMMAND...: runs COMMAND every 0.1 s until it succeeds;
# status 1 when it did not within SECONDS (a whole number).
wait_for() {
  local end=$(($(now_ms) + $1 * 1000))
  shift
  until "$@"; do
    (($(now_ms) > end)) && return 1
    sleep 0.1
  done
}

# start_prog NAME PROGRAM ARGS...: starts a program in the background, its
# output in $E2E_TMP/NAME.out and .err, its pid in LAST_PID.
start_prog() {
  local name="$1"; shift
  "$@" >"$E2E_TMP/$name.out" 2>"$E2E_TMP/$name.err" &
  LAST_PID=$!
  PIDS+=("$LAST_PID")
}

visible_window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1; }
has_window() { [ -n "$(visible_window "$1")" ]; }
no_window() { [ -z "$(visible_window "$1")" ]; }
# wait_window TITLE [SECONDS]: the first visible window whose title matches.
wait_window() {
  wait_for "${2:-30}" has_window "$1" || return 1
  visible_window "$1"
}

# wait_exit PID [SECONDS]: waits for a child of this shell to end and sets
# EXIT_STATUS (not in a subshell, which cannot wait for its parent's children).
wait_exit() {
  wait_for "${2:-20}" eval '! kill -0 '"$1"' 2>/dev/null' || return 1
  EXIT_STATUS=0
  wait "$1" 2>/dev/null || EXIT_STATUS=$?
}

# no_messages NAME PROGRAM: fails when NAME.err reports a message box.
no_messages() {
  ! grep -q "^$2: " "$E2E_TMP/$1.err" ||
    fail "$2 showed a message box: $(grep "^$2: " "$E2E_TMP/$1.err" | head -3)"
}

# start_game NAME ARGS...: starts the game (WOLKENFANG, the command) and
# waits for its main window, whose id goes to MAIN, the pid to GAME_PID.
WOLKENFANG=("$GAME/Wolkenfang")
start_game() {
  local name="$1"; shift
  start_prog "$name" "${WOLKENFANG[@]}" "$@"
  GAME_PID=$LAST_PID
  MAIN="$(wait_window "$MAIN_TITLE" 40)" || fail "the main window did not appear"
}

# quit_game WINDOW PID: ends an idle game by its menu (Ctrl+B), with status 0.
quit_game() {
  key "$1" ctrl+b
  wait_exit "$2" 15 || fail "the game did not end by Beenden"
  [ "$EXIT_STATUS" = 0 ] || fail "the game ended with status $EXIT_STATUS by Beenden"
}

focus() { xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"; }
key() { # key WINDOW KEYS...
  local w="$1"; shift
  focus "$w"
  xdotool key --clearmodifiers "$@"
}
type_text() { focus "$1" && xdotool type --delay 30 --clearmodifiers -- "$2"; }
# click_at WINDOW X Y [BUTTON]: one xdotool call keeps the move and the click
# in order (its --sync would wait for ever when the pointer is already there).
click_at() { xdotool mousemove --window "$1" "$2" "$3" click "${4:-1}"; }
shot() { import -window root "$1"; }

window_geometry() { # prints "X Y W H" of a window on the screen
  xdotool getwindowgeometry --shell "$1" |
    awk -F= '/^X=/{x=$2}/^Y=/{y=$2}/^WIDTH=/{w=$2}/^HEIGHT=/{h=$2}END{print x, y, w, h}'
}

# surface_origin WINDOW SURFACE_HEIGHT: SURF_X and SURF_Y, the screen position
# of the playing surface, which fills the window below the menu bar, and
# SURF_TOP, its top inside the window.
surface_origin() {
  local x y w h
  read -r x y w h < <(window_geometry "$1")
  SURF_TOP=$((h - $2))
  ((SURF_TOP >= 0)) || fail "window of height $h cannot hold a surface of height $2"
  SURF_X=$x SURF_Y=$((y + SURF_TOP))
}
surface_click() { click_at "$1" "$2" $(($3 + SURF_TOP)) "${4:-1}"; } # WINDOW X Y [BUTTON]


# difference A B: root-mean-square difference of two pictures of the same
# size, 0 (equal) to 1 (also when they cannot be compared).
difference() {
  local out
  out="$(compare -metric RMSE "$1" "$2" null: 2>&1 | sed -n 's/^[0-9.e+-]* (\([0-9.e+-]*\))$/\1/p')"
  echo "${out:-1}"
}
below() { awk -v a="$2" -v b="$1" 'BEGIN { exit !(a + 0 < b + 0) }'; } # below LIMIT VALUE

# The wizard's buttons sit at the bottom right of its window, 130 pixels
# wide: "< Zurück", "Weiter >", a gap, "Abbrechen". wizard_buttons WINDOW
# sets WIZ_W, WIZ_H, and the centres BACK_X, NEXT_X, CANCEL_X, BUTTON_Y.
wizard_buttons() {
  read -r _ _ WIZ_W WIZ_H < <(window_geometry "$1")
  CANCEL_X=$((WIZ_W - 20 - 65))
  NEXT_X=$((CANCEL_X - 65 - 26 - 65))
  BACK_X=$((NEXT_X - 65 - 12 - 65))
  BUTTON_Y=$((WIZ_H - 26))
}

# The target MOD of the scripted games: one W x H gradient background with a
# red target that never moves over the cells COLS x ROWS, where no bird can
# cover it. write_target_mod DIR SOUNDS GPTS writes it into DIR, borrowing
# shot sound and music from the MOD directory SOUNDS; a hit brings GPTS.
W=640 H=480
ROWS=(26 27)
COLS=(5 6 7 8 9 10 11 12 13 14)
TARGET_X=$((17 * COLS[0])) TARGET_Y=$((17 * ROWS[0]))
write_target_mod() {
  local mod="$1" sounds="$2" gpts="$3" k=1 r c
  mkdir -p "$mod"
  printf '[game]\r\nsound=no\r\nmusic=no\r\n' >"$mod/config.ini"
  cp "$sounds/schuss.wav" "$mod/schuss.wav"
  cp "$sounds/sommerwind.mid" "$mod/musik.mid"
  printf '[Allgemein]\r\nName=E2E Test\r\n[sfx]\r\nSchussSound=schuss.wav\r\nMusik=musik.mid\r\n[Hintergrund]\r\nAnzahl=1\r\n' >"$mod/mod.ini"
  convert -size ${H}x${W} gradient:'#204080-#80c0ff' -rotate 90 "png:$mod/bg.jpg"
  convert -size $((17 * ${#COLS[@]}))x34 xc:'#e02020' "png:$mod/ziel.jpg"
  {
    printf '[hg]\r\nname=Testbild\r\ntype=BMP\r\ndatei=bg.jpg\r\nx=%d\r\ny=%d\r\nextra=1\r\n' $W $H
    printf '[extra1]\r\ngfx=ziel.jpg\r\ngfxx=%d\r\ngfxy=%d\r\ntyp=static\r\ngpts=%d\r\n' \
      $TARGET_X $TARGET_Y "$gpts"
    printf 'destructable=false\r\npoints=%d\r\n' $((2 * ${#COLS[@]}))
    for r in "${ROWS[@]}"; do
      for c in "${COLS[@]}"; do
        printf 'p%dx=%d\r\np%dy=%d\r\n' $k "$c" $k "$r"
        k=$((k + 1))
      done
    done
  } >"$mod/1.ini"
}
# cell N: where the pointer aims (16 units further) at the middle of cell N.
cell() { echo $((17 * $1 + 8 - 16)); }
# target_shows: a game on the target MOD runs, its target on the background
# (surface_origin must have run).
target_shows() {
  import -window root -crop "${W}x${H}+${SURF_X}+${SURF_Y}" +repage "$E2E_TMP/g.ppm"
  [ "$(convert "$E2E_TMP/g.ppm" -crop 1x1+$((TARGET_X + 8))+$((TARGET_Y + 17)) -depth 8 txt:- | grep -o '#E02020')" ]
}

# The X server: Xvfb picks a free display itself (-displayfd), so that tests
# running at the same time elsewhere cannot take the same one; -noreset keeps
# it up between programs. No window manager: the tests focus windows
# themselves. 1280 x 1024 unless WF_E2E_SCREEN names another screen.
Xvfb -displayfd 3 -screen 0 "${WF_E2E_SCREEN:-1280x1024x24}" -nolisten tcp -noreset \
  3>"$E2E_TMP/display" 2>"$E2E_TMP/xvfb.err" &
XVFB_PID=$!
wait_for 10 test -s "$E2E_TMP/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -1 "$E2E_TMP/display")" SDL_AUDIODRIVER=dummy
unset QT_QPA_PLATFORM XAUTHORITY WOLKENFANG_DIR
# A German keyboard, as the players have: xdotool types "ü" with a key of
# its own instead of remapping one for a moment, which a busy program misses.
setxkbmap de
