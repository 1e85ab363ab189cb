#!/bin/sh
# Lists each C++ file that clang-format (with the project's .clang-format)
# would change, and fails if there is one.
set -eu
cd "$(dirname "$0")/.."
status=0
for file in $(git ls-files '*.cpp' '*.h'); do
    if ! clang-format --dry-run --Werror "$file" >/dev/null 2>&1; then
        echo "$file is not formatted: clang-format -i $file"
        status=1
    fi
done
[ "$status" -eq 0 ] && echo "every C++ file is formatted"
exit "$status"
