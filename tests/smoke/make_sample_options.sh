#!/usr/bin/env bash
# kirimo-make-sample's options: --help explains and writes nothing, an unknown option is refused
# with exit 2 and writes nothing, and a name after "--" may begin with "-".
# Usage: make_sample_options.sh MAKE_SAMPLE SCRATCH_DIR
set -uo pipefail
tool=$1
scratch=$2
rm -rf "$scratch"
mkdir -p "$scratch"
cd "$scratch"
fail() { echo "$*"; exit 1; }

"$tool" --help >help.txt 2>err.txt || fail "--help exited $?"
grep -q '^Usage: kirimo-make-sample' help.txt || fail "--help printed: $(cat help.txt)"
[ ! -e --help ] || fail "--help wrote a movie named --help"

"$tool" --bogus >out.txt 2>err.txt
status=$?
[ "$status" -eq 2 ] || fail "--bogus exited $status, expected 2"
grep -q "unknown option '--bogus'" err.txt || fail "--bogus said: $(cat err.txt)"
[ ! -e --bogus ] || fail "--bogus wrote a movie named --bogus"

"$tool" -- -dash.avi || fail "-- -dash.avi exited $?"
[ -s -dash.avi ] || fail "-- -dash.avi wrote no movie"
echo ok
