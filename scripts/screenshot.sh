#!/usr/bin/env bash
# Runs the program under Xvfb with a document and saves a picture of its
# window: ./scripts/screenshot.sh BUILD_DIR FILE OUT.png [xdotool keys...]
# (for example F6 for the hex view, or a selection: shift+Down shift+Right).
#
# The program runs as a copy in a temporary folder with a home of its own,
# so it starts as at a user's first start, whatever data.dat the build
# folder or the user has: the welcome window is answered with Escape, and
# the settings of the run are thrown away with the folder.
set -euo pipefail
build=$(realpath "${1:-build}")
file=$(realpath "${2:-samples/primer.txt}")
out=${3:-/tmp/prambus.png}
shift 3 || true
for tool in Xvfb xdotool import; do
  command -v $tool >/dev/null || { echo "screenshot.sh needs $tool (xvfb, xdotool, imagemagick)" >&2; exit 1; }
done
root=$(mktemp -d)
display=:97
app=
xvfb=
trap 'kill $app $xvfb 2>/dev/null || true; rm -rf "$root"' EXIT
mkdir -p "$root/app" "$root/home" "$root/config" "$root/data"
mkdir -m 0700 "$root/runtime"
cp -r "$build/gui/prambus" "$build/gui/prambus.html" "$build/gui/extensions.html" "$root/app/"
for kind in skins plugins; do
  [ -d "$build/gui/$kind" ] && cp -r "$build/gui/$kind" "$root/app/"
done
Xvfb "$display" -screen 0 1024x700x24 -wr >/dev/null 2>&1 &
xvfb=$!
sleep 1
export DISPLAY=$display HOME=$root/home XDG_CONFIG_HOME=$root/config XDG_DATA_HOME=$root/data \
  XDG_RUNTIME_DIR=$root/runtime
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
"$root/app/prambus" "$file" &
app=$!
# WINDOW_TITLE [SECONDS]: the window's id, once it is shown.
window() { timeout "${2:-30}" xdotool search --sync --onlyvisible --name "^$1\$" | head -1; }
if welcome=$(window "Здравствуйте!" 10); then
  xdotool windowfocus --sync "$welcome"
  xdotool key Escape
fi
win=$(window "$(basename "$file") - Прамбус")
xdotool windowfocus --sync "$win"
for key in "$@"; do xdotool key --delay 100 "$key"; done
sleep 1
# The part of the screen the program's windows cover (the hex view's data
# window beside the main one), on the white of the screen around them.
box=$(for w in $(xdotool search --onlyvisible --pid "$app"); do
  xdotool getwindowgeometry --shell "$w" | tr '\n' ' '
  echo
done | awk '{ for (i = 1; i <= NF; i++) { split($i, kv, "="); v[kv[1]] = kv[2] }
              if (n++ == 0 || v["X"] < x0) x0 = v["X"]; if (n == 1 || v["Y"] < y0) y0 = v["Y"]
              if (v["X"] + v["WIDTH"] > x1) x1 = v["X"] + v["WIDTH"]
              if (v["Y"] + v["HEIGHT"] > y1) y1 = v["Y"] + v["HEIGHT"] }
            END { printf "%dx%d+%d+%d", x1 - x0, y1 - y0, x0, y0 }')
import -window root -crop "$box" +repage "$out"
echo "saved $out"
