#!/bin/sh
# voxcel-convert and voxcel-picsim carry no window code: neither the
# window's library nor Qt Widgets is on their link lines, and the programs
# do not load Qt Widgets. The link line is read from the build files
# (Makefiles or Ninja), since a static library the linker found no use for
# would not show in the program itself.
#   check_program_links.sh BUILD_DIR
set -eu
build=$1
status=0

link_line() { # program folder
    if [ -f "$build/$2/CMakeFiles/$1.dir/link.txt" ]; then
        cat "$build/$2/CMakeFiles/$1.dir/link.txt"
    elif [ -f "$build/build.ninja" ]; then
        sed -n "/^build $2\/$1:/,/^\$/p" "$build/build.ninja"
    fi
}

for entry in voxcel-convert:cli voxcel-picsim:picsim; do
    program=${entry%%:*}
    folder=${entry#*:}
    line=$(link_line "$program" "$folder")
    if [ -z "$line" ]; then
        echo "$program: no link line found under $build"
        status=1
        continue
    fi
    for forbidden in voxcel_window Qt6Widgets; do
        case "$line" in
        *"$forbidden"*)
            echo "$program links $forbidden"
            status=1
            ;;
        esac
    done
    if readelf -d "$build/$folder/$program" | grep -q 'NEEDED.*Qt6Widgets'; then
        echo "$program loads Qt Widgets"
        status=1
    fi
done
[ "$status" -eq 0 ] && echo "voxcel-convert and voxcel-picsim link no window code"
exit "$status"
