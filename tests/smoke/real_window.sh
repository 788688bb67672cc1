#!/usr/bin/env bash
# The real program in a real X server: started with a movie on the command line, Convert
# clicked at its place on the screen, the files checked against kirimo-extract's, then the
# window closed with its own "×" button. Usage: real_window.sh BIN_DIR SCRATCH_DIR
set -euo pipefail
bin=$1
scratch=$2
rm -rf "$scratch"
mkdir -p "$scratch/exe" "$scratch/expected"
cp "$bin/kirimo-avi" "$bin/Readme.txt" "$scratch/exe/"
cd "$scratch"
"$bin/kirimo-make-sample" clip.avi
printf '[SET0]\r\nM_TOP=40\r\nM_LEFT=30\r\n[SET1]\r\nPATH=%s\r\n' "$scratch/out" > exe/Kirimo.ini

display=""
for n in $(seq 70 99); do
  [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { display=":$n"; break; }
done
[ -n "$display" ] || { echo "no free X display number"; exit 1; }
Xvfb "$display" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
app=""
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY=$display
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

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

# "×" sits at (472, 8) in the window.
xdotool mousemove $((30 + 472)) $((40 + 8)) click 1
status=0
for _ in $(seq 300); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
wait "$app" || status=$?
app=""
[ "$status" -eq 0 ] || { echo "the program ended with status $status"; exit 1; }
grep -q 'M_LEFT=30' exe/Kirimo.ini || { echo "settings not written on close"; exit 1; }
echo "1 passed, 0 failed"
