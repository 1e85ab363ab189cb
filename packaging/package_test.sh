#!/bin/sh
# Builds the Debian package from a build folder into a temporary folder and
# checks what it holds, and that a program from the unpacked tree runs.
#   package_test.sh BUILD_DIR
# Exit 77 (skipped) where the Debian package tools are missing.
set -eu
build=$1

for tool in dpkg-deb dpkg-shlibdeps file cpack; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "skipped: $tool is missing (Debian's dpkg-dev, file and cmake provide the package tools)"
        exit 77
    fi
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
if ! (cd "$build" && cpack -G DEB -B "$tmp") >"$tmp/cpack.log" 2>&1; then
    cat "$tmp/cpack.log"
    exit 1
fi
deb=$(ls "$tmp"/voxcel_*_*.deb)
echo "built $(basename "$deb")"
dpkg-deb -c "$deb" | awk '{ print $NF }' | sed 's|^\./||' >"$tmp/contents"

missing=0
for path in \
    usr/bin/voxcel usr/bin/voxcel-convert usr/bin/voxcel-picsim \
    usr/share/applications/voxcel.desktop \
    usr/share/icons/hicolor/32x32/apps/voxcel.png usr/share/icons/hicolor/256x256/apps/voxcel.png \
    usr/share/metainfo/org.voxcel.Voxcel.metainfo.xml \
    usr/share/man/man1/voxcel.1.gz usr/share/man/man1/voxcel-convert.1.gz usr/share/man/man1/voxcel-picsim.1.gz \
    usr/share/doc/voxcel/copyright usr/share/doc/voxcel/changelog.gz; do
    if ! grep -qx "$path" "$tmp/contents"; then
        echo "missing from the package: /$path"
        missing=1
    fi
done
# The PIC firmware, where gputils assembled it.
if [ -f "$build/firmware/receiver-9600.hex" ]; then
    for file in receiver.asm board.inc receiver-9600.hex receiver-2400.hex receiver-1200.hex pic-firmware.md; do
        grep -qx "usr/share/voxcel/firmware/$file" "$tmp/contents" || { echo "missing from the package: $file"; missing=1; }
    done
fi
[ "$missing" -eq 0 ]

# The dependencies are computed from the binaries, Qt's serial port among them.
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
echo "$depends" | grep -q libqt6serialport6

dpkg-deb -x "$deb" "$tmp/root"
"$tmp/root/usr/bin/voxcel-convert" --version
