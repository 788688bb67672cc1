#!/usr/bin/env bash
# Times kirimo-extract's bulk work against the ffmpeg command line in one run: every frame of a
# 640x480 MJPEG movie as BMP and as PNG, four movies two at a time, and 1920x1080 H.264 with
# B-frames (every frame, one frame near the end, a 100-frame range). Each case alternates ours
# and ffmpeg REPS times (default 3) after one untimed round, and reports the medians.
# Usage: bench/compare_bulk.sh [BUILD_DIR]   (default: build/ next to bench/)
# COMPARE_DIR names the scratch folder's parent (default: BUILD_DIR); both programs write there.
# CASES limits the run to some cases by letter, e.g. CASES=abc.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
extract=$build/bin/kirimo-extract
makemovie=$build/bin/kirimo-bench
reps=${REPS:-3}
cases=${CASES:-abcdef}
for tool in "$extract" "$makemovie"; do
  [[ -x $tool ]] || { echo "compare_bulk: $tool is missing; build it first" >&2; exit 1; }
done
command -v ffmpeg >/dev/null || { echo "compare_bulk: ffmpeg is not installed" >&2; exit 1; }

work=$(mktemp -d "${COMPARE_DIR:-$build}/bulk-XXXXXX")
trap 'rm -rf "$work"' EXIT

wants() { [[ $cases == *"$1"* ]]; }

echo "Writing the movies ..." >&2
if wants a || wants b; then
  "$makemovie" --make-movie mjpeg640 "$work/a.avi" 1000
fi
if wants c; then
  for i in 1 2 3 4; do "$makemovie" --make-movie mjpeg640 "$work/m$i.avi" 300; done
fi
if wants d || wants e || wants f; then
  # Closed GOPs of 250 with three B-frames, as a camera or an editor writes them.
  ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=size=1920x1080:rate=25 -frames:v 1000 \
    -c:v libx264 -preset veryfast -g 250 -keyint_min 250 -sc_threshold 0 -bf 3 \
    -pix_fmt yuv420p "$work/h.avi"
fi

now() { date +%s.%N; }
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
files_in() { find "$1" -type f \( -name '*.bmp' -o -name '*.png' \) | wc -l; }

# timed DIR FUNCTION: runs FUNCTION DIR with DIR fresh and empty; prints the seconds it took.
# The files are then emptied, not deleted: the page cache goes back, so the next run does not
# pay for reclaiming it, while the inodes stay, as ext4 is slow to reuse freshly freed ones.
timed() {
  local dir=$1 run=$2
  mkdir -p "$dir"
  sync
  local t0 t1
  t0=$(now)
  "$run" "$dir" >/dev/null
  t1=$(now)
  find "$dir" -type f -exec truncate -s 0 {} +
  sync
  awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f\n", b - a }'
}

ffmpeg_run() { ffmpeg -nostdin -v error -y "$@"; }

results=()
status=0
# compare NAME TARGET OURS_FUNCTION FFMPEG_FUNCTION: each function takes the folder to write.
compare() {
  local name=$1 target=$2 ours=$3 theirs=$4
  local ours_times=() ff_times=() ours_files ff_files d1 d2
  # An untimed round first: the first writes of a run also pay for fresh page-cache memory.
  timed "$work/$name-warm-ours" "$ours" >/dev/null
  timed "$work/$name-warm-ffmpeg" "$theirs" >/dev/null
  for ((i = 0; i < reps; i++)); do
    d1=$work/$name-$i-ours
    d2=$work/$name-$i-ffmpeg
    # Who goes first alternates, so neither always finds the caches as the other left them.
    if ((i % 2 == 0)); then
      ours_times+=("$(timed "$d1" "$ours")")
      ff_times+=("$(timed "$d2" "$theirs")")
    else
      ff_times+=("$(timed "$d2" "$theirs")")
      ours_times+=("$(timed "$d1" "$ours")")
    fi
    ours_files=$(files_in "$d1")
    ff_files=$(files_in "$d2")
  done
  if [[ $ours_files != "$ff_files" ]]; then
    echo "compare_bulk: case $name: ours wrote $ours_files files, ffmpeg $ff_files" >&2
    status=1
  fi
  echo "  $name: ours ${ours_times[*]}  ffmpeg ${ff_times[*]}  files $ours_files/$ff_files" >&2
  results+=("$name $(median "${ours_times[@]}") $(median "${ff_times[@]}") $target $ours_files")
}

ours_a() { "$extract" --out "$1" "$work/a.avi"; }
ff_a() { ffmpeg_run -threads 0 -i "$work/a.avi" -vsync 0 -pix_fmt bgr24 -f image2 "$1/f_%05d.bmp"; }
ours_b() { "$extract" --format png --out "$1" "$work/a.avi"; }
ff_b() { ffmpeg_run -threads 0 -i "$work/a.avi" -vsync 0 -pix_fmt rgb24 -f image2 "$1/f_%05d.png"; }
ours_c() { "$extract" --jobs 2 --out "$1" "$work"/m[1-4].avi; }
ff_c() {
  printf '%s\n' 1 2 3 4 | xargs -P 2 -I{} ffmpeg -nostdin -v error -y -i "$work/m{}.avi" \
    -vsync 0 -pix_fmt bgr24 -f image2 "$1/m{}_%05d.bmp"
}
ours_d() { "$extract" --out "$1" "$work/h.avi"; }
ff_d() { ffmpeg_run -threads 0 -i "$work/h.avi" -vsync 0 -pix_fmt bgr24 -f image2 "$1/f_%05d.bmp"; }
ours_e() { "$extract" --frames 990 --out "$1" "$work/h.avi"; }
ff_e() { ffmpeg_run -threads 0 -ss 39.6 -i "$work/h.avi" -frames:v 1 -pix_fmt bgr24 "$1/f.bmp"; }
ours_f() { "$extract" --frames 600-699 --out "$1" "$work/h.avi"; }
ff_f() {
  ffmpeg_run -threads 0 -ss 24 -i "$work/h.avi" -frames:v 100 -vsync 0 -pix_fmt bgr24 \
    -f image2 "$1/f_%05d.bmp"
}

echo "Timing (seconds per run) ..." >&2
if wants a; then compare "a:every-frame-mjpeg640-bmp" 0.45 ours_a ff_a; fi
if wants b; then compare "b:every-frame-mjpeg640-png" 0.7 ours_b ff_b; fi
# Both sides fill both cores in c, so its ratio is one of CPU time; its floor is about 0.8.
if wants c; then compare "c:four-movies-jobs-2" 0.85 ours_c ff_c; fi
if wants d; then compare "d:every-frame-h264-1080" 0.9 ours_d ff_d; fi
if wants e; then compare "e:frame-990-h264-1080" 0.9 ours_e ff_e; fi
if wants f; then compare "f:100-frames-h264-1080" 0.9 ours_f ff_f; fi

printf '\n%-28s %9s %11s %8s %8s %7s %6s\n' case "ours (s)" "ffmpeg (s)" ratio target result files
for row in "${results[@]}"; do
  read -r name ours ff target files <<<"$row"
  awk -v n="$name" -v o="$ours" -v f="$ff" -v t="$target" -v c="$files" 'BEGIN {
    r = (f > 0) ? o / f : 0
    if (r > t) missed = 1
    printf "%-28s %9.3f %11.3f %8.2f %8s %7s %6d\n", n, o, f, r, "<=" t, (r <= t) ? "ok" : "MISSED", c
  }'
done
exit $status
