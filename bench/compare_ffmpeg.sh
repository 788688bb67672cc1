#!/usr/bin/env bash
# Times kirimo-extract against the ffmpeg command line on the same movies and the same frames.
# Each case alternates ours and ffmpeg REPS times (default 3) and reports the medians.
# Usage: bench/compare_ffmpeg.sh [BUILD_DIR]   (default: build/ next to bench/)
# COMPARE_DIR names the scratch folder's parent (default: BUILD_DIR); both programs write there.
#
# Every run writes into a fresh folder. Its files are emptied after each run but deleted only at
# the end: emptying hands the page cache back, so no run pays for memory the next could reuse,
# while on ext4 without a journal, creating files soon after deleting many is slowed by the inode
# allocator skipping recently freed inodes. For that reason too, leave a few minutes between two
# runs of this script.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
extract=$build/bin/kirimo-extract
makemovie=$build/bin/kirimo-bench
reps=${REPS:-3}
for tool in "$extract" "$makemovie"; do
  [[ -x $tool ]] || { echo "compare_ffmpeg: $tool is missing; build it first" >&2; exit 1; }
done
command -v ffmpeg >/dev/null || { echo "compare_ffmpeg: ffmpeg is not installed" >&2; exit 1; }

# One scratch folder for both programs, so they write to the same file system.
work=$(mktemp -d "${COMPARE_DIR:-$build}/compare-XXXXXX")
trap 'rm -rf "$work"' EXIT

echo "Writing the movies ..." >&2
"$makemovie" --make-movie mjpeg640 "$work/a.avi" 1000
"$makemovie" --make-movie mpeg4_720_gop250 "$work/c.avi" 1000
fps_c=$("$extract" --info "$work/c.avi" | sed -n 's/^fps=//p')
seek_990=$(awk -v fps="$fps_c" 'BEGIN { printf "%.6f", 990 / fps }')

now() { date +%s.%N; }

# timed DIR CMD...: runs CMD with a fresh, empty DIR; prints the seconds it took.
timed() {
  local dir=$1
  shift
  mkdir -p "$dir"
  sync
  local t0 t1
  t0=$(now)
  "$@" >/dev/null
  t1=$(now)
  awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f\n", b - a }'
}

median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
files_in() { find "$1" -type f -name '*.bmp' | wc -l; }

results=()
# compare NAME TARGET OURS_ARGS -- FFMPEG_ARGS ; both sets write into "$out"
compare() {
  local name=$1 target=$2
  shift 2
  local ours_args=() ff_args=()
  while [[ $1 != -- ]]; do ours_args+=("$1"); shift; done
  shift
  ff_args=("$@")
  local ours_times=() ff_times=() ours_files ff_files d1 d2
  # An untimed round first: the first writes of a run also pay for fresh page-cache memory.
  d1=$work/$name-warm-ours
  d2=$work/$name-warm-ffmpeg
  timed "$d1" "$extract" --out "$d1" "${ours_args[@]}" >/dev/null
  timed "$d2" ffmpeg -nostdin -v error -y "${ff_args[@]//@OUT@/$d2}" >/dev/null
  find "$d1" "$d2" -type f -exec truncate -s 0 {} +
  for ((i = 0; i < reps; i++)); do
    d1=$work/$name-$i-ours
    d2=$work/$name-$i-ffmpeg
    # Who goes first alternates too, so neither always finds the caches as the other left them.
    if ((i % 2 == 0)); then
      ours_times+=("$(timed "$d1" "$extract" --out "$d1" "${ours_args[@]}")")
      ff_times+=("$(timed "$d2" ffmpeg -nostdin -v error -y "${ff_args[@]//@OUT@/$d2}")")
    else
      ff_times+=("$(timed "$d2" ffmpeg -nostdin -v error -y "${ff_args[@]//@OUT@/$d2}")")
      ours_times+=("$(timed "$d1" "$extract" --out "$d1" "${ours_args[@]}")")
    fi
    ours_files=$(files_in "$d1")
    ff_files=$(files_in "$d2")
    find "$d1" "$d2" -type f -exec truncate -s 0 {} +
  done
  local ours ff
  ours=$(median "${ours_times[@]}")
  ff=$(median "${ff_times[@]}")
  if [[ $ours_files != "$ff_files" ]]; then
    echo "compare_ffmpeg: case $name: ours wrote $ours_files files, ffmpeg $ff_files" >&2
    status=1
  fi
  echo "  $name: ours ${ours_times[*]}  ffmpeg ${ff_times[*]}  files $ours_files/$ff_files" >&2
  results+=("$name $ours $ff $target $ours_files")
}

status=0
every25='select=not(mod(n\,25))'
echo "Timing (seconds per run) ..." >&2
compare "a:every-frame-mjpeg640" 1.0 "$work/a.avi" -- \
  -i "$work/a.avi" -vsync 0 -pix_fmt bgr24 -f image2 @OUT@/f_%05d.bmp
compare "b:every-25th-mjpeg640" 0.3 --interval 25 "$work/a.avi" -- \
  -i "$work/a.avi" -vf "$every25" -vsync 0 -pix_fmt bgr24 -f image2 @OUT@/f_%05d.bmp
compare "c:every-25th-mpeg4-720" 0.5 --interval 25 "$work/c.avi" -- \
  -i "$work/c.avi" -vf "$every25" -vsync 0 -pix_fmt bgr24 -f image2 @OUT@/f_%05d.bmp
compare "d:frame-990-mpeg4-720" 1.0 --start 990 --end 990 "$work/c.avi" -- \
  -ss "$seek_990" -i "$work/c.avi" -frames:v 1 -pix_fmt bgr24 @OUT@/f.bmp

printf '\n%-26s %9s %11s %8s %8s %7s %6s\n' case "ours (s)" "ffmpeg (s)" ratio target result files
for row in "${results[@]}"; do
  read -r name ours ff target files <<<"$row"
  awk -v n="$name" -v o="$ours" -v f="$ff" -v t="$target" -v c="$files" 'BEGIN {
    r = (f > 0) ? o / f : 0
    printf "%-26s %9.3f %11.3f %8.2f %8s %7s %6d\n", n, o, f, r, "<=" t, (r <= t) ? "ok" : "MISSED", c
  }'
done
exit $status
