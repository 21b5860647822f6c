#!/usr/bin/env bash
# Runs the program under Xvfb with a document and saves a screenshot of the
# screen: ./scripts/screenshot.sh BUILD_DIR FILE OUT.png [xdotool keys...]
set -euo pipefail
build=${1:-build}
file=${2:-samples/primer.txt}
out=${3:-/tmp/prambus.png}
shift 3 || true
display=:97
Xvfb "$display" -screen 0 1024x700x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $app $xvfb 2>/dev/null || true' EXIT
sleep 1
DISPLAY=$display "$build/gui/prambus" "$file" &
app=$!
sleep 2
if [ $# -gt 0 ] && command -v xdotool >/dev/null; then
  DISPLAY=$display xdotool "$@"
  sleep 1
fi
DISPLAY=$display import -window root "$out"
echo "saved $out"
