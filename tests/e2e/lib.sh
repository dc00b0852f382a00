# Shared helpers of the end-to-end tests. Each test runs inside its own X
# server (run.sh starts it) with a fresh copy of the game directory.
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

# Screenshots of a failed run are kept here (CTest sets it).
SHOTS="${WF_E2E_SHOTS:-$E2E_TMP/shots}"
mkdir -p "$SHOTS"

# log TEXT: a line with the milliseconds since the test began.
log() { printf '[%6d ms] %s\n' $(($(now_ms) - T0)) "$*"; }

# Every program a test started ends with the test, whatever way it ends.
# The game catches SIGTERM (its sound library does) without ending, so what
# is still there after a moment is killed.
cleanup() {
  local p i
  for p in "${PIDS[@]:-}"; do
    [ -n "$p" ] && kill "$p" 2>/dev/null || true
  done
  for p in "${PIDS[@]:-}"; do
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
  local name
  name="$(basename "${0%.sh}")"
  import -window root "$SHOTS/$name-failure.png" 2>/dev/null &&
    echo "screen at the failure: $SHOTS/$name-failure.png" >&2 || true
  for f in "$E2E_TMP"/*.err "$E2E_TMP"/*.out; do
    [ -s "$f" ] && { echo "--- $f" >&2; tail -20 "$f" >&2; }
  done
  exit 1
}

# wait_for SECONDS COMMAND...: runs COMMAND every 0.1 s until it succeeds;
# SECONDS is a whole number;
# fails (status 1) when it did not within SECONDS.
wait_for() {
  local limit="$1"; shift
  local end=$(($(now_ms) + limit * 1000))
  while :; do
    "$@" && return 0
    (($(now_ms) > end)) && return 1
    sleep 0.1
  done
}

# start_prog NAME PROGRAM ARGS...: starts a program in the background; its
# standard error goes to $E2E_TMP/NAME.err, its pid to the variable LAST_PID.
start_prog() {
  local name="$1"; shift
  "$@" >"$E2E_TMP/$name.out" 2>"$E2E_TMP/$name.err" &
  LAST_PID=$!
  PIDS+=("$LAST_PID")
}

visible_window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1; }
has_window() { [ -n "$(visible_window "$1")" ]; }
no_window() { [ -z "$(visible_window "$1")" ]; }

# wait_window TITLE [SECONDS]: prints the id of the first visible window
# whose title matches the regular expression TITLE.
wait_window() {
  local title="$1" limit="${2:-30}"
  wait_for "$limit" has_window "$title" || return 1
  visible_window "$title"
}

# wait_exit PID [SECONDS]: waits for a process that this shell started to
# end and sets EXIT_STATUS to its status (not to be run in a subshell,
# which cannot wait for its parent's children).
wait_exit() {
  local pid="$1" limit="${2:-20}"
  wait_for "$limit" eval '! kill -0 '"$pid"' 2>/dev/null' || return 1
  EXIT_STATUS=0
  wait "$pid" 2>/dev/null || EXIT_STATUS=$?
}

in_stderr() { grep -qF -- "$2" "$E2E_TMP/$1.err" 2>/dev/null; }

# wait_stderr NAME TEXT [SECONDS]: waits until TEXT shows in NAME.err.
wait_stderr() { wait_for "${3:-20}" in_stderr "$1" "$2"; }

# no_messages NAME PROGRAM: fails when PROGRAM's stderr NAME.err reports a
# message box.
no_messages() {
  if grep -q "^$2: " "$E2E_TMP/$1.err"; then
    fail "$2 showed a message box: $(grep "^$2: " "$E2E_TMP/$1.err" | head -3)"
  fi
}

# start_game NAME ARGS...: starts the game and waits for its main window,
# whose id goes to MAIN, the pid to GAME_PID.
start_game() {
  local name="$1"; shift
  start_prog "$name" "$GAME/Wolkenfang" "$@"
  GAME_PID=$LAST_PID
  MAIN="$(wait_window "$MAIN_TITLE" 40)" || fail "the main window did not appear"
}

# quit_game WINDOW PID: ends an idle game by its menu (Ctrl+B); it must end
# with status 0.
quit_game() {
  key "$1" ctrl+b
  wait_exit "$2" 15 || fail "the game did not end by Beenden"
  [ "$EXIT_STATUS" = 0 ] || fail "the game ended with status $EXIT_STATUS by Beenden"
}

focus() {
  xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
}

key() { # key WINDOW KEYS...
  local w="$1"; shift
  focus "$w"
  xdotool key --clearmodifiers "$@"
}

type_text() { # type_text WINDOW TEXT
  focus "$1"
  xdotool type --delay 30 --clearmodifiers -- "$2"
}

# click_at WINDOW X Y [BUTTON]: moves the pointer to window coordinates and
# presses and releases a button there. One xdotool call keeps the move and
# the click in order (its --sync would wait for ever when the pointer is
# already there).
click_at() {
  xdotool mousemove --window "$1" "$2" "$3" click "${4:-1}"
}

shot() { # shot FILE: screenshot of the whole screen
  import -window root "$1"
}

window_geometry() { # prints "X Y W H" of a window on the screen
  xdotool getwindowgeometry --shell "$1" |
    awk -F= '/^X=/{x=$2}/^Y=/{y=$2}/^WIDTH=/{w=$2}/^HEIGHT=/{h=$2}END{print x, y, w, h}'
}

# surface_origin WINDOW SURFACE_HEIGHT: sets SURF_X and SURF_Y, the screen
# position of the main window's playing surface, and SURF_TOP, its top
# inside the window (the surface fills the window below the menu bar).
surface_origin() {
  local x y w h
  read -r x y w h < <(window_geometry "$1")
  SURF_TOP=$((h - $2))
  ((SURF_TOP >= 0)) || fail "window of height $h cannot hold a surface of height $2"
  SURF_X=$x
  SURF_Y=$((y + SURF_TOP))
}

# surface_click WINDOW X Y [BUTTON]: a click at a point of the playing
# surface (surface_origin must have run).
surface_click() { click_at "$1" "$2" $(($3 + SURF_TOP)) "${4:-1}"; }

# crop FILE X Y W H OUT
crop() { convert "$1" -crop "${4}x${5}+${2}+${3}" +repage "$6"; }

# pixel FILE X Y: prints the colour at a point as "r,g,b".
pixel() {
  convert "$1" -format '%[fx:int(255*p{'"$2"','"$3"'}.r+0.5)],%[fx:int(255*p{'"$2"','"$3"'}.g+0.5)],%[fx:int(255*p{'"$2"','"$3"'}.b+0.5)]' info:
}

# colours FILE X Y W H: number of distinct colours in a region (tells a
# picture from an empty surface).
colours() {
  convert "$1" -crop "${4}x${5}+${2}+${3}" +repage -format '%k' info:
}

# brightest FILE X Y W H: the highest channel value (0-255) in a region.
brightest() {
  convert "$1" -crop "${4}x${5}+${2}+${3}" +repage -format '%[fx:int(255*maxima+0.5)]' info:
}

# difference A B: root-mean-square difference of two pictures of the same
# size, 0 (equal) to 1.
difference() {
  local out
  out="$(compare -metric RMSE "$1" "$2" null: 2>&1 | sed -n 's/^[0-9.e+-]* (\([0-9.e+-]*\))$/\1/p')"
  echo "${out:-1}" # pictures that cannot be compared count as different
}

# below LIMIT VALUE: true when the number VALUE is below LIMIT.
below() { awk -v a="$2" -v b="$1" 'BEGIN { exit !(a + 0 < b + 0) }'; }

picture_size() { identify -format '%w %h\n' "$1"; }

# darkest FILE X Y W H: the lowest channel value (0-255) in a region.
darkest() {
  convert "$1" -crop "${4}x${5}+${2}+${3}" +repage -format '%[fx:int(255*minima+0.5)]' info:
}

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

# wizard_done WINDOW MODDIR: the run has marked the MOD as encoded and the
# closing page is up, where "Abbrechen" is disabled (grey text).
wizard_done() {
  grep -q '^type=code' "$2/config.ini" 2>/dev/null || return 1
  local x y
  read -r x y _ _ < <(window_geometry "$1")
  import -window root -crop "60x12+$((x + CANCEL_X - 30))+$((y + BUTTON_Y - 6))" +repage \
    "$E2E_TMP/cancel.ppm"
  [ "$(darkest "$E2E_TMP/cancel.ppm" 0 0 60 12)" -ge 90 ]
}

# answer_box NAME TITLE [KEY]: waits for the message box of program NAME whose
# stderr line starts with TITLE, then answers it with KEY (Return = OK).
answer_box() {
  local name="$1" title="$2" k="${3:-Return}" id
  wait_stderr "$name" "Wolkenfang: $title: " 20 || wait_stderr "$name" "modsiegel: $title: " 5 ||
    fail "no message box '$title' from $name"
  id="$(wait_window "^$title\$" 10)" || fail "message box '$title' not on screen"
  key "$id" "$k"
}

# expect_fatal_start TEXT TITLE [ARGS...]: starts the game, expects a message
# box whose stderr line contains TEXT, answers it and expects a non-zero exit.
expect_fatal_start() {
  local text="$1" title="$2"; shift 2
  start_prog game "$GAME/Wolkenfang" "$@"
  local pid=$LAST_PID
  wait_stderr game "$text" 30 || fail "expected message '$text'"
  grep -qF "Wolkenfang: $title: " "$E2E_TMP/game.err" || fail "message '$text' without title '$title'"
  if has_window "$MAIN_TITLE"; then fail "main window shown with '$text'"; fi
  answer_box game "$title"
  wait_exit "$pid" 10 || fail "the game did not end after '$text'"
  [ "$EXIT_STATUS" != "0" ] || fail "the game ended with status 0 after '$text'"
  has_window "$MAIN_TITLE" && fail "main window shown after '$text'"
  # A refused MOD also writes which file and key were wrong, as
  # "Wolkenfang: MOD '<name>': ..." (not a message box).
  [ "$(grep '^Wolkenfang: ' "$E2E_TMP/game.err" | grep -vc "^Wolkenfang: MOD '")" = 1 ] ||
    fail "more than one message for '$text'"
  log "fatal start (status $EXIT_STATUS): $title: $text"
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

# The pointer position whose aim point (16 units right and below) lies in the
# middle of a cell.
cell_x() { echo $((17 * $1 + 8 - 16)); }
cell_y() { echo $((17 * $1 + 8 - 16)); }

# target_shows: a game on the target MOD runs, its background shows with the
# target on it (surface_origin must have run).
target_shows() {
  import -window root -crop "${W}x${H}+${SURF_X}+${SURF_Y}" +repage "$E2E_TMP/g.ppm"
  [ "$(pixel "$E2E_TMP/g.ppm" $((TARGET_X + 8)) $((TARGET_Y + 17)))" = "224,32,32" ]
}

# check_table WINDOW WHAT: the highscore window shows the default table with
# a new name in place 2: three equal "NoBody" names and a different one
# (names at y = 164 + 36 * index, x 80 to 330). The window's background is a
# gradient, so only the light text is compared.
name_cell() {
  convert "$1" -crop "250x30+$((TX + 80))+$((TY + 164 + 36 * $2))" +repage \
    -colorspace Gray -threshold 50% "$E2E_TMP/name$2.pbm"
}
check_table() {
  local id="$1" what="$2"
  read -r TX TY _ _ < <(window_geometry "$id")
  shot "$E2E_TMP/table.png"
  for i in 0 1 2 3; do name_cell "$E2E_TMP/table.png" $i; done
  below 0.08 "$(difference "$E2E_TMP/name0.pbm" "$E2E_TMP/name2.pbm")" ||
    fail "$what: places 1 and 3 do not show the same name"
  below 0.08 "$(difference "$E2E_TMP/name0.pbm" "$E2E_TMP/name3.pbm")" ||
    fail "$what: places 1 and 4 do not show the same name"
  ! below 0.15 "$(difference "$E2E_TMP/name0.pbm" "$E2E_TMP/name1.pbm")" ||
    fail "$what: place 2 shows the same name as place 1"
  [ "$(colours "$E2E_TMP/table.png" $((TX + 80)) $((TY + 164 + 36)) 250 30)" -gt 2 ] ||
    fail "$what: place 2 shows no name"
}
