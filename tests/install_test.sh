#!/bin/sh
# cmake --install into a temporary prefix puts the program, its help, its
# desktop entry and its icons where the freedesktop conventions expect them,
# the icons at their sizes, the example extensions and their header, and the
# desktop entry passes desktop-file-validate, the manual pages in both
# languages and the software centre's description are there.
set -eu
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/prambus share/doc/prambus/prambus.html share/doc/prambus/extensions.html \
         share/applications/prambus.desktop share/icons/hicolor/scalable/apps/prambus.svg \
         share/metainfo/io.github.prambus.Prambus.metainfo.xml \
         share/man/man1/prambus.1 share/man/ru/man1/prambus.1 \
         share/doc/prambus/examples/gradient_skin.c share/doc/prambus/examples/sort_lines_plugin.cpp \
         share/doc/prambus/examples/date_time_plugin.c; do
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
# The Russian page under ru, the English one where no language is asked for.
grep -q '^\.SH ИМЯ' "$prefix/share/man/ru/man1/prambus.1" || { echo "man/ru is not Russian"; exit 1; }
grep -q '^\.SH NAME' "$prefix/share/man/man1/prambus.1" || { echo "man1 is not English"; exit 1; }
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$prefix/share/metainfo/io.github.prambus.Prambus.metainfo.xml" >/dev/null
fi
echo "installed and valid"
