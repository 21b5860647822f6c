#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need (only the missing
# ones); `deps.sh package` also what building and checking the Debian package
# needs. Uses sudo when not run as root.
set -euo pipefail
packages=(build-essential cmake ninja-build qt6-base-dev libgtest-dev libbenchmark-dev
          clang xvfb xauth fonts-dejavu-core vim poppler-utils xdg-utils desktop-file-utils
          shared-mime-info librsvg2-bin qt6-translations-l10n zlib1g-dev libssl-dev)
if [ "${1:-}" = package ]; then
  packages+=(dpkg-dev debhelper lintian appstream xdotool)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi
