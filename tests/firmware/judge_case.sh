#!/bin/sh
# Converts a picture (three frames with --series) with voxcel-convert and
# the options given, then has the gpsim judge take the transmission on the
# timing Voxcel's pacing gives it.
# Usage: judge_case.sh JUDGE CONVERT "CONVERT OPTIONS" [JUDGE OPTIONS...]
set -eu
judge=$1 convert=$2 options=$3
shift 3
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkdir "$dir/frames"
for n in 1 2 3; do
    "$convert" --text "Frame $n" --at 4,$((n * 12)) --save-picture "$dir/frames/$n.bmp" -o /dev/null
done
pictures=$dir/frames/2.bmp series=
case $options in *--series*) pictures=$dir/frames series=--series ;; esac
# shellcheck disable=SC2086 # options are separate words
"$convert" $options --reformat "$pictures" >"$dir/send.txt"
"$convert" $series --format "" --delimiter "" "$pictures" >"$dir/picture.hex"
exec "$judge" --text "$dir/send.txt" --expect "$dir/picture.hex" "$@"
