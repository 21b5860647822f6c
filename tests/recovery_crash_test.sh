#!/bin/bash
# The program itself, under a virtual display, killed while a document is
# modified: SIGKILL after the copy written once the typing paused, SIGTERM
# before any pause. The next start offers the copy, and Enter ("Открыть")
# followed by Ctrl+S writes what was typed into the user's file. Skipped
# (77) without Xvfb or xdotool.
set -euo pipefail
[ -n "${TRACE:-}" ] && set -x
build=$1
for tool in Xvfb xdotool; do
  command -v $tool >/dev/null || { echo "needs $tool"; exit 77; }
done
root=$(mktemp -d)
app= xvfb=
trap 'kill -9 $app 2>/dev/null || true; kill $xvfb 2>/dev/null || true; [ -n "${KEEP:-}" ] || rm -rf "$root"' EXIT
mkdir -p "$root/app" "$root/home" "$root/config" "$root/data" "$root/work"
mkdir -m 0700 "$root/runtime"
cp "$build/gui/prambus" "$root/app/"
# -noreset: a server resetting as its last client (the killed program) goes
# would refuse the next start for a moment.
exec 3>"$root/display"
Xvfb -displayfd 3 -screen 0 1024x700x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
# The number is written, with its line end, once the server takes clients.
for _ in $(seq 100); do [ "$(wc -l <"$root/display")" -ge 1 ] && break; sleep 0.1; done
export DISPLAY=:$(head -1 "$root/display") HOME=$root/home XDG_CONFIG_HOME=$root/config \
  XDG_DATA_HOME=$root/data XDG_RUNTIME_DIR=$root/runtime
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
# A sanitizer build's leak report at the end would change the exit status the
# test checks; Qt's one-time allocations are not the program's leaks.
export ASAN_OPTIONS="${ASAN_OPTIONS:-}${ASAN_OPTIONS:+:}detect_leaks=0"
copies=$root/app/recovery
doc=$root/work/doc.txt
printf 'line one\n' >"$doc"

fail() {
  echo "$1"
  cat "$root/log" 2>/dev/null || true  # what the program said before it went wrong
  exit 1
}
# Starts the program on the document and waits for the window titled $1,
# answering the first start's greeting with Escape and the list of copies
# left behind with Enter ("Открыть").
start() {
  "$root/app/prambus" "$doc" 2>>"$root/log" &
  app=$!
  for _ in $(seq 300); do
    for other in "Здравствуйте!" "Восстановление документов"; do
      if win=$(xdotool search --all --pid $app --onlyvisible --name "^$other\$" 2>/dev/null | head -1) && [ -n "$win" ]; then
        xdotool windowfocus --sync "$win"
        if [ "$other" = "Здравствуйте!" ]; then xdotool key Escape; else xdotool key Return; fi
        sleep 0.3
      fi
    done
    if win=$(xdotool search --all --pid $app --onlyvisible --name "^$1\$" 2>/dev/null | head -1) && [ -n "$win" ]; then
      xdotool windowfocus --sync "$win"
      sleep 0.5  # the window takes keys once it is shown and focused
      return
    fi
    sleep 0.1
  done
  fail "no window \"$1\""
}
# Waits for the one copy in the folder to hold $1; its bytes (or "(no
# copy)") are in $got.
has_copy() {
  got="(no copy)"
  for _ in $(seq 200); do
    set -- "$1" "$copies"/*.document
    if [ -f "$2" ] && [ -f "${2%.document}.recovery" ]; then
      got=$(cat "$2")
      [ "$got" = "$1" ] && return 0
    fi
    sleep 0.1
  done
  return 1
}

# SIGKILL once the copy is there.
start "doc.txt - Прамбус"
xdotool key ctrl+End
xdotool type --delay 50 "typed"
has_copy "$(printf 'line one\ntyped')" || fail "no copy after the pause: $got"
kill -9 $app
wait $app 2>/dev/null || true
start "\* doc.txt - Прамбус"
xdotool key ctrl+End
xdotool type --delay 50 " more"
# Before the save, a kill leaves the restored copy, or a newer one, behind.
xdotool key ctrl+s
for _ in $(seq 100); do
  [ "$(cat "$doc")" = "$(printf 'line one\ntyped more')" ] && break
  sleep 0.1
done
[ "$(cat "$doc")" = "$(printf 'line one\ntyped more')" ] || fail "restored and saved: $(od -c "$doc")"
[ -z "$(ls -A "$copies")" ] || fail "a copy outlived the save: $(ls "$copies")"
kill -9 $app
wait $app 2>/dev/null || true

# SIGTERM at once: the copy is written as the program ends.
start "doc.txt - Прамбус"
xdotool key ctrl+End
xdotool type --delay 20 "x"
sleep 0.5  # the key reaches the window; the pause is not over
[ -z "$(ls -A "$copies")" ] || fail "a copy before the pause: $(ls "$copies")"
kill -TERM $app
status=0
wait $app || status=$?
app=
[ $status = 0 ] || fail "SIGTERM: the program ended with $status"
has_copy "$(printf 'line one\ntyped morex')" || fail "SIGTERM left no copy: $got"
[ -f "$root/app/data.dat" ] || fail "SIGTERM: no data.dat"
start "\* doc.txt - Прамбус"
xdotool key ctrl+s
for _ in $(seq 100); do
  [ "$(cat "$doc")" = "$(printf 'line one\ntyped morex')" ] && break
  sleep 0.1
done
[ "$(cat "$doc")" = "$(printf 'line one\ntyped morex')" ] || fail "after SIGTERM: $(od -c "$doc")"
echo "killed and ended by the session: the typed bytes came back"
