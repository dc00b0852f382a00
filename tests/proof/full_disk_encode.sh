#!/usr/bin/env bash
# "modsiegel --encode" on a real full file system: a small tmpfs in a private
# mount namespace, filled so that every amount of free space from none to more
# than the run needs is left, one step at a time, with and without --backup.
# After every run either it failed (exit 1, the general failure message) and
# the game directory is byte for byte as before, or it succeeded (exit 0) and
# the MOD loads sealed, its backup loads plain and is registered. Anything
# else is a violation.
#
#   full_disk_encode.sh STEP_BYTES [MEDIA_BYTES] [GAME_DIR] [BIN_DIR]
#
# STEP_BYTES: a multiple of 4096 (tmpfs hands out whole pages). MEDIA_BYTES:
# the MOD's pictures, sounds and music are cut to at most this many bytes
# (0 or missing: kept whole); the encoder copies them byte for byte, so small
# ones keep the sweep with a backup short. GAME_DIR is a built game directory
# with modsiegel/ and the plain MOD wolkfng4 (default: $WF_GAME_DIR, else
# build/Wolkenfang); BIN_DIR holds mod_check (default: $WF_PROOF_BIN, else
# build/tests). Needs root for the mount namespace; exits 77 (skipped) where
# that is not possible.
set -euo pipefail
step=${1:?usage: full_disk_encode.sh STEP_BYTES [MEDIA_BYTES] [GAME_DIR] [BIN_DIR]}
media=${2:-0}
here=$(cd "$(dirname "$0")" && pwd)
game=$(realpath "${3:-${WF_GAME_DIR:-$here/../../build/Wolkenfang}}")
bin=$(realpath "${4:-${WF_PROOF_BIN:-$here/../../build/tests}}")
mod=wolkfng4
encoder=$game/modsiegel/modsiegel
check=$bin/mod_check
. "$here/lib.sh"
require_tools full_disk_encode "$encoder" "$check"
((step > 0 && step % 4096 == 0)) || { echo "full_disk_encode: STEP_BYTES must be a multiple of 4096" >&2; exit 2; }
in_private_mounts full_disk_encode "$0" "$step" "$media" "$game" "$bin"

work=$(mktemp -d "${TMPDIR:-/tmp}/wf-full-disk.XXXXXX")
mnt=$work/disk
trap 'umount -l "$mnt" 2>/dev/null; rm -rf "$work"' EXIT
# The game directory as it is before every run, outside the small disk.
orig=$work/orig
mkdir -p "$orig/mods" "$mnt"
cp "$game/game.ini" "$orig/"
cp -r "$game/mods/$mod" "$orig/mods/"
if ((media > 0)); then
    find "$orig/mods/$mod" -type f ! -iname '*.ini' -size +"${media}"c -exec truncate -s "$media" {} +
fi
reference=$("$check" "$orig/mods/$mod") || { echo "full_disk_encode: the MOD does not load: $reference" >&2; exit 1; }
reference=${reference#plain: }

kib() { echo $((($1 + 1023) / 1024)); }
mount -t tmpfs -o "size=$(($(du -sk "$orig" | cut -f1) * 3 + 1024))k,mode=0755" tmpfs "$mnt"
g=$mnt/g
free_bytes() { echo $(($(stat -f -c '%a * %S' "$mnt"))); }
reset() { rm -rf "$g" "$mnt/filler"; cp -a "$orig" "$g"; }

runs=0 failed=0 succeeded=0 bad=0 report=""
for backup in no yes; do
    args=(--encode "$mod" --game-dir "$g")
    [[ $backup == yes ]] && args+=(--backup "$mod.src")
    reset
    mode_failed=$failed mode_succeeded=$succeeded
    # Up from no free space at all until the run has succeeded a few times in
    # a row: then it had more than it needs.
    in_a_row=0
    limit=$(free_bytes)
    for ((free = 0; in_a_row < 4; free += step)); do
        if ((free > limit)); then
            echo "full_disk_encode: backup $backup: never succeeded" >&2
            bad=$((bad + 1))
            break
        fi
        rm -f "$mnt/filler"
        fill=$(($(free_bytes) - free))
        ((fill > 0)) && fallocate -l "$fill" "$mnt/filler"
        left=$(free_bytes)
        status=0
        QT_QPA_PLATFORM=offscreen "$encoder" "${args[@]}" >"$work/out" 2>"$work/err" || status=$?
        rm -f "$mnt/filler"
        runs=$((runs + 1))
        what=""
        if ((status == 1)); then
            in_a_row=0
            failed=$((failed + 1))
            grep -q 'Ein unbekannter Fehler ist aufgetreten !!!' "$work/err" || what="no failure message"
            diff -r --no-dereference "$orig" "$g" >"$work/diff" 2>&1 || what="changed: $(head -3 "$work/diff")"
        elif ((status == 0)); then
            succeeded=$((succeeded + 1))
            out=$("$check" "$g/mods/$mod" 2>&1) || true
            [[ $out == "encoded: $reference" ]] || what="the MOD loads as: $out"
            if [[ $backup == yes ]]; then
                out=$("$check" "$g/mods/$mod.src" 2>&1) || true
                [[ $out == "plain: $reference" ]] || what="$what; the backup loads as: $out"
                grep -q "^ModName3=$mod.src" "$g/game.ini" || what="$what; the backup is not registered"
            fi
            leftovers=$(find "$g" -name '.*' | head -3)
            [[ -z $leftovers ]] || what="$what; left behind: $leftovers"
            [[ -n $what ]] || in_a_row=$((in_a_row + 1))
            reset
        else
            what="exit status $status"
        fi
        if [[ -n $what ]]; then
            in_a_row=0
            bad=$((bad + 1))
            echo "full_disk_encode: backup $backup, $(kib "$left") KiB free: $what" >&2
            sed 's/^/  /' "$work/err" >&2
            reset
        fi
    done
    mode_failed=$((failed - mode_failed)) mode_succeeded=$((succeeded - mode_succeeded))
    # Both sides of the boundary were reached.
    if ((mode_failed == 0 || mode_succeeded == 0)); then
        echo "full_disk_encode: backup $backup: the sweep did not reach both failure and success" >&2
        bad=$((bad + 1))
    fi
    report="$report; backup $backup: 0 to $(kib $((free - step))) KiB free, $mode_failed failed, $mode_succeeded succeeded"
done
echo "full_disk_encode: $runs runs in steps of $(kib "$step") KiB: $failed reported failure and changed nothing, $succeeded succeeded and left the MOD sealed, $bad violations$report"
[[ $bad -eq 0 ]]
