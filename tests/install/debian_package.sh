#!/usr/bin/env bash
# The Debian package as Debian and a user meet it: built by `cpack -G DEB`, checked by lintian
# (errors and warnings fail), then installed with apt-get, its programs run from /usr/bin, and
# removed without a trace. Installing goes into the real system, so that part needs root and
# takes the package out again whatever happens.
# Usage: debian_package.sh BUILD_DIR SCRATCH_DIR
set -euo pipefail
skip=77
package=kirimo-avi

installed() { dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; }

build=$(cd "$1" && pwd)
scratch=$(realpath -m "$2")
export DEBIAN_FRONTEND=noninteractive
apt_get() { apt-get -o DPkg::Lock::Timeout=300 -y -q "$@" >"$scratch/apt.log" 2>&1 ||
  { cat "$scratch/apt.log"; return 1; }; }
cleanup() {
  if [ -n "${may_remove:-}" ] && installed; then
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
# The window's help button opens the guide through xdg-open.
[[ $(dpkg-deb -f "$deb" Recommends) == *xdg-utils* ]] ||
  { echo "Recommends lacks xdg-utils: $(dpkg-deb -f "$deb" Recommends)"; exit 1; }

# What Debian asks of a package, checked here too, so a machine without lintian still catches it.
contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for file in ./usr/share/doc/$package/copyright ./usr/share/doc/$package/changelog.Debian.gz \
  ./usr/share/lintian/overrides/$package \
  ./usr/share/man/man1/kirimo-avi.1.gz ./usr/share/man/man1/kirimo-extract.1.gz; do
  grep -qx "$file" <<<"$contents" || { echo "the package lacks $file"; exit 1; }
done
[ "$(dpkg-deb -f "$deb" Section)/$(dpkg-deb -f "$deb" Priority)" = video/optional ] ||
  { echo "Section/Priority: $(dpkg-deb -f "$deb" Section)/$(dpkg-deb -f "$deb" Priority)"; exit 1; }
dpkg-deb -x "$deb" "$scratch/unpacked"
for program in kirimo-avi kirimo-extract; do
  readelf -S "$scratch/unpacked/usr/bin/$program" | grep -q '\.debug_\|\.symtab' &&
    { echo "/usr/bin/$program is not stripped"; exit 1; }
done
head -1 "$scratch/unpacked/usr/share/doc/$package/copyright" | grep -q copyright-format/1.0 ||
  { echo "the copyright file is not machine-readable"; exit 1; }

if command -v lintian >/dev/null; then
  lintian --fail-on error,warning --info "$deb" >"$scratch/lintian.txt" 2>&1 ||
    { cat "$scratch/lintian.txt"; echo "lintian finds errors or warnings"; exit 1; }
else
  echo "lintian is not installed (bash scripts/setup.sh installs it): checked without it"
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "SKIPPED: the package is sound; installing it into the system needs root"
  exit $skip
fi
if installed; then
  echo "SKIPPED: a $package package is already installed here; this test leaves it alone"
  exit $skip
fi
may_remove=1
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

# The Python package, from the folder Debian's interpreter reads (its byte code is the
# interpreter's business: purge removes what it leaves).
if dpkg-deb -c "$deb" | grep -q 'dist-packages/kirimo/_kirimo'; then
  frames=$(PYTHONDONTWRITEBYTECODE=1 /usr/bin/python3 -c "
import kirimo
assert kirimo.__file__.startswith('/usr/lib/python3/dist-packages/'), kirimo.__file__
print(len(kirimo.Movie('clip.avi')))") || { echo "the installed Python package fails"; exit 1; }
  [ "$frames" = "$(/usr/bin/kirimo-extract --info clip.avi | sed -n 's/^frames=//p')" ] ||
    { echo "the installed Python package counts $frames frames"; exit 1; }
fi

apt_get purge "$package" || { echo "apt-get cannot remove $package"; exit 1; }
installed && { echo "$package is still installed after removal"; exit 1; }
left=""
while IFS= read -r path; do
  [ -f "$path" ] && left="$left $path"
done <<<"$files"
[ -z "$left" ] || { echo "left behind after removal:$left"; exit 1; }
echo "1 passed, 0 failed"
