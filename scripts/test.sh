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
