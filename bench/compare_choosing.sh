#!/usr/bin/env bash
# Times kirimo-extract's ways of choosing frames against the ffmpeg command line, side by side in
# one run, on a 20 s 1920x1080 H.264 MP4 with closed GOPs of 50 and three B-frames:
#   k: --keyframes against ffmpeg's fastest form (-skip_frame nokey, select I pictures) and the
#      form most people use (the same without -skip_frame); targets 0.8 and 0.2 of those;
#      ours_k1 is the same on one job: less CPU time, two movies opened less;
#   j: --format jpg of the first 100 frames against ffmpeg's -q:v 2 JPEG of the same frames
#      (both decode the same pictures, so the difference is the JPEG files); target 1.0.
# Each case runs once untimed, then REPS times (default 7) with the programs in rotating order,
# and reports the medians and their ratios, of the wall-clock time (the targets) and of the CPU
# time (user + system), which a busy machine disturbs less.
# Usage: bench/compare_choosing.sh [BUILD_DIR]   (default: build/ next to bench/)
# COMPARE_DIR names the scratch folder's parent (default: BUILD_DIR). CASES=k or j for one case.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
extract=$build/bin/kirimo-extract
reps=${REPS:-7}
cases=${CASES:-kj}
[[ -x $extract ]] || { echo "compare_choosing: $extract is missing; build it first" >&2; exit 1; }
command -v ffmpeg >/dev/null || { echo "compare_choosing: ffmpeg is not installed" >&2; exit 1; }
[[ -x /usr/bin/time ]] || { echo "compare_choosing: /usr/bin/time (GNU time) is missing" >&2; exit 1; }

work=$(mktemp -d "${COMPARE_DIR:-$build}/choosing-XXXXXX")
trap 'rm -rf "$work"' EXIT
movie=$work/k.mp4
echo "Writing the movie ..." >&2
ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=size=1920x1080:rate=25 -frames:v 500 \
  -c:v libx264 -preset veryfast -g 50 -keyint_min 50 -sc_threshold 0 -bf 3 -pix_fmt yuv420p \
  "$movie"

now() { date +%s.%N; }
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# timed DIR FUNCTION: runs FUNCTION DIR in a fresh DIR; prints the wall-clock seconds it took,
# then the CPU seconds of its processes.
timed() {
  local dir=$1 run=$2
  rm -rf "$dir"
  mkdir -p "$dir"
  sync
  local t0 t1
  t0=$(now)
  /usr/bin/time -f "%U %S" -o "$work/cpu" bash -c "$(declare -f "$run" ff); $(declare -p extract movie); $run '$dir'" >/dev/null
  t1=$(now)
  awk -v a="$t0" -v b="$t1" '{ printf "%.3f %.3f\n", b - a, $1 + $2 }' "$work/cpu"
}
files_in() { find "$1" -type f | wc -l; }

ff() { ffmpeg -nostdin -v error -y "$@"; }
ours_k() { "$extract" --keyframes --out "$1" "$movie"; }
ours_k1() { "$extract" --keyframes --jobs 1 --out "$1" "$movie"; }
skip_k() {
  ff -skip_frame nokey -i "$movie" -vf "select=eq(pict_type\,I)" -fps_mode passthrough "$1/%05d.bmp"
}
plain_k() { ff -i "$movie" -vf "select=eq(pict_type\,I)" -fps_mode passthrough "$1/%05d.bmp"; }
ours_j() { "$extract" --format jpg --end 99 --out "$1" "$movie"; }
ff_j() { ff -i "$movie" -frames:v 100 -fps_mode passthrough -q:v 2 "$1/%05d.jpg"; }

status=0
# compare NAME FUNCTION... : the first function is ours; prints medians, files and ratios.
compare() {
  local name=$1
  shift
  local runs=("$@") count=$# i j k wall cpu
  declare -A times=() cpus=()
  for f in "${runs[@]}"; do timed "$work/warm-$f" "$f" >/dev/null; done
  for ((i = 0; i < reps; i++)); do
    for ((j = 0; j < count; j++)); do
      k=$(((i + j) % count))
      read -r wall cpu < <(timed "$work/$name-${runs[k]}" "${runs[k]}")
      times[${runs[k]}]+="$wall "
      cpus[${runs[k]}]+="$cpu "
    done
  done
  local ours_median ours_cpu files
  ours_median=$(median ${times[${runs[0]}]})
  ours_cpu=$(median ${cpus[${runs[0]}]})
  files=$(files_in "$work/$name-${runs[0]}")
  echo "$name ($files files; seconds, medians of $reps; ratio: ours over this one):"
  for f in "${runs[@]}"; do
    local m c
    m=$(median ${times[$f]})
    c=$(median ${cpus[$f]})
    printf '  %-8s wall %6.3f ratio %s   cpu %6.3f ratio %s   files %s   wall runs: %s\n' "$f" \
      "$m" "$(awk -v a="$ours_median" -v b="$m" 'BEGIN { printf "%.2f", a / b }')" \
      "$c" "$(awk -v a="$ours_cpu" -v b="$c" 'BEGIN { printf "%.2f", a / b }')" \
      "$(files_in "$work/$name-$f")" "${times[$f]}"
    if [[ $(files_in "$work/$name-$f") != "$files" ]]; then status=1; fi
  done
}

if [[ $cases == *k* ]]; then
  compare keyframes ours_k skip_k plain_k ours_k1
  echo "  targets (wall): ours/skip_k <= 0.8, ours/plain_k <= 0.2"
fi
if [[ $cases == *j* ]]; then
  compare jpeg ours_j ff_j
  echo "  target (wall): ours/ff_j <= 1.0"
fi
exit $status
