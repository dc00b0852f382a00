#!/usr/bin/env bash
# The hostile media of docs/proof.md, each on a fresh copy of the built game
# directory (WF_BUILD, default build/) on a 1920 x 1080 screen: what it costs
# the start-up, a full-screen start or a game's clock. Times are reported;
# a hang (no end within TIMEOUT s), a refusal without its message or a game
# that did not start or end is a violation (exit 1). quick: smaller files.
set -euo pipefail
build=$(realpath "${WF_BUILD:-$(dirname "$0")/../../build}")
bin=$build/measure limit=${TIMEOUT:-120} size=${1:-}
[[ $size == quick || $size == all ]] || { echo "usage: measure-media.sh quick|all" >&2; exit 2; }
[[ -x $bin/game_run && -x $build/Wolkenfang/Wolkenfang ]] || { echo "measure-media: build first" >&2; exit 2; }
work=$(mktemp -d "${TMPDIR:-/tmp}/wf-media.XXXXXX") && trap 'rm -rf "$work"' EXIT
echo '{"screens":[{"name":"S","x":0,"y":0,"width":1920,"height":1080}]}' >"$work/screen.json"
export SDL_AUDIODRIVER=dummy XDG_RUNTIME_DIR=$work QT_QPA_PLATFORM=offscreen:configfile=$work/screen.json
bad=0 mod=$work/g/mods/wolkfng4
violation() { echo "measure-media: $*" >&2; bad=$((bad + 1)); }
make() { "$bin/game_run" "$@" 2>/dev/null; }
fresh() { rm -rf "$work/g" && cp -r "$build/Wolkenfang" "$work/g"; }
# run LABEL ARGS...: game_run on the copy; its lines and the game's lines about
# the media, marked with the label. Fails as game_run does.
run() {
    local label=$1 status=0
    shift
    timeout "$limit" "$bin/game_run" "$@" --game-dir "$work/g" >"$work/out" 2>"$work/err" || status=$?
    grep -e '^Wolkenfang: hd-Bild' -e '^Wolkenfang: MOD' "$work/err" | sort -u >>"$work/out" || true
    ((status != 124)) || violation "$label: no end within $limit s"
    sed "s|^|$label: |; s|$work/g/||" "$work/out"
    return "$status"
}
# A MOD of $2 backgrounds of 800 x 600 with five extras each, all different,
# every picture with its twin of four times the size.
extras_mod() {
    local b e ini
    rm -rf "$1" && mkdir -p "$1/hd" && printf '[game]\r\nsound=no\r\nmusic=no\r\n' >"$1/config.ini"
    printf '[Allgemein]\r\nName=Extras\r\n[Hintergrund]\r\nAnzahl=%d\r\n' "$2" >"$1/mod.ini"
    for ((b = 1; b <= $2; b++)); do
        ini="[hg]\r\nname=$b\r\ntype=BMP\r\ndatei=e${b}_0.png\r\nx=800\r\ny=600\r\nextra=5\r\n"
        for e in 0 1 2 3 4 5; do
            ((e == 0)) || ini+="[extra$e]\r\ngfx=e${b}_$e.png\r\ngfxx=0\r\ngfxy=0\r\npoints=1\r\np1x=1\r\np1y=1\r\ntyp=static\r\ngpts=5\r\ndestructable=0\r\n"
            convert -size 800x600 -depth 8 "gradient:hsb(${b}0,90%,60%)-hsb(${e}0,50%,90%)" "$1/e${b}_$e.png"
            convert "$1/e${b}_$e.png" -resize 400% "$1/hd/e${b}_$e.png"
        done
        printf "$ini" >"$1/$b.ini"
    done
}

fresh && for twin in "$mod/hd/wiese.jpg" "$work/g/Grafiken/hd/Cursor.jpg"; do rm "$twin" && mkfifo "$twin"; done
run "twins as FIFOs" fullscreen --games 2 || violation "twins as FIFOs: the game did not start"
grep -q "Cursor.jpg': keine gewöhnliche Datei" "$work/out" || violation "twins as FIFOs: no line"
fresh && make scan-bomb "$mod/hd/wiese.jpg" 3200 2400 20700
run "twin of $(stat -c %s "$mod/hd/wiese.jpg") bytes, 20700 scans" fullscreen --games 2 ||
    violation "twin scan bomb: the game did not start"
scans=(108000 690000) && [[ $size == quick ]] || scans+=(5500000)
for n in "${scans[@]}"; do
    fresh && make scan-bomb "$mod/wiese.jpg" 800 600 "$n"
    run "picture of $(stat -c %s "$mod/wiese.jpg") bytes, $n scans" start && violation "scan bomb: the MOD loaded"
    grep -q "refused: Das Bild 'wiese.jpg'" "$work/out" || violation "scan bomb: no refusal that names the picture"
done
for shape in "10" "32 all" "33 all"; do  # the costliest JPEG still taken, at the largest size
    make scan-bomb "$work/p.jpg" 4096 4096 $shape
    echo "4096 x 4096, $shape scans, $(stat -c %s "$work/p.jpg") bytes: $(make decode "$work/p.jpg")"
done
backgrounds=5 && [[ $size == all ]] || backgrounds=1
for twins in with without; do
    fresh && extras_mod "$mod" "$backgrounds"
    [[ $twins == with ]] || rm -r "$mod/hd"
    run "$((5 * backgrounds)) extras $twins twins" fullscreen --games 4 || violation "extras: a game did not start"
done
notes=("2790000 0") && [[ $size == quick ]] || notes+=("99990 1 50000")  # the second at both bounds
for shape in "${notes[@]}"; do
    fresh && make note-bomb "$mod/sommerwind.mid" $shape
    run "$shape: $(stat -c %s "$mod/sommerwind.mid") bytes" soak --seconds 10 --baseline 2 ||
        violation "music $shape: the game failed"
done
echo "measure-media: $bad violations"
((bad == 0))
