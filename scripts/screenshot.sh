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
# With xdotool: focus the window, then send the given keys (for example a
# selection: shift+Down shift+Right).
if command -v xdotool >/dev/null; then
  win=$(DISPLAY=$display xdotool search --name "Прамбус" | head -1)
  if [ -n "$win" ]; then
    DISPLAY=$display xdotool windowfocus --sync "$win" || true
    for key in "$@"; do DISPLAY=$display xdotool key --window "$win" "$key"; done
    sleep 1
  fi
fi
DISPLAY=$display import -window root "$out"
echo "saved $out"
