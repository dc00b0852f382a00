#!/usr/bin/env bash
# The fault measurements of docs/proof.md, each printing its figures and
# exiting 1 on any violation; CTest runs each briefly (label proof), `all`
# with the counts of the figures. Game and programs come from the build
# WF_BUILD (default build/). A full disk is a small tmpfs in a mount
# namespace of the script's own: without root those end as skipped (77).
#
#   measure.sh readonly|kill-save|kill-encode|load-during-seal COUNT
#   measure.sh full-disk-encode STEP [MEDIA] | full-disk-score | all
set -euo pipefail
build=$(realpath "${WF_BUILD:-$(dirname "$0")/../../build}")
game=$build/Wolkenfang bin=$build/measure mod=wolkfng4
encoder=$game/modsiegel/modsiegel probe=$bin/fault_probe
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
what=${1:?usage: measure.sh readonly|kill-save|kill-encode|load-during-seal|full-disk-encode|full-disk-score|all ...}
shift
if [[ $what == all ]]; then
    "$0" readonly 10 && "$0" kill-save 1000 && "$0" kill-encode 100 && "$0" load-during-seal 10 &&
        "$0" full-disk-encode 4096 &&
        "$0" full-disk-score
    exit
fi
for f in "$encoder" "$probe" "$bin/game_run"; do [[ -x $f ]] || { echo "$what: no $f: build first" >&2; exit 2; }; done
if [[ $what == full-disk-* && ${WF_PRIVATE_MOUNTS:-} != 1 ]]; then
    [[ $(id -u) -eq 0 ]] && unshare -m --propagation private true 2>/dev/null ||
        { echo "$what: skipped: a full disk needs root and a private mount namespace"; exit 77; }
    exec env WF_PRIVATE_MOUNTS=1 unshare -m --propagation private "$0" "$what" "$@"
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/wf-measure.XXXXXX")
disk=$work/disk g=$work/disk/g
chmod 755 "$work" && mkdir "$disk"
trap 'umount -l "$disk" 2>/dev/null || true; chmod -R u+w "$work"; rm -rf "$work"' EXIT
bad=0
violation() { echo "$what: $*" >&2; bad=$((bad + 1)); }
nobody=(setpriv --reuid=65534 --regid=65534 --clear-groups --)
loads() { "$probe" mod "$1" 2>&1 || true; }
# The game's settings and the MOD, without the other MODs' pictures.
copy_mod() { mkdir -p "$1/mods" && cp "$game/game.ini" "$1/" && cp -r "$game/mods/$mod" "$1/mods/"; }
free_bytes() { echo $(($(stat -f -c '%a * %S' "$disk"))); }

# sweep LABEL STEP ROW NAME: with 0, STEP, 2 STEP ... bytes left free on the
# disk, NAME_prepare sets up, NAME_try runs the program on the full disk and
# NAME_check, once the filler is gone, looks at what it left: status 0 for a
# success as it must be, 1 for anything else (reporting violations). Ends
# after ROW successes in a row.
sweep() {
    local label=$1 step=$2 row=$3 name=$4 free fill in_row=0 limit
    FAILED=0 SUCCEEDED=0
    limit=$(free_bytes)
    for ((free = 0; in_row < row; free += step)); do
        ((free <= limit)) || { violation "$label: never succeeded $row times in a row"; break; }
        "${name}_prepare"
        fill=$(($(free_bytes) - free))
        ((fill <= 0)) || fallocate -l "$fill" "$disk/filler"
        "${name}_try"
        rm -f "$disk/filler"
        if "${name}_check" "$label, $((free / 1024)) KiB free"; then
            in_row=$((in_row + 1)) SUCCEEDED=$((SUCCEEDED + 1))
        else
            in_row=0 FAILED=$((FAILED + 1))
        fi
    done
    echo "$what: $label: 0 to $(((free - step) / 1024)) KiB free in steps of $((step / 1024)) KiB: $FAILED failed, $SUCCEEDED succeeded"
}

# After every run either it failed (exit 1, the general message) and the game
# directory is byte for byte as before, or it succeeded, the MOD loads sealed
# as the same MOD, the backup plain and registered, and nothing is left.
encode_prepare() { [[ -d $g ]] || cp -a "$work/orig" "$g"; }
encode_try() { STATUS=0 && "$encoder" --encode "$mod" --game-dir "$g" "${BACKUP[@]}" >/dev/null 2>"$work/err" || STATUS=$?; }
encode_check() {
    local why=""
    if ((STATUS == 1)); then
        grep -q 'Ein unbekannter Fehler ist aufgetreten !!!' "$work/err" || why=" no failure message"
        diff -r --no-dereference "$work/orig" "$g" >/dev/null || { why+=" changed files"; rm -rf "$g"; }
    else
        ((STATUS == 0)) || why=" exit status $STATUS"
        [[ $(loads "$g/mods/$mod") == "encoded: $REFERENCE" ]] || why+=" the MOD does not load sealed"
        if ((${#BACKUP[@]})); then
            [[ $(loads "$g/mods/$mod.src") == "plain: $REFERENCE" ]] || why+=" the backup does not load"
            grep -q "^ModName3=$mod.src" "$g/game.ini" || why+=" the backup is not registered"
        fi
        [[ -z $(find "$g" -name '.*') ]] || why+=" hidden files left"
        rm -rf "$g"
    fi
    [[ -z $why ]] || { violation "$1:$why"; sed 's/^/  /' "$work/err" >&2; return 1; }
    return $((STATUS != 0))
}
full_disk_encode() {
    local step=$1 media=${2:-0}
    ((step > 0 && step % 4096 == 0)) || { echo "$what: STEP must be a multiple of 4096 (pages)" >&2; exit 2; }
    copy_mod "$work/orig"
    # The encoder copies media byte for byte: small ones keep a sweep short.
    ((media == 0)) ||
        find "$work/orig/mods/$mod" -type f ! -iname '*.ini' -size +"${media}"c -exec truncate -s "$media" {} +
    REFERENCE=$(loads "$work/orig/mods/$mod") && REFERENCE=${REFERENCE#plain: }
    mount -t tmpfs -o "size=$(($(du -sk "$work/orig" | cut -f1) * 3 + 1024))k,mode=0755" tmpfs "$disk"
    for b in "" "--backup $mod.src"; do
        read -r -a BACKUP <<<"$b"
        sweep "${BACKUP[*]:-without backup}" "$step" 4 encode
        ((FAILED > 0)) || violation "${BACKUP[*]:-without backup}: no run met a full disk"
    done
}

# Each file holds the new table where the save succeeded and the old one,
# byte for byte, where it reported failure; no temporary file remains. In a
# shared install the player ("nobody") owns the files, not their directory.
score_prepare() {
    rm -rf "$disk/s" && mkdir "$disk/s" && "$probe" seed "$disk/s" >/dev/null
    ((${#AS[@]} == 0)) || chown 65534:65534 "$disk/s"/score?.sre
}
score_try() { STATUS=0 && EXPECTED=$("${AS[@]}" "$work/fault_probe" once "$disk/s" 2>"$work/err") || STATUS=$?; }
score_check() {
    local found strays
    found=$("$probe" check "$disk/s" 2>&1) || true
    strays=$(find "$disk/s" -type f ! -name 'score?.sre')
    [[ $found == "$EXPECTED" && -z $strays && $STATUS -le 1 ]] ||
        violation "$1: saved $EXPECTED (status $STATUS), found $found${strays:+, left: $strays}"
    return $((STATUS != 0))
}
full_disk_score() {
    mount -t tmpfs -o size=256k,mode=0755 tmpfs "$disk"
    cp "$probe" "$work/fault_probe"
    AS=() && sweep "writable directory" 4096 3 score
    AS=("${nobody[@]}") && sweep "shared install" 4096 3 score
}

# After every kill each file is a whole table, no older than before; the next
# save succeeds and removes what a kill left.
kill_save() {
    local dir=$work/s i t line out expected rounds now saved=0 strays=0
    mkdir "$dir" && "$probe" seed "$dir" >/dev/null
    read -r -a rounds < <("$probe" check "$dir")
    for ((i = 1; i <= $1; i++)); do
        coproc SAVER { exec "$probe" loop "$dir" 2>&1; }
        read -r line <&"${SAVER[0]}" || true
        [[ $line == saving ]] || { echo "$what: the saver did not start: $line" >&2; exit 1; }
        sleep "0.0$(printf '%02d' $((RANDOM % 30)))"  # about ten rounds of three saves
        kill -KILL "$SAVER_PID"
        wait "$SAVER_PID" 2>/dev/null || true
        if out=$("$probe" check "$dir"); then
            read -r -a now <<<"$out"
            for t in 0 1 2; do
                ((now[t] >= rounds[t])) || violation "kill $i: score$((t + 1)).sre went back to round ${now[t]}"
                saved=$((saved + now[t] - rounds[t]))
            done
        else
            violation "kill $i left $out"
        fi
        strays=$((strays + $(find "$dir" -type f ! -name 'score?.sre' | wc -l)))
        expected=$("$probe" once "$dir") && [[ $("$probe" check "$dir") == "$expected" ]] ||
            violation "kill $i: the next save failed"
        read -r -a rounds <<<"$expected"
        [[ -z $(find "$dir" -type f ! -name 'score?.sre' -delete -print) ]] ||
            violation "kill $i: temporary files remained after the next save"
    done
    echo "$what: $1 kills, $saved table saves completed; $strays temporary files left by kills, all removed by the next save"
}

# After every kill the MOD loads as the same MOD, plain or sealed; the same
# command run again completes the seal and the backup: exit 0, the MOD sealed
# with no plain definition file beside its .cod files, the backup all of the
# MOD (its hd twins too), loading plain and registered once, nothing hidden
# left.
kill_encode() {
    local i out status span delay why plain=0 encoded=0 beside=0 killed=0 strays=0 done=0 start
    copy_mod "$work/orig"
    REFERENCE=$(loads "$work/orig/mods/$mod") && REFERENCE=${REFERENCE#plain: }
    local args=(--encode "$mod" --backup "$mod.src" --game-dir "$g")
    plain_beside() { find "$g/mods/$mod" -maxdepth 1 -iname '*.ini' ! -iname config.ini | grep -q .; }
    cp -r "$work/orig" "$g"
    start=$(date +%s%N)
    "$encoder" "${args[@]}" >/dev/null 2>&1 || { echo "$what: an undisturbed run failed" >&2; exit 1; }
    span=$((($(date +%s%N) - start) / 1000000 + 5))
    for ((i = 1; i <= $1; i++)); do
        rm -rf "$g" && cp -r "$work/orig" "$g"
        "$encoder" "${args[@]}" >/dev/null 2>&1 &
        delay=$((RANDOM % span))
        sleep "$((delay / 1000)).$(printf '%03d' $((delay % 1000)))"
        kill -KILL $! 2>/dev/null || true
        status=0 && wait $! 2>/dev/null || status=$?
        ((status != 137)) || killed=$((killed + 1))
        out=$(loads "$g/mods/$mod")
        case $out in
            "plain: $REFERENCE") plain=$((plain + 1)) ;;
            "encoded: $REFERENCE") encoded=$((encoded + 1)) && ! plain_beside || beside=$((beside + 1)) ;;
            *) violation "kill $i after $delay ms: $out" ;;
        esac
        strays=$((strays + $(find "$g" -name '.*' | wc -l)))
        status=0 && "$encoder" "${args[@]}" >/dev/null 2>"$work/err" || status=$?
        why=""
        ((status == 0)) || why+=" exit $status: $(tail -1 "$work/err")"
        [[ $(loads "$g/mods/$mod") == "encoded: $REFERENCE" ]] || why+=" the MOD is not sealed"
        ! plain_beside || why+=" plain files beside the sealed ones"
        [[ $(loads "$g/mods/$mod.src") == "plain: $REFERENCE" ]] || why+=" the backup does not load"
        diff -r "$work/orig/mods/$mod" "$g/mods/$mod.src" >/dev/null || why+=" the backup is not all of the MOD"
        out=$(grep -c "^ModName[0-9]*=$mod.src" "$g/game.ini" || true)
        ((out == 1)) || why+=" the backup registered $out times"
        [[ -z $(find "$g" -name '.*') ]] || why+=" left: $(find "$g" -name '.*')"
        if [[ -z $why ]]; then done=$((done + 1)); else violation "kill $i after $delay ms, the next run:$why"; fi
    done
    echo "$what: $1 kills over a run with backup of $span ms ($killed while running): $plain left plain, $encoded sealed ($beside with plain files beside, until the next run); $strays leftovers of kills"
    echo "$what: the same command run again completed $done of $1 (exit 0, sealed, no plain file beside a sealed one, the backup whole and registered once, nothing left)"
}

# A game starting while a large MOD is sealed: the game's loader reads the MOD
# over and over while it is sealed COUNT times; every load must be whole.
load_during_seal() {
    local i out seal loads=0 refused=0 f
    copy_mod "$work/orig"
    # Definition files of 2 MB each (comment lines), so that reading one
    # takes a while.
    for f in "$work/orig/mods/$mod"/[0-9]*.ini; do
        awk 'BEGIN { for (i = 0; i < 20000; i++) printf "%-98s\r\n", ";" }' >>"$f"
    done
    for ((i = 1; i <= $1; i++)); do
        rm -rf "$g" && cp -r "$work/orig" "$g"
        "$encoder" --encode "$mod" --game-dir "$g" >/dev/null 2>&1 &
        seal=$!
        while kill -0 "$seal" 2>/dev/null; do
            out=$(loads "$g/mods/$mod") && loads=$((loads + 1))
            [[ $out == plain:* || $out == encoded:* ]] || { refused=$((refused + 1)) && violation "seal $i: $out"; }
        done
        wait "$seal" || violation "seal $i failed"
    done
    echo "$what: $1 seals of a MOD with $(du -ch "$work/orig/mods/$mod"/*.ini | tail -1 | cut -f1) of definition files, $loads loads during them: $refused refused"
}

# The game starts and plays; every save shows its message and no file changes.
readonly_games() {
    local copy=$work/game run=() saves messages before
    cp -r "$game" "$copy"
    cp "$bin/game_run" "$work/"
    printf 'Erster\r\n 900 \r\nZweiter\r\n 800 \r\nDritter\r\n 700 \r\nVierter\r\n 600 \r\n' >"$copy/score1.sre"
    rm -f "$copy/score2.sre" "$copy/score3.sre"
    chmod -R a-w,a+rX "$copy"
    listing() { (cd "$copy" && find . -printf '%p %m %s\n' | sort && find . -type f -exec sha256sum {} + | sort); }
    before=$(listing)
    mkdir "$work/home"
    # Root ignores permissions: the player is "nobody" then.
    [[ $(id -u) -ne 0 ]] || { chown 65534:65534 "$work/home" && run=("${nobody[@]}"); }
    HOME=$work/home XDG_RUNTIME_DIR=$work/home "${run[@]}" "$work/game_run" timed --game-dir "$copy" \
        --games "$1" >"$work/out" 2>"$work/err" || violation "the games failed: $(tail -5 "$work/err")"
    saves=$(grep -c '^Wolkenfang: .*: Fehler beim Speichern einer Highscore-Tabelle (Es werden keine neuen Scores gespeichert)$' "$work/err" || true)
    messages=$(grep -c '^Wolkenfang: ' "$work/err" || true)
    ((saves == 3 * $1 && messages == saves)) || violation "$messages messages, $saves of them about saving; expected $((3 * $1)) about saving"
    [[ $(listing) == "$before" ]] || violation "files changed: $(diff <(echo "$before") <(listing) | head -5)"
    echo "$what: as $( ((${#run[@]})) && echo nobody || id -un): $(cat "$work/out"), $saves about saving; $(grep -c '^\./' <<<"$before") files and folders unchanged"
}

case $what in
    readonly) readonly_games "${1:?COUNT}" ;;
    kill-save) kill_save "${1:?COUNT}" ;;
    kill-encode) kill_encode "${1:?COUNT}" ;;
    load-during-seal) load_during_seal "${1:?COUNT}" ;;
    full-disk-encode) full_disk_encode "${1:?STEP}" "${2:-0}" ;;
    full-disk-score) full_disk_score ;;
    *) echo "measure: no measurement '$what'" >&2; exit 2 ;;
esac
echo "$what: $bad violations"
((bad == 0))
