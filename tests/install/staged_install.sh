#!/usr/bin/env bash
# `cmake --install` into a staging folder, then the installed tree as a desktop and a user see
# it: the desktop entry, metadata, icons, manual pages, the user's guide where the installed
# program looks for it, and the installed programs at work; no file of the Debian package's own;
# and README's uninstall, which leaves the tree as it was before.
# Usage: staged_install.sh BUILD_DIR SCRATCH_DIR DOCDIR_FROM_BINDIR
set -euo pipefail
build=$(cd "$1" && pwd)
readme=$(cd "$(dirname "$0")/../.." && pwd)/README.md
scratch=$(realpath -m "$2")
docdir_from_bindir=$3

missing=""
for tool in desktop-file-validate appstreamcli man identify; do
  command -v "$tool" >/dev/null || missing="$missing $tool"
done
[ -z "$missing" ] || { echo "missing tools:$missing (bash scripts/setup.sh installs them)"; exit 1; }

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

rm -rf "$scratch"
stage=$scratch/stage/usr
# As on a real system: an empty folder the install did not make, and a shared one that holds
# another program's file.
mkdir -p "$stage/bin" "$stage/share/applications"
touch "$stage/share/applications/mimeinfo.cache"
before=$(cd "$scratch/stage" && find . | sort)
cmake --install "$build" --prefix "$stage" >/dev/null

[ "$(ls "$stage/bin")" = "$(printf 'kirimo-avi\nkirimo-extract')" ] ||
  fail "bin holds $(ls "$stage/bin" | tr '\n' ' '), not just the two programs"

debian_only=$(cd "$stage" && find . -name changelog.Debian.gz -o -name lintian)
[ -z "$debian_only" ] || fail "the Debian package's own files went into the prefix: $debian_only"

# Desktop entry and metadata.
entries=("$stage"/share/applications/*.desktop)
[ ${#entries[@]} -eq 1 ] && [ -f "${entries[0]}" ] || fail "not exactly one desktop entry"
entry=${entries[0]}
desktop-file-validate "$entry" || fail "desktop-file-validate rejects $entry"
for metainfo in "$stage"/share/metainfo/*.xml; do
  appstreamcli validate --no-net "$metainfo" >"$scratch/appstream.txt" 2>&1 ||
    { cat "$scratch/appstream.txt"; fail "appstreamcli rejects $metainfo"; }
done
# The tree check also finds the desktop entry the metadata launches.
appstreamcli validate-tree --no-net "$stage" >"$scratch/appstream-tree.txt" 2>&1 ||
  { cat "$scratch/appstream-tree.txt"; fail "appstreamcli rejects the installed tree"; }

key() { sed -n "s/^$1=//p" "$entry" | head -1; }
exec_program=$(key Exec | cut -d' ' -f1)
[ -x "$stage/bin/$exec_program" ] || fail "Exec names '$exec_program', which was not installed"
icon=$(key Icon)
for size in 16 22 24 32 48 64 128 256; do
  png=$stage/share/icons/hicolor/${size}x${size}/apps/$icon.png
  if [ ! -f "$png" ]; then
    fail "no ${size}x${size} icon '$icon'"
  elif [ "$(identify -format '%wx%h' "$png")" != "${size}x${size}" ]; then
    fail "the ${size}x${size} icon is $(identify -format '%wx%h' "$png")"
  fi
done

# Manual pages: compressed, they render cleanly, know every option the program's --help lists
# and show the release and licence its --version names.
for program in kirimo-avi kirimo-extract; do
  page=$stage/share/man/man1/$program.1.gz
  if [ ! -f "$page" ]; then
    fail "no compressed manual page for $program"
    continue
  fi
  MANWIDTH=200 man --warnings -l "$page" >"$scratch/$program.txt" 2>"$scratch/$program.err" ||
    fail "man cannot render $page"
  [ ! -s "$scratch/$program.err" ] || { cat "$scratch/$program.err"; fail "man warns on $page"; }
  for option in $("$stage/bin/$program" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
    grep -q -- "$option" "$scratch/$program.txt" || fail "the $program page lacks $option"
  done
  version=$("$stage/bin/$program" --version | head -1)
  [[ $version =~ ^$program\ [0-9] ]] || fail "$program --version begins '$version'"
  release=${version#"$program "}
  grep -q "$program $release" "$scratch/$program.txt" || fail "the $program page lacks '$version'"
  grep -q "License MIT" "$scratch/$program.txt" || fail "the $program page lacks the licence"
done

# The installed program looks for its guide by a path from its own folder.
[ -f "$stage/bin/$docdir_from_bindir/Readme.txt" ] ||
  fail "Readme.txt is not at bin/$docdir_from_bindir, where the installed program looks"

# The installed kirimo-extract writes the same frame as the one in the build tree.
cd "$scratch"
"$build/bin/kirimo-make-sample" clip.avi >/dev/null
"$stage/bin/kirimo-extract" --start 7 --end 7 --out installed clip.avi 2>/dev/null ||
  fail "the installed kirimo-extract failed"
"$build/bin/kirimo-extract" --start 7 --end 7 --out built clip.avi 2>/dev/null
[ "$(ls installed 2>/dev/null)" = "clip_00007.bmp" ] &&
  cmp -s installed/clip_00007.bmp built/clip_00007.bmp ||
  fail "the installed kirimo-extract did not write clip_00007.bmp as the built one does"

# The installed Python package, where the interpreter of a prefix other than /usr looks, gives the
# same picture (no byte code left behind to stop the uninstall).
if [ -d "$build/python/kirimo" ]; then
  package=$(find "$stage/lib" -path '*-packages/kirimo' -type d)
  PYTHONDONTWRITEBYTECODE=1 PYTHONPATH=$(dirname "$package") /usr/bin/python3 -c "
import sys, kirimo
assert kirimo.__file__.startswith('$stage'), kirimo.__file__
sys.stdout.buffer.write(kirimo.Movie('clip.avi', colour='bgr')[7][::-1].tobytes())" >python.raw ||
    fail "the installed Python package cannot be imported or read a frame"
  # Bottom row first, as a bitmap holds them (the sample's rows need no padding).
  cmp -s python.raw <(tail -c "$(stat -c %s python.raw)" built/clip_00007.bmp) ||
    fail "the installed Python package's frame 7 is not the command line's"
  [[ "$package" == */lib/python3.*/dist-packages/kirimo ]] ||
    fail "the Python package went to $package, where the interpreter does not look"
fi

# Installed once more (README's way to remake the manifest), then removed by README's commands.
cmake --install "$build" --prefix "$stage" >/dev/null
uninstall=$(sed -n 's/^\(xargs [^#]*\).*$/\1/p' "$readme" | sed "s|build/|$build/|g")
if [ -z "$uninstall" ]; then
  fail "README gives no uninstall commands"
else
  bash -c "$uninstall" || fail "README's uninstall failed: $uninstall"
  after=$(cd "$scratch/stage" && find . | sort)
  [ "$after" = "$before" ] ||
    fail "README's uninstall leaves the tree otherwise than before the install:
$(diff <(echo "$before") <(echo "$after"))"
fi

if [ "$failures" -eq 0 ]; then
  echo "1 passed, 0 failed"
else
  echo "0 passed, 1 failed ($failures problems)"
  exit 1
fi
