#!/usr/bin/env bash
# Configures and builds into build/ (Release with debug info): the targets named, or everything.
# Usage: build.sh [TARGET]...
set -euo pipefail
cd "$(dirname "$0")/.."
# ccache with paths taken from the checkout: another clone of the same sources builds from cache.
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD}
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build build "${targets[@]}"
