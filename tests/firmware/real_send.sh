#!/bin/sh
# A real voxcel-convert --send at 9600 to the display, recorded by the judge
# on a pseudo-terminal and judged; then the recording judged again.
# Usage: real_send.sh JUDGE CONVERT
set -eu
judge=$1 convert=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$convert" --text "Voxcel 28" --at 30,20 --format "" --delimiter "" -o "$dir/picture.hex"
"$judge" --listen "$dir/line" --save "$dir/send.rec" --expect "$dir/picture.hex" >"$dir/live.txt" &
listening=$!
tries=0
until [ -L "$dir/line" ]; do
    tries=$((tries + 1))
    [ $tries -lt 200 ] || { echo "the judge made no line"; exit 1; }
    sleep 0.05
done
"$convert" --text "Voxcel 28" --at 30,20 --send "$dir/line" --baud 9600 --xmit-delay 5
status=0
wait $listening || status=$?
cat "$dir/live.txt"
[ $status -eq 0 ] || exit $status
"$judge" --replay "$dir/send.rec" --expect "$dir/picture.hex"
