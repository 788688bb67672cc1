#!/usr/bin/env bash
# The Windows check: the non-Qt folders compiled for 64-bit Windows with mingw-w64 into
# build-windows/ (cmake/windows/CMakeLists.txt), and core's tests run there under wine64.
# Without the cross compiler, wine64 or GoogleTest's sources it says so and succeeds.
set -euo pipefail
cd "$(dirname "$0")/.."

compiler=x86_64-w64-mingw32-g++-posix
# Debian's wine64 package keeps its loader out of PATH; the wine package adds the wrapper.
wine=$(command -v wine64 || true)
if [ -z "$wine" ] && [ -x /usr/lib/wine/wine64 ]; then
  wine=/usr/lib/wine/wine64
fi
missing=()
command -v "$compiler" >/dev/null || missing+=("$compiler (g++-mingw-w64-x86-64)")
[ -n "$wine" ] || missing+=("wine64")
[ -f /usr/src/googletest/CMakeLists.txt ] || missing+=("GoogleTest's sources (googletest)")
if [ ${#missing[@]} -gt 0 ]; then
  printf -v names '%s, ' "${missing[@]}"
  echo "windows check skipped: ${names%, } not installed"
  exit 0
fi

build=build-windows
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S cmake/windows -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
  "${launcher[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)"

# A prefix of its own, no display, no offers to install .NET or a browser engine.
export WINEPREFIX=$PWD/$build/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
scratch=$PWD/$build/test-tmp
rm -rf "$scratch" && mkdir -p "$scratch"
log=$build/core_tests.log
status=0
# Wine shows the root of the machine as drive Z:.
KIRIMO_TEST_TMP="Z:$scratch" timeout 600 "$wine" "$build/core_tests.exe" --gtest_brief=1 \
  >"$log" 2>&1 || status=$?
sed -i 's/\r$//' "$log" # Windows ends its lines with CR LF
grep -v '^\[  PASSED  \]' "$log" || true

# In brief output each failed test has one line, with its time.
passed=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\.$/\1/p' "$log")
failed=$(grep -c '^\[  FAILED  \] .* ([0-9]* ms)$' "$log" || true)
echo "windows core_tests: ${passed:-0} passed, $failed failed"
if [ "$status" -ne 0 ] || [ -z "$passed" ] || [ "$failed" -ne 0 ]; then
  echo "windows check failed (core_tests exit status $status; full output in $log)" >&2
  exit 1
fi
