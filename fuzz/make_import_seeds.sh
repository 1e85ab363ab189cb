#!/bin/sh
# Writes the seeds of fuzz_picture_import: a small picture in each format the
# readers take, behind the two bytes that choose the import's options.
#   fuzz/make_import_seeds.sh [folder]      (needs ImageMagick)
set -eu
out=${1:-$(dirname "$0")/seeds/picture_import}
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for suffix in png jpg gif bmp tif webp ico tga pbm pgm ppm xbm xpm wbmp; do
    convert -size 24x12 gradient:black-white -draw "circle 12,6 12,2" "$tmp/seed.$suffix"
    { printf '\045\200'; cat "$tmp/seed.$suffix"; } > "$out/$suffix"
done
svg="<svg xmlns='http://www.w3.org/2000/svg' width='24' height='12'><rect width='12' height='6'/><text x='2' y='11'>Hi</text></svg>"
printf '\045\200%s' "$svg" > "$out/svg"
{ printf '\045\200'; printf '%s' "$svg" | gzip -9n; } > "$out/svgz"
