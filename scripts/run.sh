#!/usr/bin/env bash
# Sets up, builds and starts Kirimo AVI on the built-in sample movie. Without a display it does
# the same work headless: the sample's frames extracted and a picture of the main window.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
# Only what runs here; scripts/test.sh builds the tests and benchmarks too.
bash scripts/build.sh kirimo-programs kirimo-make-sample

# Qt wants a private runtime folder; a root shell often has none.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  export XDG_RUNTIME_DIR=/tmp/runtime-$(id -u)
  mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
fi

out=${KIRIMO_SAMPLE_DIR:-$PWD/out}
mkdir -p "$out"
sample="$out/sample.avi"
[ -f "$sample" ] || build/bin/kirimo-make-sample "$sample"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/bin/kirimo-avi "$sample"
fi

echo "No display: running headless."
frames="$out/frames"
mkdir -p "$frames"
build/bin/kirimo-extract --interval 10 --out "$frames" "$sample"
echo "Frames of $sample written to $frames"
QT_QPA_PLATFORM=offscreen build/bin/kirimo-avi --screenshot "$out/main-window.png" "$sample"
echo "Main window with the sample loaded: $out/main-window.png"
