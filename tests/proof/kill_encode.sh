#!/usr/bin/env bash
# Kills "modsiegel --encode" with SIGKILL at random moments, COUNT times,
# each on a fresh copy of a plain MOD, and checks after every kill that the
# MOD still loads as the game loads it, plain or encoded, and is the same MOD;
# and that the next run finishes the job and leaves nothing of the kill behind.
#
#   kill_encode.sh COUNT [GAME_DIR] [BIN_DIR]
#
# GAME_DIR is a built game directory with modsiegel/ and the plain MOD
# wolkfng4 (default: $WF_GAME_DIR, else build/Wolkenfang); BIN_DIR holds
# mod_check (default: $WF_PROOF_BIN, else build/tests).
set -euo pipefail
count=${1:?usage: kill_encode.sh COUNT [GAME_DIR] [BIN_DIR]}
here=$(cd "$(dirname "$0")" && pwd)
game=${2:-${WF_GAME_DIR:-$here/../../build/Wolkenfang}}
bin=${3:-${WF_PROOF_BIN:-$here/../../build/tests}}
mod=wolkfng4
encoder=$game/modsiegel/modsiegel
check=$bin/mod_check
. "$here/lib.sh"
require_tools kill_encode "$encoder" "$check"

work=$(mktemp -d "${TMPDIR:-/tmp}/wf-kill-encode.XXXXXX")
trap 'rm -rf "$work"' EXIT
# A game directory of its own: game.ini and the MOD, without the pictures'
# bulk in other MODs.
mkdir -p "$work/orig/mods"
cp "$game/game.ini" "$work/orig/"
cp -r "$game/mods/$mod" "$work/orig/mods/"
reference=$("$check" "$work/orig/mods/$mod") || { echo "kill_encode: the MOD does not load: $reference" >&2; exit 1; }
reference=${reference#plain: }

# How long a whole run takes, to spread the kills over it.
cp -r "$work/orig" "$work/g"
start=$(date +%s%N)
QT_QPA_PLATFORM=offscreen "$encoder" --encode "$mod" --game-dir "$work/g" >/dev/null 2>&1 ||
    { echo "kill_encode: an undisturbed run failed" >&2; exit 1; }
span_ms=$((($(date +%s%N) - start) / 1000000 + 5))
out=$("$check" "$work/g/mods/$mod") && [[ $out == "encoded: $reference" ]] ||
    { echo "kill_encode: an undisturbed run left: $out" >&2; exit 1; }

bad=0 plain=0 encoded=0 killed=0 halfway=0 strays=0
for ((i = 1; i <= count; i++)); do
    rm -rf "$work/g"
    cp -r "$work/orig" "$work/g"
    QT_QPA_PLATFORM=offscreen "$encoder" --encode "$mod" --game-dir "$work/g" >/dev/null 2>&1 &
    pid=$!
    delay=$((RANDOM % span_ms))
    sleep "$((delay / 1000)).$(printf '%03d' $((delay % 1000)))"
    kill -KILL "$pid" 2>/dev/null || true
    status=0
    wait "$pid" 2>/dev/null || status=$?
    [[ $status -eq 137 ]] && killed=$((killed + 1))
    # Both forms on disk: the kill came in the middle of the work.
    if compgen -G "$work/g/mods/$mod/*.cod" >/dev/null && compgen -G "$work/g/mods/$mod/*.ini" | grep -qv config.ini; then
        halfway=$((halfway + 1))
    fi
    if out=$("$check" "$work/g/mods/$mod") && [[ ${out#*: } == "$reference" ]]; then
        case $out in
            plain:*) plain=$((plain + 1)) ;;
            encoded:*) encoded=$((encoded + 1)) ;;
        esac
    else
        echo "kill_encode: kill $i after $delay ms: $out" >&2
        ls -l "$work/g/mods/$mod" | grep -E 'ini|cod' >&2 || true
        bad=$((bad + 1))
    fi
    # What a kill leaves (temporary files, the lock) goes with the next run:
    # it encodes a MOD left plain, and refuses one already encoded.
    left=$(find "$work/g" -name '.*' | wc -l)
    strays=$((strays + left))
    # A MOD left encoded whose plain files the kill spared is encoded again.
    [[ $out == plain:* ]] && can_fail=0 || can_fail=1
    status=0
    QT_QPA_PLATFORM=offscreen "$encoder" --encode "$mod" --game-dir "$work/g" >/dev/null 2>&1 || status=$?
    out=$("$check" "$work/g/mods/$mod") || true
    left=$(find "$work/g" -name '.*')
    if [[ $out != "encoded: $reference" || $status -gt $can_fail || -n $left ]]; then
        echo "kill_encode: kill $i: the next run (exit $status) left: $out ${left:+and $left}" >&2
        bad=$((bad + 1))
    fi
done
echo "kill_encode: $count kills over a run of $span_ms ms ($killed while running, $halfway with plain and encoded files side by side): $plain left plain, $encoded encoded, $bad not loading or not cleaned up; $strays leftovers of kills, all gone after the next run"
[[ $bad -eq 0 ]]
