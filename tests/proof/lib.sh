# Shared by the proof scripts; sourced, not run.

# require_tools NAME FILE...: every FILE must be an executable, else NAME
# says which is missing and the script ends with status 2.
require_tools() {
    local name=$1 f
    shift
    for f in "$@"; do
        [[ -x $f ]] || { echo "$name: $f not found" >&2; exit 2; }
    done
}

# in_private_mounts NAME SCRIPT ARG...: runs SCRIPT again with ARG... in a
# mount namespace of its own (mounts made there vanish with it), unless this
# already is that run. Without root or where no namespace can be made, the
# script ends as skipped (status 77) and says why.
in_private_mounts() {
    local name=$1
    shift
    [[ ${WF_PRIVATE_MOUNTS:-} == 1 ]] && return 0
    if [[ $(id -u) -ne 0 ]]; then
        echo "$name: skipped: a private mount namespace needs root"
        exit 77
    fi
    if ! unshare -m --propagation private true 2>/dev/null; then
        echo "$name: skipped: no private mount namespace here (unshare -m fails)"
        exit 77
    fi
    exec env WF_PRIVATE_MOUNTS=1 unshare -m --propagation private "$@"
}
