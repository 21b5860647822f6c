#!/usr/bin/env bash
# Checks a built package: ./scripts/check_package.sh build-deb/prambus_VERSION_ARCH.deb
#   - lintian finds no error (its warnings are printed);
#   - the AppStream description and the desktop entry pass their validators;
#   - every file belongs to root and none is writable by group or others (the
#     program loads the example extensions only from such folders);
#   - the dependencies came from dpkg-shlibdeps (the Qt libraries are there);
#   - the changelog, the program, the AppStream release and both manual pages
#     name the same version;
#   - unpacked with dpkg -x into a temporary folder, the program prints its
#     version without a display, and under Xvfb opens a file, takes a typed
#     character and saves it.
set -euo pipefail
deb=$(realpath "$1")
version=$(dpkg-deb -f "$deb" Version)
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
fail() {
  echo "check_package: $*" >&2
  exit 1
}

echo "lintian $(basename "$deb")"
lintian --fail-on error "$deb"

# Owners and modes as dpkg will install them.
bad=$(dpkg-deb --fsys-tarfile "$deb" | tar -tvf - |
  awk '$2 != "root/root" || ($1 !~ /^l/ && (substr($1, 6, 1) == "w" || substr($1, 9, 1) == "w"))')
[ -z "$bad" ] || fail "files not root's or writable by others:"$'\n'"$bad"
dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' || fail "no Qt in Depends: shlibdeps did not run"

pkg=$root/pkg
dpkg -x "$deb" "$pkg"
appstreamcli validate --no-net "$pkg"/usr/share/metainfo/*.metainfo.xml
desktop-file-validate "$pkg/usr/share/applications/prambus.desktop"

program=$pkg/usr/bin/prambus
said=$(env -u DISPLAY -u WAYLAND_DISPLAY "$program" --version)
[ "$said" = "Прамбус $version" ] || fail "--version says \"$said\", the package is $version"
grep -q "<release version=\"$version\"" "$pkg"/usr/share/metainfo/*.metainfo.xml ||
  fail "the AppStream description has no release $version"
for page in man/man1 man/ru/man1; do
  zcat "$pkg/usr/share/$page/prambus.1.gz" | grep -q "^\.TH PRAMBUS 1 .* $version\"" ||
    fail "$page/prambus.1 is not of version $version"
done

# Open, type, save, in a home of its own. The first start greets the user
# ("Здравствуйте!"): Escape answers it.
work=$root/work
mkdir -p "$work" "$root/home" "$root/config" "$root/data"
mkdir -m 0700 "$root/runtime"
printf 'abc\n' >"$work/file.txt"
export HOME=$root/home XDG_CONFIG_HOME=$root/config XDG_DATA_HOME=$root/data \
  XDG_RUNTIME_DIR=$root/runtime PROGRAM=$program WORK=$work
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
# shellcheck disable=SC2016  # the script below expands its own variables
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -euo pipefail
  "$PROGRAM" "$WORK/file.txt" &
  app=$!
  trap "kill $app 2>/dev/null || true" EXIT
  press() {  # WINDOW_TITLE KEY...
    local win
    win=$(timeout 60 xdotool search --sync --name "^$1\$" | head -1)
    shift
    xdotool windowfocus --sync "$win"
    xdotool key --delay 100 "$@"
  }
  press "Здравствуйте!" Escape
  press "file.txt - Прамбус" z ctrl+s
  for _ in $(seq 100); do
    [ "$(cat "$WORK/file.txt")" = zabc ] && exit 0
    sleep 0.2
  done
  echo "the file was not saved: $(od -c "$WORK/file.txt")" >&2
  exit 1
'
echo "$(basename "$deb"): lintian, validators, owners, versions, --version, open and save: good"
