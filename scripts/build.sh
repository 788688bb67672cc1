#!/usr/bin/env bash
# Configures and builds into build/ (Release with debug info): the targets named, or everything.
# Usage: build.sh [TARGET]...
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build build "${targets[@]}"
