#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need, and any named as arguments (tools/lint.sh:
# clang-format clang-tidy), only those that are missing.
set -euo pipefail
packages=(
  g++ cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev
  gammu python3-gammu socat
  xvfb xauth fonts-dejavu-core
  at-spi2-core python3-pyatspi dbus-daemon
  dpkg-dev file desktop-file-utils appstream
  "$@"
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
