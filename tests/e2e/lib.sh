# Shared helpers of the end-to-end tests. Each test runs inside its own X
# server (run.sh starts it) with a fresh copy of the game directory.
set -euo pipefail

: "${WF_GAME_DIR:?WF_GAME_DIR must name the built game directory}"
E2E_TMP="$(mktemp -d /tmp/wf-e2e.XXXXXX)"
GAME="$E2E_TMP/Wolkenfang"
cp -a "$WF_GAME_DIR" "$GAME"
rm -f "$GAME"/score*.sre
PIDS=()

cleanup() {
  for p in "${PIDS[@]:-}"; do
    [ -n "$p" ] && kill "$p" 2>/dev/null || true
  done
  if [ "${WF_E2E_KEEP:-0}" != "1" ]; then rm -rf "$E2E_TMP"; fi
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  for f in "$E2E_TMP"/*.err; do
    [ -f "$f" ] && { echo "--- $f" >&2; tail -20 "$f" >&2; }
  done
  exit 1
}

# start_prog NAME PROGRAM ARGS...: starts a program in the background; its
# standard error goes to $E2E_TMP/NAME.err, its pid to the variable LAST_PID.
start_prog() {
  local name="$1"; shift
  "$@" >"$E2E_TMP/$name.out" 2>"$E2E_TMP/$name.err" &
  LAST_PID=$!
  PIDS+=("$LAST_PID")
}

# wait_window TITLE [SECONDS]: prints the id of the first visible window
# whose title matches.
wait_window() {
  local title="$1" limit="${2:-20}" i id
  for ((i = 0; i < limit * 10; i++)); do
    id="$(xdotool search --onlyvisible --name "$title" 2>/dev/null | head -1 || true)"
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.1
  done
  return 1
}

# wait_gone PID [SECONDS]: waits for a process to end; prints its status.
wait_exit() {
  local pid="$1" limit="${2:-20}" i
  for ((i = 0; i < limit * 10; i++)); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid" 2>/dev/null && echo 0 || echo $?
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# wait_stderr NAME TEXT [SECONDS]: waits until TEXT shows in NAME.err.
wait_stderr() {
  local name="$1" text="$2" limit="${3:-20}" i
  for ((i = 0; i < limit * 10; i++)); do
    grep -qF -- "$text" "$E2E_TMP/$name.err" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}

focus() { xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"; }

key() {  # key WINDOW KEYS...
  local w="$1"; shift
  focus "$w"
  xdotool key --clearmodifiers "$@"
}

# click_at WINDOW X Y [BUTTON]: moves the pointer to window coordinates and
# presses and releases a button there.
click_at() {
  xdotool mousemove --window "$1" "$2" "$3"
  sleep 0.05
  xdotool click "${4:-1}"
}

shot() {  # shot FILE: screenshot of the whole screen
  import -window root "$1"
}

# pixel FILE X Y: prints the colour at a point as "r,g,b".
pixel() {
  convert "$1" -format '%[fx:int(255*p{'"$2"','"$3"'}.r)],%[fx:int(255*p{'"$2"','"$3"'}.g)],%[fx:int(255*p{'"$2"','"$3"'}.b)]' info:
}

# colours FILE X Y W H: number of distinct colours in a region (tells a
# picture from an empty surface).
colours() {
  convert "$1" -crop "${4}x${5}+${2}+${3}" +repage -format '%k' info:
}

window_geometry() {  # prints "X Y W H" of a window on the screen
  xdotool getwindowgeometry --shell "$1" | awk -F= '/^X=/{x=$2}/^Y=/{y=$2}/^WIDTH=/{w=$2}/^HEIGHT=/{h=$2}END{print x, y, w, h}'
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

# expect_fatal_start TEXT [ARGS...]: starts the game, expects a message
# box whose stderr line contains TEXT, answers it and expects a non-zero exit.
expect_fatal_start() {
  local text="$1" title="$2"; shift 2
  : >"$E2E_TMP/game.err"
  start_prog game "$GAME/Wolkenfang" "$@"
  local pid=$LAST_PID
  wait_stderr game "$text" 20 || fail "expected message '$text'"
  answer_box game "$title"
  local status
  status="$(wait_exit "$pid" 10)" || fail "the game did not end after '$text'"
  [ "$status" != "0" ] || fail "the game ended with status 0 after '$text'"
  if xdotool search --onlyvisible --name "^Wolkenfang 4.00 Alpha 2.4b$" >/dev/null 2>&1; then
    fail "main window shown after '$text'"
  fi
}
