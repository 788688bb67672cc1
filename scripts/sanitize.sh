#!/usr/bin/env bash
# Builds the core, media and command-line libraries with their tests, and the Python module, under
# AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/ and runs those tests: any report
# fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD}
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKIRIMO_SANITIZE=ON \
  -DKIRIMO_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build build-asan --target core_tests media_tests cli_tests kirimo-extract kirimo_python
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cd build-asan
# One suite at a time: under the sanitizers each needs several times the memory and CPU.
ctest --output-on-failure -j 1 -R '^(core|media|cli)_tests$'

# The Python module: the interpreter is not built with the sanitizers, so their runtimes are loaded
# first; Python keeps its own objects to the end, which is no leak of ours.
cd ..
ASAN_OPTIONS=halt_on_error=1:detect_leaks=0:abort_on_error=0 \
  LD_PRELOAD="$(gcc -print-file-name=libasan.so):$(gcc -print-file-name=libubsan.so)" \
  PYTHONPATH=$PWD/build-asan/python KIRIMO_EXTRACT=$PWD/build-asan/bin/kirimo-extract \
  /usr/bin/python3 -m pytest -q -p no:cacheprovider -W ignore::DeprecationWarning tests/python
