#!/usr/bin/env bash
# Builds the Debian package from the tree with dpkg-buildpackage and checks
# it (scripts/check_package.sh): ./scripts/package.sh [--with-tests]
# The package is left in build-deb/ as prambus_VERSION_ARCH.deb, with its
# debug symbols (prambus-dbgsym_VERSION_ARCH.deb) beside it.
#
# The build runs on a copy of the tree in build-deb/, so the tree itself gets
# no build products and nothing is written beside it. Its tests are skipped
# (the nocheck profile) unless --with-tests is given: CI has run them in
# build/ already. Compiled objects are shared through ccache with earlier
# package builds: the copy keeps the same path from run to run.
set -euo pipefail
umask 022
cd "$(dirname "$0")/.."
./scripts/deps.sh package
tests=no
[ "${1:-}" = --with-tests ] && tests=yes

version=$(dpkg-parsechangelog -SVersion)
out=build-deb
src=$out/prambus-$version
mkdir -p "$out"
rm -rf "$src" "$out"/prambus*_"$version"_*.deb "$out"/prambus_"$version"_*.{buildinfo,changes}
mkdir -p "$src"
tar --exclude-vcs --exclude='./build*' --exclude='./debian/.debhelper' -cf - . | tar -C "$src" -xf -

# debhelper gives the build a home of its own; ccache keeps its objects where
# it keeps them for every other build.
if command -v ccache >/dev/null; then
  CCACHE_DIR=$(ccache -k cache_dir)
  export CCACHE_DIR
fi
options="parallel=${PRAMBUS_JOBS:-2}"
profiles=()
if [ "$tests" = no ]; then
  options="$options nocheck"
  profiles=(-Pnocheck)
fi
(cd "$src" && DEB_BUILD_OPTIONS="$options" dpkg-buildpackage -b -us -uc "${profiles[@]}")
rm -rf "$src"
deb=$(ls "$out"/prambus_"$version"_*.deb)
./scripts/check_package.sh "$deb"
