#!/bin/bash
# Starts the built game several times, each time ending as soon as the main
# window is shown, and prints the median wall-clock time in milliseconds.
#
#   measure-startup.sh [build-dir] [runs] [game arguments...]
#
# Without a display it runs under xvfb-run when available, otherwise on
# Qt's offscreen platform (WF_MEASURE_PLATFORM=offscreen forces that).
set -euo pipefail

if [[ "${1:-}" == "--inner" ]]; then
    shift
    game=$1 runs=$2
    shift 2
    times=()
    for ((i = 0; i < runs; i++)); do
        start=$(date +%s%N)
        WF_EXIT_AFTER_SHOW=1 "$game" "$@" >/dev/null 2>&1 || {
            echo "the game ended with status $? (run it by hand to see why)" >&2
            exit 1
        }
        end=$(date +%s%N)
        times+=($(((end - start) / 1000000)))
    done
    echo "runs (ms): ${times[*]}"
    printf '%s\n' "${times[@]}" | sort -n | awk '{ t[NR] = $1 }
        END { m = (NR % 2) ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2;
              printf "median: %d ms\n", m }'
    exit 0
fi

build=${1:-build}
runs=${2:-11}
shift $(($# > 2 ? 2 : $#))
game=$(cd "$build" && pwd)/Wolkenfang/Wolkenfang
if [[ ! -x "$game" ]]; then
    echo "no game at $game: build it first" >&2
    exit 1
fi
self=$(cd "$(dirname "$0")" && pwd)/$(basename "$0")

if [[ "${WF_MEASURE_PLATFORM:-}" == "offscreen" ]]; then
    QT_QPA_PLATFORM=offscreen exec "$self" --inner "$game" "$runs" "$@"
elif [[ -n "${DISPLAY:-}" ]]; then
    exec "$self" --inner "$game" "$runs" "$@"
elif command -v xvfb-run >/dev/null; then
    # One X server for all runs, so that its start is not counted.
    exec xvfb-run -a "$self" --inner "$game" "$runs" "$@"
else
    QT_QPA_PLATFORM=offscreen exec "$self" --inner "$game" "$runs" "$@"
fi
