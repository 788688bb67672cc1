#!/usr/bin/env bash
# Installs the Debian packages Kirimo AVI builds, tests and runs with. Idempotent and quiet
# when everything is already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang-format ccache
  qt6-base-dev qt6-base-dev-tools libqt6test6 libgl-dev
  libavformat-dev libavcodec-dev libavfilter-dev libswscale-dev libavutil-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-ipafont-gothic fontconfig
  xvfb xauth xdotool x11-apps x11-utils imagemagick ffmpeg openbox qt6-translations-l10n
  help2man desktop-file-utils appstream man-db dpkg-dev dex libpng-dev lintian
  libturbojpeg0-dev libfreetype-dev fonts-dejavu-core
  g++-mingw-w64-x86-64 wine64 googletest
  clang libclang-rt-14-dev
  pybind11-dev python3-dev python3-numpy python3-pytest python3-distributed
)

# Another package manager run (an unattended upgrade, a second terminal) holds these while it
# works; apt-get would fail at once on one of them, so we wait for it and say for whom.
apt_locks=(/var/lib/dpkg/lock-frontend /var/lib/dpkg/lock /var/lib/apt/lists/lock
  /var/cache/apt/archives/lock)
lock_wait_limit=${KIRIMO_APT_LOCK_WAIT:-1800} # seconds

lock_holders() {
  lslocks -n -r -o PID,COMMAND,PATH 2>/dev/null | awk -v locks="${apt_locks[*]}" '
    BEGIN { n = split(locks, list, " "); for (i = 1; i <= n; i++) held[list[i]] = 1 }
    $3 in held { print $2 " (process " $1 ") holds " $3 }' | sort -u
}

wait_for_apt() {
  local waited=0 holders
  while holders=$(lock_holders) && [ -n "$holders" ]; do
    if [ "$waited" -eq 0 ]; then
      echo "setup: another package manager run is busy; waiting until it ends:" >&2
      sed 's/^/setup:   /' <<<"$holders" >&2
    fi
    if [ "$waited" -ge "$lock_wait_limit" ]; then
      echo "setup: gave up after ${waited}s; finish or stop that run, then start again" >&2
      return 1
    fi
    sleep 5
    waited=$((waited + 5))
  done
  [ "$waited" -eq 0 ] || echo "setup: the package manager is free after ${waited}s" >&2
}

# A run may start between the check and apt-get; apt-get then waits on its own lock too.
apt_get() {
  local attempt
  for attempt in 1 2 3; do
    wait_for_apt || return 1
    apt-get -o DPkg::Lock::Timeout="$lock_wait_limit" "$@" && return 0
    [ -n "$(lock_holders)" ] || return 1
  done
  return 1
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: missing packages: ${missing[*]} (run as root to install them)" >&2
    exit 1
  fi
  echo "setup: installing ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  apt_get update -qq >/dev/null
  apt_get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
