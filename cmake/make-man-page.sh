#!/usr/bin/env bash
# Makes a program's manual page from its own --help and --version, so the three never disagree,
# and a copy compressed as Debian wants it.
# Usage: make-man-page.sh HELP2MAN PROGRAM INCLUDE OUTPUT
set -euo pipefail
help2man=$1 program=$2 include=$3 output=$4
name=$(basename "$program")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# help2man takes a second form of the command only from an "  or:  " line; a form aligned under
# the first "Usage:" line becomes one.
"$program" --help | awk -v name="$name" '
  usage && $0 ~ "^ +" name " " { sub(/^ +/, "  or:  "); print; next }
  { usage = /^Usage:/ || (usage && /^  or:  /); print }' >"$work/help.txt"
"$program" --version >"$work/version.txt"

# help2man runs the program it documents; this stand-in answers with the texts above.
mkdir "$work/bin"
printf '#!/bin/sh\n[ "$1" = --version ] && exec cat "%s"\nexec cat "%s"\n' \
  "$work/version.txt" "$work/help.txt" >"$work/bin/$name"
chmod +x "$work/bin/$name"
"$help2man" --no-info --include="$include" --output="$output" "$work/bin/$name"
# -n: no name or time stamp inside, so a rebuild makes the same bytes.
gzip -9n <"$output" >"$output.gz"
