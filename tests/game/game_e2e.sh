#!/usr/bin/env bash
# game_e2e.sh — end-to-end checks of the sky demo on a real X display (ctest runs it under Xvfb):
# the program is started as a user would start it, driven with xdotool, watched through the
# preloaded sky_probe (text on the page, camera turns, buffer swaps) and by its exit status.
# Usage: game_e2e.sh SCENARIO GAME PROBE_LIBRARY CLOSE_REQUEST_TOOL SCREENSHOT_DIR
set -uo pipefail
scenario=$1 game=$2 probe=$3 closer=$4 shots=$5

work=$(mktemp -d)
pid=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
log=$work/probe.log
# The probe is preloaded ahead of the sanitizer runtime in the ASan build; that is harmless here.
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:verify_asan_link_order=0"
sanitized=0
ldd "$game" | grep -q libasan && sanitized=1

fail() {
  echo "FAIL ($scenario): $*"
  [ -s "$work/err" ] && { echo "--- game stderr"; cat "$work/err"; }
  exit 1
}
texts() { grep '^text ' "$log" 2>/dev/null | cut -d' ' -f2-; }
count_texts() { texts | wc -l; }

# start_game [PROGRAM]: starts the demo with the probe and waits for its window.
start_game() {
  SKY_PROBE_LOG=$log LD_PRELOAD=$probe "${1:-$game}" >"$work/out" 2>"$work/err" &
  pid=$!
  win=""
  for _ in $(seq 1 400); do
    win=$(xdotool search --name '^Sky$' 2>/dev/null | head -n 1)
    [ -n "$win" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  [ -n "$win" ] || fail "no window titled \"Sky\" appeared"
}

# wait_texts N: waits until the probe has seen N frames' text (at most 60 s).
wait_texts() {
  for _ in $(seq 1 1200); do
    [ "$(count_texts)" -ge "$1" ] && return 0
    kill -0 "$pid" 2>/dev/null || fail "the demo ended early"
    sleep 0.05
  done
  fail "fewer than $1 frames in 60 s"
}

# wait_for_angle TEST VALUE SECONDS: waits until the printed sun angle compares with VALUE as the
# awk comparison TEST (">=" or "<") says, for at most SECONDS.
wait_for_angle() {
  for _ in $(seq 1 $(($3 * 20))); do
    local a
    a=$(texts | tail -n 1)
    [ -n "$a" ] && awk -v a="$a" -v m="$2" "BEGIN { exit !(a + 0 $1 m) }" && return 0
    kill -0 "$pid" 2>/dev/null || fail "the demo ended early"
    sleep 0.05
  done
  fail "the sun angle never became $1 $2"
}

# wait_angle MIN: waits until the printed sun angle is at least MIN (at most 240 s).
wait_angle() { wait_for_angle ">=" "$1" 240; }

# wait_below MAX: waits until the printed sun angle is below MAX (at most 120 s).
wait_below() { wait_for_angle "<" "$1" 120; }

# wait_exit: waits for the demo to end by itself (at most 60 s) and sets $status.
wait_exit() {
  for _ in $(seq 1 1200); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  kill -0 "$pid" 2>/dev/null && fail "the demo did not end"
  wait "$pid"
  status=$?
  pid=""
}

escape_and_expect_zero() {
  xdotool key --window "$win" Escape
  wait_exit
  [ "$status" -eq 0 ] || fail "Escape ended the demo with status $status, not 0"
}

focus() {
  xdotool windowfocus --sync "$win" 2>/dev/null || xdotool windowfocus "$win"
  sleep 0.2
}

case $scenario in
window_and_text)
  start_game
  [ "$(xdotool getwindowname "$win")" = "Sky" ] || fail "title is not Sky"
  geometry=$(xdotool getwindowgeometry "$win" | sed -n 's/ *Geometry: //p')
  [ "$geometry" = "1024x768" ] || fail "window is $geometry, not 1024x768"
  wait_texts 3
  mapfile -t seen < <(texts | head -n 2)
  [ "${seen[0]}" = "90.2" ] || fail "first frame printed '${seen[0]}', not 90.2"
  [ "${seen[1]}" = "90.40000000000001" ] || fail "second frame printed '${seen[1]}'"
  escape_and_expect_zero
  [ ! -s "$work/err" ] || fail "unexpected output on stderr"
  ;;

w_key)
  start_game
  wait_texts 20
  focus
  xdotool keydown w
  sleep 0.3
  wait_texts $(($(count_texts) + 15))
  xdotool keyup w
  wait_texts $(($(count_texts) + 5))
  escape_and_expect_zero
  # The step between frames: 0.2 with W up, 0.3 while it is held; a long run of 0.3 must show.
  steps=$(texts | awk 'NR > 1 { printf "%.6f\n", $1 - prev } { prev = $1 }')
  run=$(echo "$steps" | awk '$1 == 0.3 { n++; if (n > best) best = n; next } { n = 0 } END { print best + 0 }')
  other=$(echo "$steps" | grep -cvE '^0\.(2|3)00000$')
  [ "$run" -ge 10 ] || fail "no run of 10 frames advancing by 0.3 while W was held (longest $run)"
  [ "$other" -eq 0 ] || fail "$other frames advanced by neither 0.2 nor 0.3"
  [ "$(echo "$steps" | head -n 1)" = "0.200000" ] || fail "the first step was not 0.2"
  ;;

mouse_look)
  start_game
  wait_texts 10
  focus
  before=$(grep -c '^camera ' "$log")
  [ "$before" -eq 0 ] || fail "the camera turned before the pointer moved"
  xdotool mousemove --window "$win" 517 387
  for _ in $(seq 1 100); do grep -q '^camera ' "$log" && break; sleep 0.05; done
  first=$(grep '^camera ' "$log" | head -n 1)
  [ "$first" = "camera -3 -5 0" ] || fail "a move of (+5, +3) gave '$first', not pitch -3 yaw -5"
  sleep 0.3
  # The pointer went back to the centre: no further turn without a further move.
  [ "$(grep -c '^camera ' "$log")" -eq 1 ] || fail "the camera kept turning: $(grep '^camera ' "$log" | tr '\n' ';')"
  location=$(xdotool getmouselocation --shell | grep -E '^(X|Y)=' | tr '\n' ' ')
  geometry=$(xdotool getwindowgeometry --shell "$win" | grep -E '^(X|Y)=' | tr '\n' ' ')
  eval "$geometry"
  wx=$X wy=$Y
  eval "$location"
  [ $((X - wx)) -eq 512 ] && [ $((Y - wy)) -eq 384 ] ||
    fail "pointer at ($((X - wx)), $((Y - wy))) in the window, not back at the centre"
  escape_and_expect_zero
  ;;

close_request)
  start_game
  wait_texts 5
  "$closer" "$win" || fail "could not send the close request"
  sleep 1
  kill -0 "$pid" 2>/dev/null || fail "a close request ended the demo"
  n=$(count_texts)
  sleep 0.5
  [ "$(count_texts)" -gt "$n" ] || fail "frames stopped after the close request"
  escape_and_expect_zero
  ;;

missing_images)
  # A copy of the program beside its engine, with two images taken away.
  mkdir -p "$work/bin/data/gfx"
  cp "$game" "$(dirname "$game")/libengine3d.so" "$work/bin/"
  cp "$(dirname "$game")"/data/gfx/*.png "$work/bin/data/gfx/"
  rm "$work/bin/data/gfx/sun.png" "$work/bin/data/gfx/clouds.png"
  (cd / && LD_PRELOAD=$probe exec "$work/bin/game" >"$work/out" 2>"$work/err") &
  pid=$!
  wait_exit
  [ "$status" -eq 1 ] || fail "exit status $status, not 1"
  expected="game: missing or unreadable images in $work/bin/data/gfx/: sun.png, clouds.png"
  grep -qxF "$expected" "$work/err" || fail "stderr lacks the line: $expected"
  ;;

no_display)
  env -u DISPLAY -u WAYLAND_DISPLAY "$game" >"$work/out" 2>"$work/err" &
  pid=$!
  wait_exit
  [ "$status" -eq 1 ] || fail "exit status $status without a display, not 1"
  grep -q '^game: cannot open a window' "$work/err" || fail "no clear error without a display"
  ;;

screenshots)
  # Four times of day, reached by holding W (0.3 degrees a frame); the pictures are kept in
  # SCREENSHOT_DIR and checked for the colours of each time of day.
  if [ "$sanitized" -eq 1 ]; then
    echo "screenshots are taken in the Release build only"
    exit 77
  fi
  mkdir -p "$shots"
  start_game
  wait_texts 30
  focus
  # mean R G B of a region (WxH+X+Y) of a picture, 0..1
  mean() { convert "$1" -crop "$2" +repage -format "%[fx:mean.r] %[fx:mean.g] %[fx:mean.b]" info:; }
  shot() { import -window "$win" "$shots/$1.png" || fail "could not capture $1"; }
  shot start
  read -r r g b < <(mean "$shots/start.png" 1024x300+0+40)
  awk -v r="$r" -v b="$b" 'BEGIN { exit !(b > r + 0.15 && b > 0.6) }' || fail "the day sky is not blue ($r $g $b)"
  # Turn round towards the afternoon sun and look up (one degree per pixel).
  xdotool mousemove --window "$win" 692 349
  sleep 0.3
  xdotool keydown w
  wait_angle 125
  xdotool keyup w
  shot afternoon
  # Look down to the horizon, where the sun sets, and run the clock to dusk.
  xdotool mousemove --window "$win" 512 409
  sleep 0.3
  xdotool keydown w
  wait_angle 168
  xdotool keyup w
  shot sunset
  read -r r g b < <(mean "$shots/sunset.png" 400x200+312+250)
  awk -v r="$r" -v b="$b" 'BEGIN { exit !(r > b) }' || fail "no warm glow towards the sunset ($r $g $b)"
  # Face the moon, and wait for the stars (held W stretches the star fade to about 290).
  xdotool mousemove --window "$win" 332 384
  sleep 0.3
  xdotool keydown w
  wait_angle 288
  xdotool keyup w
  shot night
  read -r r g b < <(mean "$shots/night.png" 1024x380+0+0)
  awk -v r="$r" -v g="$g" -v b="$b" 'BEGIN { exit !((r + g + b) / 3 < 0.25) }' || fail "the night is not dark ($r $g $b)"
  # Run on through midnight and the wrap to 0 until the sun is just up again, ahead.
  xdotool keydown w
  wait_angle 352
  wait_below 100
  wait_angle 5
  xdotool keyup w
  shot sunrise
  read -r r g b < <(mean "$shots/sunrise.png" 1024x380+0+0)
  awk -v r="$r" -v b="$b" 'BEGIN { exit !(b > 0.3) }' || fail "no sky at sunrise ($r $g $b)"
  escape_and_expect_zero
  ;;

*)
  fail "unknown scenario"
  ;;
esac
echo "PASS ($scenario)"
