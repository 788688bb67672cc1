#!/usr/bin/env bash
# Times kirimo-extract against the ffmpeg command line on movies in other containers than AVI:
# the same frames, one run each, after one untimed round that warms the caches.
# Usage: bench/compare_containers.sh [BUILD_DIR]   (default: build/ next to bench/)
# COMPARE_DIR names the scratch folder's parent (default: BUILD_DIR). LONG_LOOPS sets how often
# the 40-second clip is repeated for the long movie (default 180: two hours).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
extract=$build/bin/kirimo-extract
loops=${LONG_LOOPS:-180}
[[ -x $extract ]] || { echo "compare_containers: $extract is missing; build it first" >&2; exit 1; }
command -v ffmpeg >/dev/null || { echo "compare_containers: ffmpeg is not installed" >&2; exit 1; }
[[ -x /usr/bin/time ]] || { echo "compare_containers: /usr/bin/time is not installed" >&2; exit 1; }

work=$(mktemp -d "${COMPARE_DIR:-$build}/containers-XXXXXX")
trap 'rm -rf "$work"' EXIT

make_movie() { ffmpeg -nostdin -v error -y "$@"; }
echo "Writing the movies ..." >&2
# 1280x720 H.264, GOP 250, B-frames (the encoder's B-pyramid), 1,000 frames at 25 fps.
make_movie -f lavfi -i testsrc2=size=1280x720:rate=25 -frames:v 1000 -c:v libx264 \
  -preset veryfast -g 250 -keyint_min 250 -sc_threshold 0 -bf 3 -pix_fmt yuv420p "$work/hd.mp4"
# The long movie: a small 40-second clip repeated without re-encoding.
make_movie -f lavfi -i testsrc2=size=320x180:rate=25 -frames:v 1000 -c:v libx264 \
  -preset veryfast -g 250 -bf 3 -pix_fmt yuv420p "$work/clip.mp4"
make_movie -stream_loop $((loops - 1)) -i "$work/clip.mp4" -c copy "$work/long.mp4"
make_movie -i "$work/long.mp4" -c copy "$work/long.ts"
# 1080p for the memory figure.
make_movie -f lavfi -i testsrc2=size=1920x1080:rate=25 -frames:v 250 -c:v libx264 \
  -preset veryfast -g 250 -bf 3 -pix_fmt yuv420p "$work/full.mp4"

now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }
files_in() { find "$1" -type f -name '*.bmp' | wc -l; }

# timed CMD...: runs CMD, prints the seconds it took.
timed() {
  sync
  local t0 t1
  t0=$(now)
  "$@" >/dev/null
  t1=$(now)
  elapsed "$t0" "$t1"
}

results=()
status=0
# compare NAME TARGET OURS_ARGS -- FFMPEG_ARGS ; @OUT@ in FFMPEG_ARGS is ffmpeg's folder.
compare() {
  local name=$1 target=$2
  shift 2
  local ours_args=() ff_args=()
  while [[ $1 != -- ]]; do ours_args+=("$1"); shift; done
  shift
  ff_args=("$@")
  local d1=$work/$name-ours d2=$work/$name-ffmpeg ours ff
  mkdir -p "$d1" "$d2"
  "$extract" --out "$d1" "${ours_args[@]}" >/dev/null
  ffmpeg -nostdin -v error -y "${ff_args[@]//@OUT@/$d2}" >/dev/null
  rm -f "$d1"/* "$d2"/*
  ours=$(timed "$extract" --out "$d1" "${ours_args[@]}")
  ff=$(timed ffmpeg -nostdin -v error -y "${ff_args[@]//@OUT@/$d2}")
  local ours_files ff_files
  ours_files=$(files_in "$d1")
  ff_files=$(files_in "$d2")
  if [[ $ours_files != "$ff_files" ]]; then
    echo "compare_containers: case $name: ours wrote $ours_files files, ffmpeg $ff_files" >&2
    status=1
  fi
  rm -rf "$d1" "$d2"
  results+=("$name $ours $ff $target $ours_files")
}

every25='select=not(mod(n\,25))'
echo "Timing (seconds, one run each) ..." >&2
compare "a:every-25th-h264-720" 0.5 --interval 25 "$work/hd.mp4" -- \
  -i "$work/hd.mp4" -vf "$every25" -vsync 0 -pix_fmt bgr24 -f image2 @OUT@/f_%05d.bmp
compare "b:frame-990-h264-720" 1.0 --start 990 --end 990 "$work/hd.mp4" -- \
  -ss 39.6 -i "$work/hd.mp4" -frames:v 1 -pix_fmt bgr24 @OUT@/f.bmp
compare "c:every-frame-h264-720" 1.0 "$work/hd.mp4" -- \
  -i "$work/hd.mp4" -vsync 0 -pix_fmt bgr24 -f image2 @OUT@/f_%05d.bmp

# Opening the long movie builds its frame index (from the MP4 tables: no scan); ffmpeg decodes it.
"$extract" --info "$work/long.mp4" >/dev/null
open_mp4=$(timed "$extract" --info "$work/long.mp4")
frames_long=$("$extract" --info "$work/long.mp4" | sed -n 's/^frames=//p')
decode_mp4=$(timed ffmpeg -nostdin -v error -i "$work/long.mp4" -f null -)
results+=("d:open-2h-mp4-index $open_mp4 $decode_mp4 0.01 0")

# A transport stream has no tables: opening it is one pass over its packets.
"$extract" --info "$work/long.ts" >/dev/null
open_ts=$(timed "$extract" --info "$work/long.ts")
ts_bytes=$(stat -c %s "$work/long.ts")

printf '\n%-24s %9s %11s %8s %8s %7s %6s\n' case "ours (s)" "ffmpeg (s)" ratio target result files
for row in "${results[@]}"; do
  read -r name ours ff target files <<<"$row"
  awk -v n="$name" -v o="$ours" -v f="$ff" -v t="$target" -v c="$files" 'BEGIN {
    r = (f > 0) ? o / f : 0
    printf "%-24s %9.3f %11.3f %8.4f %8s %7s %6d\n", n, o, f, r, "<=" t, (r <= t) ? "ok" : "MISSED", c
  }'
done
echo
echo "long movie: $frames_long frames, $(stat -c %s "$work/long.mp4") bytes as MP4"
awk -v s="$open_ts" -v b="$ts_bytes" 'BEGIN {
  printf "transport stream demux pass: %.3f s for %.2f GB = %.2f s per GB\n", s, b / 1e9, s / (b / 1e9)
}'

# Peak memory: every 10th frame of a 1080p movie, and one frame near the end of the long one.
peak() { /usr/bin/time -v "$@" 2>&1 >/dev/null | sed -n 's/.*Maximum resident set size (kbytes): //p'; }
mkdir -p "$work/mem"
echo "peak memory, 1080p every 10th frame: $(peak "$extract" --out "$work/mem" --interval 10 "$work/full.mp4") kB"
rm -f "$work/mem"/*
last=$((frames_long - 10))
echo "peak memory, long movie frame $last: $(peak "$extract" --out "$work/mem" --start $last --end $last "$work/long.mp4") kB"
echo "peak memory, 40-second clip frame 990: $(peak "$extract" --out "$work/mem" --start 990 --end 990 "$work/clip.mp4") kB"
exit $status
