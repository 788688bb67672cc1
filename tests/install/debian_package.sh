#!/usr/bin/env bash
# The Debian package as a user meets it: built by `cpack -G DEB`, installed with apt-get, its
# programs run from /usr/bin, then removed without a trace. It installs into the real system,
# so it needs root and takes the package out again whatever happens.
# Usage: debian_package.sh BUILD_DIR SCRATCH_DIR
set -euo pipefail
skip=77
package=kirimo-avi

installed() { dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; }

if [ "$(id -u)" -ne 0 ]; then
  echo "SKIPPED: installing a Debian package into the system needs root"
  exit $skip
fi
if installed; then
  echo "SKIPPED: a $package package is already installed here; this test leaves it alone"
  exit $skip
fi

build=$(cd "$1" && pwd)
scratch=$(realpath -m "$2")
export DEBIAN_FRONTEND=noninteractive
apt_get() { apt-get -o DPkg::Lock::Timeout=300 -y -q "$@" >"$scratch/apt.log" 2>&1 ||
  { cat "$scratch/apt.log"; return 1; }; }
cleanup() {
  if installed; then
    apt_get purge "$package" || echo "could not remove $package: remove it by hand"
  fi
}
trap cleanup EXIT
trap "exit 1" INT TERM HUP

rm -rf "$scratch"
mkdir -p "$scratch/home"
(cd "$build" && cpack -G DEB -B "$scratch/package" >"$scratch/cpack.log" 2>&1) ||
  { cat "$scratch/cpack.log"; echo "cpack failed"; exit 1; }
debs=("$scratch"/package/${package}_*.deb)
[ -f "${debs[0]}" ] || { echo "cpack made no ${package}_*.deb"; exit 1; }
deb=${debs[0]}

# The libraries come from dpkg-shlibdeps, which finds them only when it runs.
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libavcodec; do
  [[ $depends == *"$needed"* ]] || { echo "Depends lacks $needed: $depends"; exit 1; }
done

apt_get install --no-install-recommends "$deb" || { echo "apt-get cannot install $deb"; exit 1; }
files=$(dpkg-query -L "$package")

help=$(/usr/bin/kirimo-extract --help) || { echo "kirimo-extract --help failed"; exit 1; }
[[ $help == Usage:* ]] || { echo "kirimo-extract --help printed: $help"; exit 1; }

cd "$scratch"
"$build/bin/kirimo-make-sample" clip.avi >/dev/null
HOME=$scratch/home XDG_CONFIG_HOME=$scratch/home/.config XDG_RUNTIME_DIR=$scratch/home \
  QT_QPA_PLATFORM=offscreen /usr/bin/kirimo-avi --screenshot shot.png clip.avi 2>screenshot.err ||
  { cat screenshot.err; echo "kirimo-avi --screenshot failed"; exit 1; }
[ "$(identify -format '%wx%h' shot.png 2>/dev/null)" = "484x214" ] ||
  { echo "the installed kirimo-avi's screenshot is not the 484x214 main window"; exit 1; }

apt_get purge "$package" || { echo "apt-get cannot remove $package"; exit 1; }
installed && { echo "$package is still installed after removal"; exit 1; }
left=""
while IFS= read -r path; do
  [ -f "$path" ] && left="$left $path"
done <<<"$files"
[ -z "$left" ] || { echo "left behind after removal:$left"; exit 1; }
echo "1 passed, 0 failed"
