#!/usr/bin/env bash
# Kills the highscore saving with SIGKILL at random moments, COUNT times, and
# checks after every kill that each of the three score files is a complete
# table (eight lines, CR LF, readable by the game), the old one or a newer one,
# and that the next save leaves no temporary file behind.
#
#   kill_save.sh COUNT [BIN_DIR]
#
# BIN_DIR holds score_saver (default: $WF_PROOF_BIN, else build/tests).
set -euo pipefail
count=${1:?usage: kill_save.sh COUNT [BIN_DIR]}
here=$(cd "$(dirname "$0")" && pwd)
bin=${2:-${WF_PROOF_BIN:-$here/../../build/tests}}
saver=$bin/score_saver
[[ -x $saver ]] || { echo "kill_save: $saver not found" >&2; exit 2; }

dir=$(mktemp -d "${TMPDIR:-/tmp}/wf-kill-save.XXXXXX")
trap 'rm -rf "$dir"' EXIT
"$saver" seed "$dir"

read -r -a rounds < <("$saver" check "$dir")
bad=0 strays=0 saved=0
for ((i = 1; i <= count; i++)); do
    coproc SAVER { exec "$saver" loop "$dir" 2>&1; }
    pid=$SAVER_PID
    read -r line <&"${SAVER[0]}" || true
    [[ $line == saving ]] || { echo "kill_save: the saver did not start: $line" >&2; exit 1; }
    # Up to 30 ms into the loop: about ten rounds of three saves.
    sleep "0.0$(printf '%02d' $((RANDOM % 30)))"
    kill -KILL "$pid"
    wait "$pid" 2>/dev/null || true
    if ! out=$("$saver" check "$dir"); then
        echo "kill_save: kill $i left a damaged file: $out" >&2
        bad=$((bad + 1))
        "$saver" seed "$dir"
        read -r -a rounds < <("$saver" check "$dir")
        continue
    fi
    read -r -a now <<<"$out"
    for t in 0 1 2; do
        if ((now[t] < rounds[t])); then
            echo "kill_save: kill $i: score$((t + 1)).sre went back from round ${rounds[t]} to ${now[t]}" >&2
            bad=$((bad + 1))
        fi
        saved=$((saved + now[t] - rounds[t]))
    done
    # A kill between creating and renaming a temporary file leaves it
    # behind; the next save of that table removes it.
    n=$(find "$dir" -type f ! -name 'score?.sre' | wc -l)
    strays=$((strays + n))
    if ! expected=$("$saver" once "$dir") || [[ $("$saver" check "$dir") != "$expected" ]]; then
        echo "kill_save: kill $i: the next save failed" >&2
        bad=$((bad + 1))
    fi
    read -r -a rounds <<<"$expected"
    n=$(find "$dir" -type f ! -name 'score?.sre' | wc -l)
    if ((n > 0)); then
        echo "kill_save: kill $i: $n temporary files still there after the next save" >&2
        bad=$((bad + 1))
        find "$dir" -type f ! -name 'score?.sre' -delete
    fi
done
echo "kill_save: $count kills, $saved table saves completed, $bad damaged or older files or leftovers, $strays temporary files left by kills and all removed by the next save"
[[ $bad -eq 0 ]]
