#!/usr/bin/env bash
# Runs bench/python_readers.py with Debian's interpreter (whose PyAV, OpenCV and NumPy are
# packaged) on the kirimo module of a build folder.
# Usage: bench/compare_python.sh [BUILD_DIR] [--quick] [--scratch DIR] [--keep]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build
if [[ $# -gt 0 && $1 != --* ]]; then
  build=$(cd "$1" && pwd)
  shift
fi
compgen -G "$build/python/kirimo/_kirimo*.so" >/dev/null ||
  { echo "compare_python: no kirimo module under $build/python; build it first" >&2; exit 1; }
command -v ffmpeg >/dev/null || { echo "compare_python: ffmpeg is not installed" >&2; exit 1; }
# The readers compared with: Debian's, installed here as the set-up installs the rest.
dpkg -s python3-av python3-opencv python3-psutil >/dev/null 2>&1 ||
  apt-get install -y -q python3-av python3-opencv python3-psutil >/dev/null
exec /usr/bin/python3 "$root/bench/python_readers.py" --build "$build" "$@"
