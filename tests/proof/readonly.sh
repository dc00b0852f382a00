#!/usr/bin/env bash
# Plays COUNT timed games in a read-only copy of the game directory: the game
# must start and play, saving the highscores must show its message, and no
# file may change. As root, permissions do not hold: the game then runs as
# the unprivileged user "nobody" (65534) on a copy owned by root.
#
#   readonly.sh COUNT [GAME_DIR] [BIN_DIR]
#
# GAME_DIR: a built game directory (default: $WF_GAME_DIR, else
# build/Wolkenfang); BIN_DIR holds readonly_play (default: $WF_PROOF_BIN,
# else build/tests).
set -euo pipefail
count=${1:?usage: readonly.sh COUNT [GAME_DIR] [BIN_DIR]}
here=$(cd "$(dirname "$0")" && pwd)
game=${2:-${WF_GAME_DIR:-$here/../../build/Wolkenfang}}
bin=${3:-${WF_PROOF_BIN:-$here/../../build/tests}}
player=$bin/readonly_play
[[ -x $player ]] || { echo "readonly: $player not found" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/wf-readonly.XXXXXX")
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
chmod 755 "$work"
copy=$work/game
cp -r "$game" "$copy"
cp "$player" "$work/readonly_play"
# One table that must stay as it is.
printf 'Erster\r\n 900 \r\nZweiter\r\n 800 \r\nDritter\r\n 700 \r\nVierter\r\n 600 \r\n' >"$copy/score1.sre"
rm -f "$copy/score2.sre" "$copy/score3.sre"
chmod -R a-w,a+rX "$copy"
chmod a+rx "$work/readonly_play"

listing() { (cd "$copy" && find . -printf '%p %m %s\n' | sort && find . -type f -exec sha256sum {} + | sort); }
before=$(listing)

run=()
home=$work/home
mkdir -p "$home"
if [[ $(id -u) -eq 0 ]]; then
    chown 65534:65534 "$home"
    run=(setpriv --reuid=65534 --regid=65534 --clear-groups --)
fi
# What the sanitizers write goes to stderr, not to a file in the game.
set +e
HOME=$home XDG_RUNTIME_DIR=$home QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy \
    "${run[@]}" "$work/readonly_play" --game-dir "$copy" --games "$count" \
    >"$work/out.txt" 2>"$work/err.txt"
status=$?
set -e
cat "$work/out.txt"
after=$(listing)

fail=0
if [[ $status -ne 0 ]]; then
    echo "readonly: the game failed (status $status):" >&2
    tail -20 "$work/err.txt" >&2
    fail=1
fi
messages=$(grep -c 'Fehler beim Speichern einer Highscore-Tabelle (Es werden keine neuen Scores gespeichert)' "$work/err.txt" || true)
# Three tables are saved after every game.
if [[ $messages -ne $((3 * count)) ]]; then
    echo "readonly: $messages save messages on stderr, expected $((3 * count))" >&2
    fail=1
fi
if [[ $before != "$after" ]]; then
    echo "readonly: files changed:" >&2
    diff <(echo "$before") <(echo "$after") >&2 || true
    fail=1
fi
echo "readonly: $count games as $( [[ ${#run[@]} -gt 0 ]] && echo nobody || id -un ), $messages save messages, $(echo "$before" | grep -c '^\./') entries unchanged: $([[ $fail -eq 0 ]] && echo ok || echo FAILED)"
exit $fail
