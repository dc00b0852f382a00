#!/usr/bin/env bash
# Runs one end-to-end test script (with its arguments) inside an X server of
# its own. Xvfb picks a free display itself (-displayfd), so that tests
# running at the same time elsewhere on the machine cannot take the same
# one; -noreset keeps it up between one program and the next. There is no
# window manager: the tests focus windows themselves. The screen is
# 1280 x 1024 unless WF_E2E_SCREEN names another (such as 1920x1080x24).
set -euo pipefail
script="$1"
xtmp="$(mktemp -d /tmp/wf-xvfb.XXXXXX)"
Xvfb -displayfd 3 -screen 0 "${WF_E2E_SCREEN:-1280x1024x24}" -nolisten tcp -noreset 3>"$xtmp/display" 2>"$xtmp/xvfb.log" &
xpid=$!
trap 'kill "$xpid" 2>/dev/null; wait "$xpid" 2>/dev/null; rm -rf "$xtmp"' EXIT
trap 'exit 143' TERM INT HUP
for ((i = 0; i < 100; i++)); do
  [ -s "$xtmp/display" ] && break
  kill -0 "$xpid" 2>/dev/null || { cat "$xtmp/xvfb.log" >&2; exit 1; }
  sleep 0.1
done
[ -s "$xtmp/display" ] || { echo "Xvfb did not start" >&2; cat "$xtmp/xvfb.log" >&2; exit 1; }
DISPLAY=":$(head -1 "$xtmp/display")"
export DISPLAY
# The programs must reach this X server, must not need a sound card and
# must use the game directory that a test gives them.
unset QT_QPA_PLATFORM XAUTHORITY WOLKENFANG_DIR
export SDL_AUDIODRIVER=dummy
# Not exec'd: the X server must be stopped after the test, however it ends.
bash "$script" "${@:2}" &
test_pid=$!
trap 'kill "$test_pid" 2>/dev/null; wait "$test_pid"; exit 143' TERM INT HUP
wait "$test_pid"
