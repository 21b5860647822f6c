#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, sanitizers, the core instrumented too)
# and runs every one of them on its seed corpus in fuzz/corpus/<target>,
# sharing SECONDS (default 100) between them. Fails on the first crash, leak
# or failed check; the input that did it is left in build-fuzz/artifacts.
# New inputs found go to a scratch folder, never into the repository.
set -euo pipefail
cd "$(dirname "$0")/.."
total=${1:-100}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DPRAMBUS_FUZZ=ON -DPRAMBUS_GUI=OFF \
  -DPRAMBUS_BENCH=OFF -DPRAMBUS_SANITIZE=ON >/dev/null
targets=$(for f in fuzz/fuzz_*.cpp; do basename "$f" .cpp; done)
cmake --build build-fuzz --target $targets
# The editing and layout targets walk far more state than a parser: they
# get three shares of the time, every other target one.
weight() { case "$1" in *_edit | *_layout) echo 3 ;; *) echo 1 ;; esac; }
shares=0
for t in $targets; do shares=$((shares + $(weight "$t"))); done
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p build-fuzz/artifacts
for t in $targets; do
  mkdir -p "$scratch/$t" "fuzz/corpus/$t"
  each=$((total * $(weight "$t") / shares))
  [ "$each" -ge 3 ] || each=3
  echo "fuzzing $t for $each s"
  build-fuzz/fuzz/$t "$scratch/$t" "fuzz/corpus/$t" -max_total_time="$each" \
    -artifact_prefix=build-fuzz/artifacts/ -print_final_stats=1 2>"$scratch/$t.log" || {
    grep -E "check failed|ERROR|SUMMARY|runtime error" "$scratch/$t.log" | head -20
    echo "$t failed; the input is in build-fuzz/artifacts/" >&2
    exit 1
  }
  grep -E "DONE" "$scratch/$t.log" || true
done
