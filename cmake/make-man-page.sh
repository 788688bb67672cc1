#!/usr/bin/env bash
# Makes a program's manual page from its own --help, so the two never disagree.
# Usage: make-man-page.sh HELP2MAN PROGRAM INCLUDE VERSION OUTPUT
set -euo pipefail
help2man=$1 program=$2 include=$3 version=$4 output=$5
name=$(basename "$program")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# help2man takes a second form of the command only from an "  or:  " line; a form aligned under
# the first "Usage:" line becomes one.
"$program" --help | awk -v name="$name" '
  usage && $0 ~ "^ +" name " " { sub(/^ +/, "  or:  "); print; next }
  { usage = /^Usage:/ || (usage && /^  or:  /); print }' >"$work/help.txt"

# help2man runs the program it documents; this stand-in answers with the text above.
mkdir "$work/bin"
printf '#!/bin/sh\nexec cat "%s"\n' "$work/help.txt" >"$work/bin/$name"
chmod +x "$work/bin/$name"
"$help2man" --no-info --version-string="$version" --include="$include" --output="$output" \
  "$work/bin/$name"
