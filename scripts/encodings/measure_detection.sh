#!/bin/sh
# Measures encoding detection: gathers the corpus from Debian packages
# (gather_corpus.sh), then prints the share detected right per encoding and
# sample length on the held-out manual pages and on any further UTF-8 texts
# given (public-domain prose, say), and the share of binary files of the
# system left alone.
#   scripts/encodings/measure_detection.sh BUILD CORPUS [TEXT...]
set -eu
build=${1:?usage: measure_detection.sh BUILD CORPUS [TEXT...]}
corpus=${2:?usage: measure_detection.sh BUILD CORPUS [TEXT...]}
shift 2
here=$(dirname "$0")
[ -d "$corpus/held-out" ] || "$here/gather_corpus.sh" "$corpus"
cmake --build "$build" -j2 --target detection_corpus
binaries=
for f in /usr/bin/cmake /usr/bin/gzip /usr/lib/x86_64-linux-gnu/libc.so.6 \
  /usr/lib/x86_64-linux-gnu/libstdc++.so.6 /usr/share/pixmaps/debian-logo.png; do
  [ -f "$f" ] && binaries="$binaries $f"
done
"$build/bench/detection_corpus" "$@" "$corpus"/held-out/*.txt --binary $binaries
