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
count=$(wc -w <<<"$targets")
each=$(( total / count > 5 ? total / count : 5 ))
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p build-fuzz/artifacts
for t in $targets; do
  mkdir -p "$scratch/$t" "fuzz/corpus/$t"
  echo "fuzzing $t for $each s"
  build-fuzz/fuzz/$t "$scratch/$t" "fuzz/corpus/$t" -max_total_time="$each" \
    -artifact_prefix=build-fuzz/artifacts/ -print_final_stats=1 2>"$scratch/$t.log" || {
    grep -E "check failed|ERROR|SUMMARY|runtime error" "$scratch/$t.log" | head -20
    echo "$t failed; the input is in build-fuzz/artifacts/" >&2
    exit 1
  }
  grep -E "DONE" "$scratch/$t.log" || true
done
