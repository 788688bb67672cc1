#!/usr/bin/env bash
# Sets up, builds and runs every test, then the Windows check (scripts/cross-windows.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
cd build
ctest --output-on-failure -j "$(nproc)"
bash ../scripts/sanitize.sh # from build/
bash ../scripts/cross-windows.sh
FUZZ_SEED=1 bash ../scripts/fuzz.sh 20
# What the fuzzers made of movies, through the Python module.
KIRIMO_MOVIE_CORPUS=$(printf '%s:' "$PWD"/../build-fuzz/fuzz/{corpus,seeds}/{demux_index,cut_start,avi_layout}) \
  PYTHONPATH=$PWD/python /usr/bin/python3 -m pytest -q -p no:cacheprovider -s \
  ../tests/python/test_corpus.py
