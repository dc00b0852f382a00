#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer), outside the main build and as many at a time as
# there are cores, and runs each one. Exits non-zero when a build failed or a
# target found anything. `fuzz/run.sh 10` is the short run for CI.
#
#   fuzz/run.sh <seconds> [target ...]
#
# Every target runs for <seconds>; give target names to run only those. The
# build goes to $WF_FUZZ_BUILD (default: build-fuzz in the repository). The
# corpus of each target grows in <build>/corpus/<name> across runs, starting
# from fuzz/seeds/<name> when that exists; inputs that crash, leak, time out
# or run out of memory land in <build>/artifacts/<name>/ (emptied each run).
#
# Adding a target is one line in TARGETS below:
#   <name>  <source in fuzz/>  <Qt modules, comma-separated>  <sources it needs>
# The source defines LLVMFuzzerTestOneInput; the sources it needs are listed
# relative to the repository (classes that need moc cannot be used here).
# Seed inputs, if any, go to fuzz/seeds/<name>/. ini_write, highscore and
# mod_loader write their files to $WF_FUZZ_TMP (default /dev/shm).
set -euo pipefail

TARGETS='
ini_reader   ini_reader.cpp   Core  shared/IniAccess.cpp shared/SafeFile.cpp
ini_write    ini_write.cpp    Core  shared/IniAccess.cpp shared/SafeFile.cpp
decode_text  decode_text.cpp  Core  shared/TextCipher.cpp
mod_loader   mod_loader.cpp   Core,Gui,Widgets  shared/mods/ModLoader.cpp shared/mods/ModMedia.cpp shared/EntryLock.cpp encoder/ModFiles.cpp shared/IniAccess.cpp shared/SafeFile.cpp shared/TextCipher.cpp shared/Text8.cpp shared/Paths.cpp shared/platform/Platform.cpp shared/platform/QtPlatform.cpp
highscore    highscore.cpp    Core  game/highscore/Highscore.cpp shared/SafeFile.cpp shared/Text8.cpp
command_line command_line.cpp Core  game/startup/CommandLine.cpp
server_query server_query.cpp Core  server/Record.cpp server/Pages.cpp shared/TextCipher.cpp shared/ScoreRecord.cpp
'

if [[ $# -lt 1 || ! $1 =~ ^[0-9]+$ ]]; then
    echo "usage: $0 <seconds> [target ...]" >&2
    exit 2
fi
SECONDS_EACH=$1
shift
WANTED=("$@")

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${WF_FUZZ_BUILD:-$ROOT/build-fuzz}
CXX=${WF_FUZZ_CXX:-clang++}
mkdir -p "$BUILD"

INCLUDES=(-I"$ROOT/shared" -I"$ROOT/shared/platform" -I"$ROOT/shared/mods")
for d in "$ROOT"/game/*/; do INCLUDES+=(-I"${d%/}"); done
INCLUDES+=(-I"$ROOT/server")
# Last, so that the game's headers win where both programs have one by a name.
INCLUDES+=(-I"$ROOT/encoder")
CXXFLAGS=(-std=c++20 -g -O1 -fPIC -fno-omit-frame-pointer
          -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
          -Wall -Wextra
          -DWF_HIGHSCORE_SITE='"http://localhost:8080"' -DWF_PROJECT_SITE='"http://localhost:8080"')

wanted() {
    [[ ${#WANTED[@]} -eq 0 ]] && return 0
    local w
    for w in "${WANTED[@]}"; do [[ $w == "$1" ]] && return 0; done
    return 1
}

build() {  # name source modules sources...
    local name=$1 source=$2 modules=$3
    shift 3
    local pkgs=() m
    for m in ${modules//,/ }; do pkgs+=("Qt6$m"); done
    local srcs=("$ROOT/fuzz/$source") s
    for s in "$@"; do srcs+=("$ROOT/$s"); done
    # shellcheck disable=SC2046
    "$CXX" "${CXXFLAGS[@]}" "${INCLUDES[@]}" $(pkg-config --cflags "${pkgs[@]}") \
        "${srcs[@]}" -o "$BUILD/$name" $(pkg-config --libs "${pkgs[@]}")
}

run() {  # name
    local name=$1
    local corpus=$BUILD/corpus/$name artifacts=$BUILD/artifacts/$name log=$BUILD/$name.log
    rm -rf "$artifacts"
    mkdir -p "$corpus" "$artifacts"
    local dirs=("$corpus")
    [[ -d $ROOT/fuzz/seeds/$name ]] && dirs+=("$ROOT/fuzz/seeds/$name")
    # Fork mode goes on after a crash and counts them all.
    "$BUILD/$name" -fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 \
        -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$artifacts/" "${dirs[@]}" >"$log" 2>&1 || true
    local last execs crashes timeouts ooms
    last=$(grep -E '^#[0-9]+: cov:' "$log" | tail -1 || true)
    execs=$(sed -nE 's/^#([0-9]+):.*/\1/p' <<<"$last")
    read -r ooms timeouts crashes < <(sed -nE 's#.*oom/timeout/crash: ([0-9]+)/([0-9]+)/([0-9]+).*#\1 \2 \3#p' <<<"$last")
    local found
    found=$(find "$artifacts" -type f | wc -l)
    printf '%-12s executions %s, crashes %s (timeouts %s, out of memory %s), artifacts %s\n' \
        "$name" "${execs:-?}" "${crashes:-?}" "${timeouts:-?}" "${ooms:-?}" "$found"
    find "$artifacts" -type f -printf '    %p\n'
    [[ -n $last ]] || echo "    no statistics; see $log"
    [[ ${crashes:-1} -eq 0 && ${timeouts:-1} -eq 0 && ${ooms:-1} -eq 0 && $found -eq 0 ]]
}

# The targets build side by side, as many at a time as there are cores.
status=0
jobs=$(nproc 2>/dev/null || echo 2)
pids=() names=()
while read -r name source modules sources; do
    [[ -z $name ]] && continue
    wanted "$name" || continue
    while [[ $(jobs -rp | wc -l) -ge $jobs ]]; do wait -n || true; done
    # shellcheck disable=SC2086
    build "$name" "$source" "$modules" $sources >"$BUILD/$name.build.log" 2>&1 &
    pids+=($!) names+=("$name")
done <<<"$TARGETS"
for i in "${!pids[@]}"; do
    if ! wait "${pids[$i]}"; then
        echo "${names[$i]}: build failed"
        cat "$BUILD/${names[$i]}.build.log"
        rm -f "$BUILD/${names[$i]}"
        status=1
    fi
done
while read -r name _; do
    [[ -z $name ]] && continue
    wanted "$name" || continue
    [[ -x $BUILD/$name ]] || continue
    run "$name" || status=1
done <<<"$TARGETS"
exit $status
