#!/bin/sh
# Libraries are loaded only from the program's folder, the configured library
# folder and the user's data folder, and only where no other user could have
# put them. A copy of the program lies in a shared sticky folder S (as an
# archive unpacked in /tmp would); copies of a library that marks its loading
# are planted around it, and the program is started once:
#   S/app/plugins/trusted.so                the program's own folder: loaded
#   S/lib/prambus/plugins/beside.so         a ../lib beside the program: never searched
#   DATA/prambus/plugins/(group-writable)   refused: the group may write the folder
#   DATA/prambus/skins/everyone.so (0666)   refused: everyone may write the file
#   DATA/prambus/skins/link.so -> S/drop/   refused: a link into a folder anyone may write
set -eu
build=$1
library=$build/tests/planted/plugins/test_planted_library.so
root=$(mktemp -d)
trap 'kill -9 $pid 2>/dev/null || true; rm -rf "$root"' EXIT
pid=
shared=$root/shared
marks=$root/marks
data=$root/data
mkdir -m 1777 "$shared"
mkdir -m 0700 "$marks" "$root/home" "$root/config" "$root/runtime"
mkdir -p "$shared/app/plugins" "$shared/lib/prambus/plugins" "$shared/drop" \
  "$data/prambus/plugins" "$data/prambus/skins"
chmod 0755 "$shared/app" "$shared/app/plugins"
chmod 0777 "$shared/drop"
cp "$build/gui/prambus" "$shared/app/prambus"
cp "$library" "$shared/app/plugins/trusted.so"
cp "$library" "$shared/lib/prambus/plugins/beside.so"
cp "$library" "$data/prambus/plugins/group.so"
chmod 0775 "$data/prambus/plugins"
cp "$library" "$data/prambus/skins/everyone.so"
chmod 0666 "$data/prambus/skins/everyone.so"
cp "$library" "$shared/drop/link.so"
ln -s "$shared/drop/link.so" "$data/prambus/skins/link.so"

HOME=$root/home XDG_CONFIG_HOME=$root/config XDG_DATA_HOME=$data XDG_RUNTIME_DIR=$root/runtime \
  XDG_CACHE_HOME=$root/home/cache QT_QPA_PLATFORM=offscreen PRAMBUS_PLANTED_MARKS=$marks \
  "$shared/app/prambus" >"$root/out.txt" 2>&1 &
pid=$!
# The trusted copy marks that the libraries have been looked for.
tries=0
while [ ! -e "$marks/trusted.so" ]; do
  tries=$((tries + 1))
  if [ $tries -gt 600 ] || ! kill -0 $pid 2>/dev/null; then
    echo "the library in the program's own folder was never loaded"
    cat "$root/out.txt"
    exit 1
  fi
  sleep 0.1
done
sleep 0.5
kill -9 $pid
loaded=$(ls "$marks")
if [ "$loaded" != "trusted.so" ]; then
  echo "loaded: $loaded"
  exit 1
fi
echo "only the trusted library was loaded"
