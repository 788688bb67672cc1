#!/usr/bin/env bash
# Times kirimo-extract, the same program built with one decoder thread everywhere
# (-DKIRIMO_ONE_DECODER_THREAD=ON), and the ffmpeg command line on the same frames, taking turns
# in one run; reports medians of wall time, the ratios, CPU time and our peak memory.
# Usage: bench/compare_threads.sh BUILD_DIR ONE_THREAD_BUILD_DIR
# REPS (default 5) sets the runs per case; CASES a regular expression of the cases to run;
# COMPARE_DIR the scratch folder's parent (default: BUILD_DIR).
set -euo pipefail

ours=$(cd "$1" && pwd)/bin/kirimo-extract
one=$(cd "$2" && pwd)/bin/kirimo-extract
reps=${REPS:-5}
for tool in "$ours" "$one"; do
  [[ -x $tool ]] || { echo "compare_threads: $tool is missing; build it first" >&2; exit 1; }
done
command -v ffmpeg >/dev/null || { echo "compare_threads: ffmpeg is not installed" >&2; exit 1; }
[[ -x /usr/bin/time ]] || { echo "compare_threads: /usr/bin/time is not installed" >&2; exit 1; }

work=$(mktemp -d "${COMPARE_DIR:-$(dirname "$ours")/..}/threads-XXXXXX")
trap 'rm -rf "$work"' EXIT

make_movie() {
  local out=$1 size=$2 frames=$3
  shift 3
  ffmpeg -nostdin -v error -y -f lavfi -i "testsrc2=size=$size:rate=25" -frames:v "$frames" "$@" \
    "$work/$out"
}
echo "Writing the movies ..." >&2
make_movie mjpeg.avi 640x480 1000 -c:v mjpeg -q:v 3 -pix_fmt yuvj420p
make_movie mpeg4.avi 640x480 1000 -c:v mpeg4 -q:v 4 -g 250 -bf 2
h264=(-c:v libx264 -preset veryfast -g 250 -keyint_min 250 -sc_threshold 0 -bf 3 -pix_fmt yuv420p)
make_movie h720.mp4 1280x720 1000 "${h264[@]}"
make_movie h1080.mp4 1920x1080 1000 "${h264[@]}"
make_movie hevc.mp4 1920x1080 250 -c:v libx265 -preset ultrafast -x265-params log-level=error \
  -pix_fmt yuv420p10le

# run PROGRAM DIR ARGS...: runs one program into the empty folder DIR; prints "wall cpu peakKiB".
run() {
  local program=$1 dir=$2
  shift 2
  mkdir -p "$dir"
  sync
  if [[ $program == ffmpeg ]]; then
    /usr/bin/time -o "$work/time" -f "%e %U %S %M" ffmpeg -nostdin -v error -y "${@//@OUT@/$dir}"
  else
    /usr/bin/time -o "$work/time" -f "%e %U %S %M" "$program" --out "$dir" "$@" >/dev/null
  fi
  # Emptied, not deleted: the page cache goes back, while ext4 is slow to reuse fresh inodes.
  find "$dir" -type f -exec truncate -s 0 {} +
  awk '{ printf "%s %.2f %d\n", $1, $2 + $3, $4 }' "$work/time"
}
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

rows=()
# compare NAME TARGET OURS_ARGS -- FFMPEG_ARGS   (@OUT@ in FFMPEG_ARGS: ffmpeg's folder)
compare() {
  local name=$1 target=$2
  shift 2
  [[ $name =~ ${CASES:-.} ]] || return 0
  local args=() ff=()
  while [[ $1 != -- ]]; do args+=("$1"); shift; done
  shift
  ff=("$@")
  local -A wall=() cpu=() peak=()
  local order=(new one ffmpeg) i who result
  for ((i = -1; i < reps; i++)); do # round -1 warms the caches and is not counted
    for who in "${order[@]}"; do
      case $who in
        new) result=$(run "$ours" "$work/$name-$i-new" "${args[@]}") ;;
        one) result=$(run "$one" "$work/$name-$i-one" "${args[@]}") ;;
        ffmpeg) result=$(run ffmpeg "$work/$name-$i-ffmpeg" "${ff[@]}") ;;
      esac
      ((i < 0)) && continue
      read -r w c p <<<"$result"
      wall[$who]+="$w "
      cpu[$who]+="$c "
      peak[$who]=$p
    done
    order=("${order[1]}" "${order[2]}" "${order[0]}") # who goes first takes turns
  done
  local n o f
  n=$(median ${wall[new]})
  o=$(median ${wall[one]})
  f=$(median ${wall[ffmpeg]})
  echo "  $name: new ${wall[new]} one ${wall[one]} ffmpeg ${wall[ffmpeg]}" >&2
  rows+=("$name $n $o $f $(median ${cpu[new]}) $(median ${cpu[one]}) $((peak[new] / 1024)) \
$((peak[one] / 1024)) $target")
}

fps=25
at() { awk -v n="$1" -v f="$fps" 'BEGIN { printf "%.6f", n / f }'; }
all() { echo -i "$work/$1" -fps_mode passthrough -pix_fmt bgr24 -f image2 @OUT@/f_%05d.bmp; }
every25() {
  echo -i "$work/$1" -vf "select=not(mod(n\,25))" -fps_mode passthrough -pix_fmt bgr24 -f image2 \
    @OUT@/f_%05d.bmp
}
one990() { echo -ss "$(at 990)" -i "$work/$1" -frames:v 1 -pix_fmt bgr24 @OUT@/f.bmp; }
range600() {
  echo -ss "$(at 600)" -i "$work/$1" -frames:v 100 -fps_mode passthrough -pix_fmt bgr24 \
    -f image2 @OUT@/f_%05d.bmp
}

echo "Timing ..." >&2
# shellcheck disable=SC2046 # the ffmpeg arguments hold no spaces
{
  compare mjpeg-all 0.45 "$work/mjpeg.avi" -- $(all mjpeg.avi)
  compare mjpeg-25th - --interval 25 "$work/mjpeg.avi" -- $(every25 mjpeg.avi)
  compare mpeg4-25th 0.40 --interval 25 "$work/mpeg4.avi" -- $(every25 mpeg4.avi)
  compare mpeg4-990 0.50 --frames 990 "$work/mpeg4.avi" -- $(one990 mpeg4.avi)
  for movie in h720 h1080; do
    compare $movie-all "$([[ $movie == h1080 ]] && echo 0.75 || echo -)" "$work/$movie.mp4" -- \
      $(all $movie.mp4)
    compare $movie-25th "$([[ $movie == h720 ]] && echo 0.30 || echo -)" --interval 25 \
      "$work/$movie.mp4" -- $(every25 $movie.mp4)
    compare $movie-990 0.80 --frames 990 "$work/$movie.mp4" -- $(one990 $movie.mp4)
    compare $movie-600-699 "$([[ $movie == h1080 ]] && echo 0.85 || echo -)" --start 600 \
      --end 699 "$work/$movie.mp4" -- $(range600 $movie.mp4)
  done
  compare hevc10-all - "$work/hevc.mp4" -- $(all hevc.mp4)
}

printf '\n%-14s %7s %7s %7s %8s %8s %8s %8s %8s %6s\n' case "new s" "one s" "ffmpeg" \
  new/one new/ff target "cpu n/o" "MiB n/o"
for row in "${rows[@]}"; do
  read -r name n o f cn co pn po target <<<"$row"
  awk -v name="$name" -v n="$n" -v o="$o" -v f="$f" -v cn="$cn" -v co="$co" -v pn="$pn" \
    -v po="$po" -v t="$target" 'BEGIN {
    printf "%-14s %7.3f %7.3f %7.3f %8.2f %8.2f %8s %8s %4d/%-4d\n", name, n, o, f, n / o, n / f,
      (t == "-") ? "-" : "<=" t, sprintf("%.2f/%.2f", cn, co), pn, po
  }'
done
