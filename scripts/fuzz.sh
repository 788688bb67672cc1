#!/usr/bin/env bash
# Builds the libFuzzer harnesses of tests/fuzz into build-fuzz/ and runs each for SECONDS
# (default 20), one at a time. Any finding (crash, sanitizer report, leak, timeout, memory
# blow-up) fails the run and names the input that reproduces it. Without clang's libFuzzer it
# says so and succeeds.
# Usage: fuzz.sh [SECONDS] [HARNESS...]   (HARNESS: avi_layout, frame_list, ...; default all)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=20
if [ $# -gt 0 ] && [[ $1 =~ ^[0-9]+$ ]]; then
  seconds=$1
  shift
fi

# In memory where the system has it: the harnesses write each input to a file there, and a
# harness that crashes leaves its file behind.
scratch=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export KIRIMO_FUZZ_TMP=$scratch
echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' \
  >"$scratch/probe.cpp"
if ! command -v clang++ >/dev/null ||
  ! clang++ -fsanitize=fuzzer "$scratch/probe.cpp" -o "$scratch/probe" 2>/dev/null; then
  echo "fuzz: skipped: no clang++ with libFuzzer (Debian packages clang, libclang-rt-14-dev)"
  exit 0
fi

export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD}
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DKIRIMO_FUZZ=ON -DKIRIMO_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
fuzz=build-fuzz/fuzz

harnesses=("$@")
if [ ${#harnesses[@]} -eq 0 ]; then
  for options in "$fuzz"/*.options; do
    harnesses+=("$(basename "$options" .options)")
  done
fi
targets=()
for harness in "${harnesses[@]}"; do
  if [ ! -f "$fuzz/$harness.options" ]; then
    echo "fuzz: no harness '$harness'; there are:" $(basename -s .options "$fuzz"/*.options) >&2
    exit 2
  fi
  targets+=(--target "${harness}_fuzzer")
done
cmake --build build-fuzz "${targets[@]}" -j 2

# Reports stop the input; leaks count as findings; sanitizer output names our frames.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

failed=()
for harness in "${harnesses[@]}"; do
  corpus=$fuzz/corpus/$harness
  findings=$fuzz/findings/$harness
  log=$fuzz/logs/$harness.log
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"
  mapfile -t options <"$fuzz/$harness.options"
  # New inputs go to the corpus (kept between runs, so longer runs build on shorter ones); the
  # seeds stay as made.
  status=0
  # FUZZ_SEED fixes the fuzzer's choices: the test command's short runs then check for
  # regressions on the same paths every time rather than stumble on a new finding by luck.
  "$fuzz/${harness}_fuzzer" "${options[@]}" ${FUZZ_SEED:+-seed="$FUZZ_SEED"} -max_total_time="$seconds" \
    -print_final_stats=1 -artifact_prefix="$findings/" \
    "$corpus" "$fuzz/seeds/$harness" >"$log" 2>&1 || status=$?
  done_line=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -n 1 || true)
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$done_line")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$done_line")
  if [ "$status" -eq 0 ]; then
    echo "fuzz: $harness: ${seconds}s, ${runs:-?} runs, cov ${cov:-?}, ft ${ft:-?}"
    continue
  fi
  reproducer=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$log" | tail -n 1)
  echo "fuzz: $harness FOUND A FAULT (exit $status): $(grep -m 1 -E '^(==[0-9]+==ERROR|SUMMARY|broken promise)' "$log" || true)"
  echo "fuzz:   reproducer: ${reproducer:-none written}; log: $log"
  echo "fuzz:   again: $fuzz/${harness}_fuzzer ${reproducer:-}"
  failed+=("$harness")
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: findings in ${failed[*]}" >&2
  exit 1
fi
