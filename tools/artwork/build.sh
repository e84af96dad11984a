#!/bin/sh
# Rebuilds the artwork tool and redraws every picture into src/app/images.
#   tools/artwork/build.sh [build-dir] [--sheet contact-sheet.png]
# The optional contact sheet shows all small icons enlarged, for judging them by eye.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-$root/build-artwork}
[ $# -gt 0 ] && shift
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2
QT_QPA_PLATFORM=offscreen "$build/make_artwork" "$root/src/app/images" "$@"
if command -v optipng >/dev/null 2>&1; then
    find "$root/src/app/images" -name '*.png' -exec optipng -quiet -o7 -strip all {} +
fi
