#!/usr/bin/env bash
# The game's highscore saving on a real full file system (a small tmpfs in a
# private mount namespace, filled so that every amount of free space from none
# to more than a save needs is left) and in a shared install, where the
# player ("nobody") may write the score files but not their directory: each
# file afterwards holds the new table where the save succeeded and the old
# one, byte for byte, where it reported failure; no temporary file is left;
# the shared install saves every table.
#
#   score_faults.sh [BIN_DIR]
#
# BIN_DIR holds score_saver (default: $WF_PROOF_BIN, else build/tests). Needs
# root for the mount namespace and to act as another user; exits 77 (skipped)
# where that is not possible.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bin=$(realpath "${1:-${WF_PROOF_BIN:-$here/../../build/tests}}")
saver=$bin/score_saver
. "$here/lib.sh"
require_tools score_faults "$saver"
in_private_mounts score_faults "$0" "$bin"

work=$(mktemp -d "${TMPDIR:-/tmp}/wf-score-faults.XXXXXX")
chmod 755 "$work"
mnt=$work/disk
mkdir "$mnt"
trap 'umount -l "$mnt" 2>/dev/null; rm -rf "$work"' EXIT
mount -t tmpfs -o size=256k,mode=0755 tmpfs "$mnt"
# The saver as the player runs it: a copy that "nobody" may execute.
cp "$saver" "$work/score_saver"
chmod 755 "$work/score_saver"
player=(setpriv --reuid=65534 --regid=65534 --clear-groups --)

free_bytes() { echo $(($(stat -f -c '%a * %S' "$mnt"))); }
bad=0 runs=0 failed=0 succeeded=0
# One save of all three tables with `free` bytes left; shared: as the player
# in a directory only root may write to.
save_with() {
    local free=$1 shared=$2 dir=$mnt/scores expected status=0 actual fill
    rm -rf "$dir" "$mnt/filler"
    mkdir "$dir"
    "$saver" seed "$dir"
    local run=("$work/score_saver")
    if [[ $shared == yes ]]; then
        chown 65534:65534 "$dir"/score?.sre
        run=("${player[@]}" "${run[@]}")
    fi
    fill=$(($(free_bytes) - free))
    ((fill > 0)) && fallocate -l "$fill" "$mnt/filler"
    expected=$("${run[@]}" once "$dir" 2>"$work/err") || status=$?
    rm -f "$mnt/filler"
    runs=$((runs + 1))
    ((status == 0)) && succeeded=$((succeeded + 1)) || failed=$((failed + 1))
    actual=$("$saver" check "$dir" 2>&1) || true
    local strays
    strays=$(find "$dir" -type f ! -name 'score?.sre')
    if [[ $actual != "$expected" || -n $strays || $status -gt 1 ]]; then
        echo "score_faults: shared $shared, $((free / 1024)) KiB free: saved $expected (status $status), found $actual ${strays:+, left behind: $strays}" >&2
        cat "$work/err" >&2
        bad=$((bad + 1))
    fi
    return "$status"
}

for shared in no yes; do
    mode_failed=$failed mode_succeeded=$succeeded
    in_a_row=0
    for ((free = 0; in_a_row < 3 && free <= 65536; free += 4096)); do
        if save_with "$free" "$shared"; then
            in_a_row=$((in_a_row + 1))
        else
            in_a_row=0
        fi
    done
    echo "score_faults: shared install $shared: $((failed - mode_failed)) saves reported failure, $((succeeded - mode_succeeded)) succeeded"
done
# The shared install must save with room to spare: the rename needs the
# directory, the rewrite in place only the file.
((in_a_row == 3)) || { echo "score_faults: the shared install never saved" >&2; bad=$((bad + 1)); }
echo "score_faults: $runs saves of three tables from 0 KiB free up, in steps of 4 KiB: $failed reported failure and kept the old files, $succeeded saved every table, $bad violations"
[[ $bad -eq 0 ]]
