#!/bin/sh
# The folders are layers, and includes only point down:
#   text/              the shared text rules, at the bottom
#   canvas/, serial/   on text/
#   import/            the picture import pipeline, on canvas/ and text/
#   convert/           on canvas/ and text/
#   terminal/          the terminal's display rules and its log, on serial/ and text/
#   app/               the window, on all of the above
#   cli/, picsim/      programs beside the window, on all but app/
#   firmware/          the PIC firmware's judge, beside them, also on picsim/
# Prints each include that points the wrong way and fails if there is one.
set -eu
cd "$(dirname "$0")/.."

allowed() {
    case "$1" in
    text) echo "text" ;;
    canvas) echo "text canvas" ;;
    import) echo "text canvas import" ;;
    convert) echo "text canvas convert" ;;
    serial) echo "text serial" ;;
    terminal) echo "text serial terminal" ;;
    app) echo "text canvas import convert serial terminal app" ;;
    cli) echo "text canvas import convert serial cli" ;;
    picsim) echo "text canvas import convert serial picsim" ;;
    firmware) echo "text canvas import convert serial picsim firmware" ;;
    esac
}

status=0
for folder in text canvas import convert serial terminal app cli picsim firmware; do
    for file in $(find "$folder" -name '*.cpp' -o -name '*.h'); do
        for used in $(sed -n 's/^#include "\([a-z_]*\)\/.*"/\1/p' "$file" | sort -u); do
            case " $(allowed "$folder") " in
            *" $used "*) ;;
            *)
                echo "$file includes from $used/, which $folder/ must not use"
                status=1
                ;;
            esac
        done
    done
done
[ "$status" -eq 0 ] && echo "includes point down only"
exit "$status"
