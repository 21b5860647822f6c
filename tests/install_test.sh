#!/bin/sh
# cmake --install into a temporary prefix puts the program, its help, its
# desktop entry and its icons where the freedesktop conventions expect them,
# the icons at their sizes, the example extensions and their header, and the
# desktop entry passes desktop-file-validate.
set -eu
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/prambus share/doc/prambus/prambus.html share/applications/prambus.desktop \
         share/icons/hicolor/scalable/apps/prambus.svg; do
  [ -s "$prefix/$f" ] || { echo "missing: $f"; exit 1; }
done
[ -x "$prefix/bin/prambus" ] || { echo "not executable: bin/prambus"; exit 1; }
for size in 16 22 24 32 48 64 128 256; do
  png="$prefix/share/icons/hicolor/${size}x${size}/apps/prambus.png"
  [ -s "$png" ] || { echo "missing: $png"; exit 1; }
  # The width and height of a PNG: big-endian at bytes 16 and 20.
  dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4 "x" $7*256+$8}')
  [ "$dims" = "${size}x${size}" ] || { echo "$png is $dims"; exit 1; }
done
[ -s "$prefix/include/prambus/extension.h" ] || { echo "missing: the extension header"; exit 1; }
for f in skins/gradient.so plugins/sort_lines.so plugins/date_time.so; do
  found=$(find "$prefix" -path "*/prambus/$f" -type f | head -1)
  [ -n "$found" ] || { echo "missing: lib/prambus/$f"; exit 1; }
  # The program looks in the library folder of the prefix it was configured for.
  case "$found" in "$prefix"/lib*/prambus/$f) ;; *) echo "misplaced: $found"; exit 1;; esac
done
desktop-file-validate "$prefix/share/applications/prambus.desktop"
echo "installed and valid"
