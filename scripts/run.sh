#!/usr/bin/env bash
# Installs what is needed, builds the program and starts it, with the sample
# document when no file is given: ./scripts/run.sh [FILE]
set -euo pipefail
# Libraries are loaded only from folders no other user may write, so what
# the build makes must not be group-writable whatever the caller's umask.
umask 022
cd "$(dirname "$0")/.."
./scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target prambus
exec build/gui/prambus "${1:-samples/primer.txt}"
