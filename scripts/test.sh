#!/usr/bin/env bash
# Installs what is needed, builds everything and runs every test: the unit
# tests and the GUI tests (Qt Test on the real main window, offscreen).
set -euo pipefail
# Libraries are loaded only from folders no other user may write, so what
# the build makes must not be group-writable whatever the caller's umask.
umask 022
cd "$(dirname "$0")/.."
./scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j2
