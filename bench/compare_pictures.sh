#!/usr/bin/env bash
# Times the picture stages in whole runs against the ffmpeg command line, and against a previous
# build when PREVIOUS names its build folder, all in one run:
#   hlg:  60 frames of 1080p 10-bit HLG HEVC, tone-mapped to SDR BMP; ffmpeg: zscale to linear
#         light, tonemap=hable, zscale to BT.709, one thread
#   half: 100 frames of 1080p H.264 at --size 50%; ffmpeg: scale=960:-1:flags=area
#   w320: the same at --size 320x; ffmpeg: scale=320:-1:flags=area
# Each case runs once untimed, then REPS times (default 5) in rotating order; medians of the CPU
# time (user + system) and of the wall-clock time, and their ratios to ffmpeg's.
# Usage: bench/compare_pictures.sh [BUILD_DIR]   (default: build/ next to bench/)
# COMPARE_DIR names the scratch folder's parent (default: BUILD_DIR); CASES limits the cases,
# e.g. CASES="hlg half".
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
extract=$build/bin/kirimo-extract
previous=${PREVIOUS:+$(cd "$PREVIOUS" && pwd)/bin/kirimo-extract}
reps=${REPS:-5}
cases=${CASES:-hlg half w320}
[[ -x $extract ]] || { echo "compare_pictures: $extract is missing; build it first" >&2; exit 1; }
[[ -z $previous || -x $previous ]] || { echo "compare_pictures: $previous is missing" >&2; exit 1; }
command -v ffmpeg >/dev/null || { echo "compare_pictures: ffmpeg is not installed" >&2; exit 1; }
[[ -x /usr/bin/time ]] || { echo "compare_pictures: /usr/bin/time (GNU time) is missing" >&2; exit 1; }

work=$(mktemp -d "${COMPARE_DIR:-$build}/pictures-XXXXXX")
trap 'rm -rf "$work"' EXIT

echo "Writing the movies ..." >&2
ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=s=1920x1080:r=25:d=2.4 -vf format=yuv420p10le \
  -c:v libx265 -preset ultrafast -x265-params log-level=error -color_primaries bt2020 \
  -color_trc arib-std-b67 -colorspace bt2020nc "$work/hlg.mp4"
ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=s=1920x1080:r=25:d=4 -c:v libx264 \
  -preset veryfast -pix_fmt yuv420p "$work/h.mp4"

median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
now() { date +%s.%N; }

# timed COMMAND...: runs it in a fresh output folder; prints its wall-clock and CPU seconds.
timed() {
  rm -rf "$work/out"
  mkdir "$work/out"
  local t0 t1
  t0=$(now)
  /usr/bin/time -f "%U %S" -o "$work/cpu" "$@" >/dev/null
  t1=$(now)
  awk -v a="$t0" -v b="$t1" '{ printf "%.3f %.3f\n", b - a, $1 + $2 }' "$work/cpu"
}

run() { # CASE WHO: one run of a case by ours, prev or ffmpeg
  local tool=$extract
  [[ $2 == prev ]] && tool=$previous
  case $1-$2 in
    hlg-ffmpeg) timed ffmpeg -nostdin -v error -threads 1 -filter_threads 1 -i "$work/hlg.mp4" -vf "zscale=t=linear:npl=100,format=gbrpf32le,zscale=p=bt709,tonemap=tonemap=hable:desat=0,zscale=t=bt709:m=bt709:r=tv,format=bgr24" "$work/out/%05d.bmp" ;;
    hlg-*) timed "$tool" --out "$work/out" "$work/hlg.mp4" ;;
    half-ffmpeg) timed ffmpeg -nostdin -v error -i "$work/h.mp4" -frames:v 100 -vf scale=960:-1:flags=area "$work/out/%05d.bmp" ;;
    half-*) timed "$tool" --end 99 --size 50% --out "$work/out" "$work/h.mp4" ;;
    w320-ffmpeg) timed ffmpeg -nostdin -v error -i "$work/h.mp4" -frames:v 100 -vf scale=320:-1:flags=area "$work/out/%05d.bmp" ;;
    w320-*) timed "$tool" --end 99 --size 320x --out "$work/out" "$work/h.mp4" ;;
  esac
}

who=(ours ffmpeg)
[[ -n $previous ]] && who+=(prev)
echo "seconds, medians of $reps; ratio: over ffmpeg's"
for c in $cases; do
  declare -A walls=() cpus=()
  for w in "${who[@]}"; do run "$c" "$w" >/dev/null; done
  for ((i = 0; i < reps; i++)); do
    for ((j = 0; j < ${#who[@]}; j++)); do
      w=${who[$(((i + j) % ${#who[@]}))]}
      read -r wall cpu < <(run "$c" "$w")
      walls[$w]+="$wall "
      cpus[$w]+="$cpu "
    done
  done
  ffcpu=$(median ${cpus[ffmpeg]})
  ffwall=$(median ${walls[ffmpeg]})
  for w in "${who[@]}"; do
    c1=$(median ${cpus[$w]})
    w1=$(median ${walls[$w]})
    printf '  %-5s %-6s cpu %7.3f ratio %s   wall %7.3f ratio %s\n' "$c" "$w" "$c1" \
      "$(awk -v a="$c1" -v b="$ffcpu" 'BEGIN { printf "%.2f", a / b }')" "$w1" \
      "$(awk -v a="$w1" -v b="$ffwall" 'BEGIN { printf "%.2f", a / b }')"
  done
  unset walls cpus
done
