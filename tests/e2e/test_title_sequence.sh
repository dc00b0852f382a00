# While no game runs, the main window shows its title pictures one after the
# other, each centred on a black surface, for 65 ticks of 40 ms (the game's
# logo for 50), and then credits that rise from the bottom edge.
source "$(dirname "$0")/lib.sh"

W=800 H=600 # the default MOD's first background sizes the surface
start_game game
surface_origin "$MAIN" $H
log "main window up, surface at $SURF_X,$SURF_Y"

# The pictures in the order they are shown, with their expected time on
# screen in milliseconds.
NAMES=(SPWLogo presents WFLogo 7 8)
LENGTHS=(2600 2600 2000 2600 2600)
declare -A PW PH
for n in "${NAMES[@]}"; do
  read -r PW[$n] PH[$n] < <(picture_size "$GAME/Grafiken/$n.jpg")
  convert "$GAME/Grafiken/$n.jpg" "$E2E_TMP/ref-$n.ppm"
done

# classify SHOT [LIKELY]: prints the name of the title picture that the
# surface shows centred, "black" for an empty surface, "other" for anything
# else. LIKELY is tried first: one look must be quick.
classify() {
  local n x y d
  for n in ${2:-} "${NAMES[@]}"; do
    x=$(((W - PW[$n]) / 2)) y=$(((H - PH[$n]) / 2))
    d="$(difference "$1[${PW[$n]}x${PH[$n]}+$x+$y]" "$E2E_TMP/ref-$n.ppm")"
    if below 0.02 "$d"; then echo "$n"; return; fi
  done
  if [ "$(brightest "$1" 0 0 $W $H)" -le 8 ]; then echo black; else echo other; fi
}

# next_of NAME: the picture after NAME.
next_of() {
  local i
  for i in 0 1 2 3; do [ "${NAMES[$i]}" = "$1" ] && { echo "${NAMES[$((i + 1))]}"; return; }; done
  echo SPWLogo
}

# The surround of a centred picture is black: the four strips around it.
check_black_surround() {
  local shot="$1" n="$2" x y w h
  w=${PW[$n]} h=${PH[$n]} x=$(((W - w) / 2)) y=$(((H - h) / 2))
  [ "$(brightest "$shot" 0 0 $W $y)" -le 8 ] || fail "$n: not black above the picture"
  [ "$(brightest "$shot" 0 $((y + h)) $W $((H - y - h)))" -le 8 ] || fail "$n: not black below"
  [ "$(brightest "$shot" 0 $y $x $h)" -le 8 ] || fail "$n: not black left of the picture"
  [ "$(brightest "$shot" $((x + w)) $y $((W - x - w)) $h)" -le 8 ] || fail "$n: not black right"
}

# Watch the surface until the credits begin; note when each picture first
# shows. The credits are text on black that is neither black nor a picture
# (their first ticks draw hardly anything, so black counts until the text
# shows); two such looks in a row tell them from a picture caught while it
# was being drawn.
declare -A FIRST
order=()
last="" lastpic="" credits_at=0 others=0 first_other=0
deadline=$(($(now_ms) + 40000))
while (($(now_ms) < deadline)); do
  t=$(now_ms)
  import -window root -crop "${W}x${H}+${SURF_X}+${SURF_Y}" +repage "$E2E_TMP/s.ppm"
  likely="${lastpic:-SPWLogo}"
  what="$(classify "$E2E_TMP/s.ppm" "$likely $(next_of "$likely")")"
  [ "$what" = "$last" ] || log "surface shows: $what"
  last="$what"
  case "$what" in
    black)
      others=0
      [ -n "${FIRST[8]:-}" ] && ((first_other == 0)) && first_other=$t
      ;;
    other)
      [ -n "${FIRST[8]:-}" ] || continue
      ((first_other == 0)) && first_other=$t
      if ((++others >= 2)); then
        credits_at=$first_other
        cp "$E2E_TMP/s.ppm" "$E2E_TMP/credits1.ppm"
        break
      fi
      ;;
    *)
      others=0 first_other=0
      lastpic="$what"
      [ -z "${FIRST[$what]:-}" ] || continue
      FIRST[$what]=$t
      order+=("$what")
      check_black_surround "$E2E_TMP/s.ppm" "$what"
      convert "$E2E_TMP/s.ppm" "$SHOTS/title-$what.png"
      ;;
  esac
done
((credits_at > 0)) || fail "the credits did not follow the pictures (seen: ${order[*]:-none})"

# The first picture may have been on screen before the first look; every
# other one must show, in order, once.
seen="${order[*]}"
case "$seen" in
  "SPWLogo presents WFLogo 7 8" | "presents WFLogo 7 8") ;;
  *) fail "title pictures in the wrong order: $seen" ;;
esac

# Time on screen of the pictures between two seen changes. Timers that fire
# late under load stretch them; none comes early.
for i in 1 2 3; do
  a=${NAMES[$i]} b=${NAMES[$((i + 1))]}
  took=$((FIRST[$b] - FIRST[$a]))
  log "$a shown for ${took} ms (expected ${LENGTHS[$i]})"
  ((took > LENGTHS[i] - 500 && took < LENGTHS[i] + 1500)) ||
    fail "$a was shown for $took ms instead of ${LENGTHS[$i]}"
done
took=$((credits_at - FIRST[8]))
((took > 2100 && took < 4100)) || fail "the last picture was shown for $took ms instead of 2600"
# The game's logo is the short one.
(( FIRST[7] - FIRST[WFLogo] < FIRST[WFLogo] - FIRST[presents] )) ||
  fail "the game's logo was not shown shorter than the picture before it"

# The credits: white text on black that rises.
bbox() { convert "$1" -fuzz 10% -format '%@' info:; }
sleep 1
import -window root -crop "${W}x${H}+${SURF_X}+${SURF_Y}" +repage "$E2E_TMP/credits2.ppm"
b1="$(bbox "$E2E_TMP/credits1.ppm")" b2="$(bbox "$E2E_TMP/credits2.ppm")"
log "credits text box: $b1, one second later $b2"
y1=${b1##*+} y2=${b2##*+}
((y2 < y1 - 20)) || fail "the credits did not rise ($b1, then $b2)"
[ "$(brightest "$E2E_TMP/credits2.ppm" 0 0 $W $H)" -ge 200 ] || fail "the credits are not bright text"
no_messages game Wolkenfang
echo "title sequence: ok"
