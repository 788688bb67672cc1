#!/usr/bin/env bash
# The real program in a real X server: started with a movie on the command line, Convert
# clicked at its place on the screen, the files checked against kirimo-extract's, the window
# dragged by its surface, then closed with its own "×" button and the position it saved checked.
# Before that, the program where no display can be reached at all.
# Usage: real_window.sh BIN_DIR SCRATCH_DIR [openbox]   (openbox: under that window manager)
set -euo pipefail
bin=$1
scratch=$2
wm=${3:-}
rm -rf "$scratch"
mkdir -p "$scratch/exe" "$scratch/expected"
cp "$bin/kirimo-avi" "$bin/Readme.txt" "$scratch/exe/"
cd "$scratch"
"$bin/kirimo-make-sample" clip.avi
printf '[SET0]\r\nM_TOP=40\r\nM_LEFT=30\r\n[SET1]\r\nPATH=%s\r\n' "$scratch/out" > exe/Kirimo.ini

# A screenshot is drawn offscreen, while a window run fails at once with the toolkit's own
# complaint instead of running unseen.
without_display() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 60 "$@"; exit $?; }
(without_display ./exe/kirimo-avi --screenshot shot.png clip.avi) >/dev/null 2>&1 &&
  [ "$(identify -format '%wx%h' shot.png 2>/dev/null)" = "484x214" ] ||
  { echo "no 484x214 screenshot of the main window without a display"; exit 1; }
status=0
(without_display ./exe/kirimo-avi clip.avi) >no-display.err 2>&1 || status=$?
[ "$status" -ne 0 ] && [ "$status" -ne 124 ] && grep -q 'could not connect to display' no-display.err ||
  { cat no-display.err; echo "a window run without a display ended with status $status"; exit 1; }

app=""
openbox=""
xvfb=""
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null || true
  [ -n "$openbox" ] && kill "$openbox" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
# An X server refuses a display number whose lock another one holds, so trying numbers until
# one starts never collides with a parallel run; each run starts at a different number.
display=""
for offset in $(seq 0 99); do
  n=$((200 + ($$ + offset) % 400))
  [ -e "/tmp/.X$n-lock" ] && continue
  Xvfb ":$n" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 50); do
    # Ours only when the lock names our server.
    if [ "$(tr -d ' \n' 2>/dev/null <"/tmp/.X$n-lock")" = "$xvfb" ] &&
      DISPLAY=":$n" xdpyinfo >/dev/null 2>&1; then
      display=":$n"
      break
    fi
    kill -0 "$xvfb" 2>/dev/null || break
    sleep 0.1
  done
  [ -n "$display" ] && break
  kill "$xvfb" 2>/dev/null || true
  xvfb=""
done
[ -n "$display" ] || { echo "no X server could be started"; exit 1; }
export DISPLAY=$display
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
if [ "$wm" = openbox ]; then
  # A loaded machine can leave openbox slow to claim the screen, or let it quit while it
  # starts; a fresh one gets another chance before the run gives up.
  for attempt in 1 2 3; do
    openbox >>"$scratch/openbox.log" 2>&1 &
    openbox=$!
    for _ in $(seq 200); do
      wm_running && break
      kill -0 "$openbox" 2>/dev/null || break
      sleep 0.1
    done
    wm_running && break
    kill "$openbox" 2>/dev/null || true
    openbox=""
  done
  wm_running || { echo "openbox did not start:"; cat "$scratch/openbox.log"; exit 1; }
fi

env -u QT_QPA_PLATFORM ./exe/kirimo-avi clip.avi &
app=$!
# Generous waits: each loop ends as soon as its condition holds, so only a slow machine waits.
for _ in $(seq 300); do
  xdotool search --onlyvisible --name '^Kirimo AVI$' >/dev/null 2>&1 && break
  sleep 0.1
done
sleep 1

# Window at left 30, top 40 from the settings; Convert's centre is at (242, 178) in the window.
xdotool mousemove $((30 + 242)) $((40 + 178)) click 1
for _ in $(seq 600); do
  [ "$(ls out 2>/dev/null | grep -c '^clip_.*\.bmp$')" -ge 300 ] && break
  sleep 0.1
done
sleep 0.5
count=$(ls out | wc -l)
[ "$count" -eq 300 ] || { echo "Convert wrote $count files, expected 300"; exit 1; }

"$bin/kirimo-extract" --out expected clip.avi
for f in expected/*.bmp; do
  cmp -s "$f" "out/$(basename "$f")" || { echo "out/$(basename "$f") differs from kirimo-extract's"; exit 1; }
done

# A zero typed into the interval edit (its text at (420, 146)) reports the division by zero in a
# box captioned like the main window; leaving the edit with Tab afterwards must repair it to 1,
# so a second Convert runs instead of reporting the unsupported format in another such box.
windows() { xdotool search --onlyvisible --name '^Kirimo AVI$' 2>/dev/null | wc -l; }
xdotool mousemove $((30 + 420)) $((40 + 146)) click 1
sleep 0.3
xdotool key ctrl+a type 0
for _ in $(seq 100); do [ "$(windows)" -ge 2 ] && break; sleep 0.1; done
[ "$(windows)" -ge 2 ] || { echo "no division-by-zero box after typing 0 as the interval"; exit 1; }
xdotool key Return
for _ in $(seq 100); do [ "$(windows)" -eq 1 ] && break; sleep 0.1; done
sleep 0.3
xdotool key Tab
sleep 0.3
xdotool mousemove $((30 + 242)) $((40 + 178)) click 1
sleep 1.5
[ "$(windows)" -eq 1 ] || { echo "the interval edit kept its 0 after Tab: Convert refused the movie"; exit 1; }

# A click on the small player (its centre at (89, 96) in the window) opens the preview, whose
# caption the window system must show exactly: no application name appended.
xdotool mousemove $((30 + 89)) $((40 + 96)) click 1
preview=""
for _ in $(seq 100); do
  preview=$(xdotool search --onlyvisible --name '^Preview - ' 2>/dev/null | head -1) && [ -n "$preview" ] && break
  sleep 0.1
done
[ -n "$preview" ] || { echo "no preview window after a click on the player"; exit 1; }
caption=$(xdotool getwindowname "$preview")
[ "$caption" = "Preview - clip.avi" ] || { echo "preview caption is '$caption'"; exit 1; }
# Out of the way of the main window's buttons.
xdotool windowmove "$preview" 700 500

# A drag from the bare surface (the mascot at (240, 60)) moves the window by the pointer's travel.
xdotool mousemove $((30 + 240)) $((40 + 60)) mousedown 1
sleep 0.2
for step in 1 2 3 4 5; do xdotool mousemove $((30 + 240 + 10 * step)) $((40 + 60 + 6 * step)); sleep 0.1; done
xdotool mouseup 1
sleep 0.5
main=$(xdotool search --onlyvisible --name '^Kirimo AVI$' | head -1)
at=$(xdotool getwindowgeometry "$main" | awk '/Position/ {print $2}')
[ "$at" = "80,70" ] || { echo "the window went to $at after a drag by (50, 30) from (30, 40)"; exit 1; }

# "×" sits at (472, 8) in the window.
xdotool mousemove $((80 + 472)) $((70 + 8)) click 1
status=0
for _ in $(seq 300); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
wait "$app" || status=$?
app=""
[ "$status" -eq 0 ] || { echo "the program ended with status $status"; exit 1; }
grep -q $'M_TOP=70\r' exe/Kirimo.ini && grep -q $'M_LEFT=80\r' exe/Kirimo.ini ||
  { echo "the position saved on close is not (80, 70):"; cat exe/Kirimo.ini; exit 1; }
echo "1 passed, 0 failed"
