#!/bin/sh
# A library that ends the program while it is listed at start (a fault in its
# constructor), or never answers there (prambus_string stuck in a loop),
# costs one start: that start is made afresh at once, in the same process,
# and leaves the library out and lists the rest (a library after it in the
# folder marks its loading); when fresh starts have already been made in a
# row, the start ends and the next one leaves the library out.
set -eu
build=$1
root=$(mktemp -d)
pid=
trap 'if [ -n "$pid" ]; then kill -9 $pid 2>/dev/null || true; fi; rm -rf "$root"' EXIT
mkdir -m 0700 "$root/home" "$root/config" "$root/data" "$root/runtime" "$root/marks"
mkdir -p "$root/app/plugins"
chmod 0755 "$root" "$root/app" "$root/app/plugins"
cp "$build/gui/prambus" "$root/app/prambus"
cp "$build/tests/planted/plugins/test_planted_library.so" "$root/app/plugins/zz.so"

start() {
  PRAMBUS_FRESH_STARTS=${fresh_starts:-0} HOME=$root/home XDG_CONFIG_HOME=$root/config XDG_DATA_HOME=$root/data \
    XDG_RUNTIME_DIR=$root/runtime XDG_CACHE_HOME=$root/home/cache QT_QPA_PLATFORM=offscreen \
    PRAMBUS_PLANTED_MARKS=$root/marks "$root/app/prambus" >"$root/out.txt" 2>&1 &
  pid=$!
}

# Waits for the start to end by itself; its exit status in $ended.
wait_end() {
  tries=0
  while kill -0 $pid 2>/dev/null; do
    tries=$((tries + 1))
    if [ $tries -gt 600 ]; then echo "$1: the start did not end"; cat "$root/out.txt"; exit 1; fi
    sleep 0.1
  done
  ended=0
  wait $pid || ended=$?
  pid=
}

# Waits for the library after the faulty one to be listed, then checks that
# the program still runs.
wait_listed() {
  tries=0
  while [ ! -e "$root/marks/zz.so" ]; do
    tries=$((tries + 1))
    if [ $tries -gt 600 ] || ! kill -0 $pid 2>/dev/null; then
      echo "$1: the next start did not get past the library"; cat "$root/out.txt"; exit 1
    fi
    sleep 0.1
  done
  sleep 0.5
  kill -0 $pid 2>/dev/null || { echo "$1: the next start ended"; exit 1; }
  kill -9 $pid
  wait $pid 2>/dev/null || true
  pid=
  grep -q "$2" "$(find "$root" -name left-out | head -1)" ||
    { echo "$1: the library is not on the left-out list"; exit 1; }
  rm -f "$root/marks/zz.so" "$root/app/plugins/$2"
}

# A fault in a constructor is made afresh at once, like a hanging library.
cp "$build/tests/faulty/plugins/test_crashing_constructor.so" "$root/app/plugins/crash.so"
start
wait_listed "a crashing constructor made afresh" crash.so
grep -q "crash.so» вызвала сбой при загрузке. Запускаю программу заново" "$root/out.txt" ||
  { echo "no word on the crashing library"; cat "$root/out.txt"; exit 1; }

# Past the fresh starts in a row, the fault ends the start; the next one
# leaves the library out.
cp "$build/tests/faulty/plugins/test_crashing_constructor.so" "$root/app/plugins/crash2.so"
fresh_starts=3
start
fresh_starts=0
wait_end "a crashing constructor"
[ $ended -ne 0 ] || { echo "the crashing library did not end the start"; exit 1; }
[ ! -e "$root/marks/zz.so" ] || { echo "the crashing library was not reached"; exit 1; }
start
wait_listed "a crashing constructor" crash2.so

cp "$build/tests/faulty/plugins/test_hanging_strings.so" "$root/app/plugins/hang.so"
start
wait_listed "a hanging library made afresh" hang.so
grep -q "hang.so» не ответила за 5 секунд. Запускаю программу заново" "$root/out.txt" ||
  { echo "no word on the hanging library"; cat "$root/out.txt"; exit 1; }

# Past the fresh starts in a row: the start ends, the next one leaves it out.
cp "$build/tests/faulty/plugins/test_hanging_strings.so" "$root/app/plugins/hang2.so"
fresh_starts=3
start
fresh_starts=0
wait_end "a hanging library"
[ $ended -eq 70 ] || { echo "the hanging start ended with $ended"; cat "$root/out.txt"; exit 1; }
grep -q "hang2.so» не ответила" "$root/out.txt" || { echo "no word on the hanging library"; exit 1; }
start
wait_listed "a hanging library" hang2.so
echo "each faulty library cost one start"
