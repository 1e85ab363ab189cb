#!/bin/sh
# Every option a program's --help lists is described in its manual page.
#   man_pages_test.sh MAN_DIR PROGRAM...
set -eu
man_dir=$1
shift
status=0
for program in "$@"; do
    name=$(basename "$program")
    page=$(sed 's/\\-/-/g' "$man_dir/$name.1")
    for option in $("$program" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
        case "$option" in --help-all) continue ;; esac
        if ! printf '%s\n' "$page" | grep -q -- "$option"; then
            echo "$name.1 does not describe $option"
            status=1
        fi
    done
done
[ "$status" -eq 0 ] && echo "every option in --help is in the manual pages"
exit "$status"
