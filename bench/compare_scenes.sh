#!/usr/bin/env bash
# Times kirimo-extract's shot search against the ffmpeg command line's scene score on the same
# movie: a 40 s 1920x1080 H.264 MP4 of 1000 frames (GOPs of 50, three B-frames, film grain),
# four clips joined by hard cuts. Both decode every frame and write no pictures:
#   ours_l:  kirimo-extract --list --scenes M
#   ff_s:    ffmpeg -i M -vf "select='gt(scene,0.3)'" -fps_mode passthrough -f null -
#   ours_w:  kirimo-extract --scenes M, also writing the shots' first frames as BMP files
# Target: ours_l at most 0.7 of ff_s. Each runs once untimed, then REPS times (default 5) in
# rotating order; medians of the wall-clock time and of the CPU time (user + system), which a
# busy machine disturbs less, and their ratios.
#   prev_l:  the same as ours_l by a previous build, when PREVIOUS names its build folder
# Usage: bench/compare_scenes.sh [BUILD_DIR]   (default: build/ next to bench/)
# COMPARE_DIR names the scratch folder's parent (default: BUILD_DIR); MOVIE reuses a movie.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
extract=$build/bin/kirimo-extract
previous=${PREVIOUS:+$(cd "$PREVIOUS" && pwd)/bin/kirimo-extract}
reps=${REPS:-5}
[[ -x $extract ]] || { echo "compare_scenes: $extract is missing; build it first" >&2; exit 1; }
command -v ffmpeg >/dev/null || { echo "compare_scenes: ffmpeg is not installed" >&2; exit 1; }
[[ -x /usr/bin/time ]] || { echo "compare_scenes: /usr/bin/time (GNU time) is missing" >&2; exit 1; }

work=$(mktemp -d "${COMPARE_DIR:-$build}/scenes-XXXXXX")
trap 'rm -rf "$work"' EXIT
movie=${MOVIE:-$work/s.mp4}
if [[ ! -f $movie ]]; then
  echo "Writing the movie ..." >&2
  # Drawn small and scaled up: the sources are slow to draw at full size.
  clip=",settb=1/25,setpts=N"
  ffmpeg -nostdin -v error -y -filter_complex \
    "testsrc2=s=480x270:r=25,trim=end_frame=250$clip[a];
     mandelbrot=s=480x270:r=25,trim=end_frame=250$clip[b];
     smptebars=s=480x270:r=25,trim=end_frame=250$clip[c];
     life=s=480x270:r=25:mold=10:ratio=0.1:death_color=#C83232:life_color=#00ff00,trim=end_frame=250$clip[d];
     [a][b][c][d]concat=n=4:v=1:a=0,scale=1920:1080,noise=alls=8:allf=t,format=yuv420p" \
    -c:v libx264 -preset veryfast -g 50 -bf 3 "$movie"
fi

now() { date +%s.%N; }
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# timed DIR FUNCTION: runs FUNCTION DIR in a fresh DIR; prints the wall-clock seconds it took,
# then the CPU seconds of its processes.
timed() {
  local dir=$1 run=$2
  rm -rf "$dir"
  mkdir -p "$dir"
  local t0 t1
  t0=$(now)
  /usr/bin/time -f "%U %S" -o "$work/cpu" bash -c "$(declare -p extract previous movie); $(declare -f "$run"); $run '$dir'" >/dev/null
  t1=$(now)
  awk -v a="$t0" -v b="$t1" '{ printf "%.3f %.3f\n", b - a, $1 + $2 }' "$work/cpu"
}

ours_l() { "$extract" --list --scenes "$movie" > "$1/shots.csv"; }
ff_s() {
  ffmpeg -nostdin -v error -i "$movie" -vf "select='gt(scene,0.3)'" -fps_mode passthrough -f null -
}
ours_w() { "$extract" --scenes --out "$1" "$movie"; }
prev_l() { "$previous" --list --scenes "$movie" > "$1/shots.csv"; }

runs=(ours_l ff_s ours_w)
[[ -n $previous ]] && runs+=(prev_l)
declare -A times=() cpus=()
for f in "${runs[@]}"; do timed "$work/warm-$f" "$f" >/dev/null; done
for ((i = 0; i < reps; i++)); do
  for ((j = 0; j < ${#runs[@]}; j++)); do
    f=${runs[$(((i + j) % ${#runs[@]}))]}
    read -r wall cpu < <(timed "$work/$f" "$f")
    times[$f]+="$wall "
    cpus[$f]+="$cpu "
  done
done
echo "shots found: $(tail -n +2 "$work/ours_l/shots.csv" | cut -d, -f1 | tr '\n' ' ')"
[[ -n $previous ]] &&
  echo "previous build: $(tail -n +2 "$work/prev_l/shots.csv" | cut -d, -f1 | tr '\n' ' ')"
ours_wall=$(median ${times[ff_s]})
ours_cpu=$(median ${cpus[ff_s]})
echo "seconds, medians of $reps; ratio: this one over ff_s"
for f in "${runs[@]}"; do
  m=$(median ${times[$f]})
  c=$(median ${cpus[$f]})
  printf '  %-7s wall %7.3f ratio %s   cpu %7.3f ratio %s   wall runs: %s\n' "$f" "$m" \
    "$(awk -v a="$m" -v b="$ours_wall" 'BEGIN { printf "%.2f", a / b }')" "$c" \
    "$(awk -v a="$c" -v b="$ours_cpu" 'BEGIN { printf "%.2f", a / b }')" "${times[$f]}"
done
echo "  target (wall): ours_l/ff_s <= 0.7"
