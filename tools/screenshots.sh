#!/usr/bin/env bash
# Saves a picture of each of the thirteen pages into docs/screenshots/ (01-main.png ...), taken from the
# real program under Xvfb at its default size on a 1280x900 screen. Builds first when needed.
# Usage: tools/screenshots.sh [output folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${HX350_BUILD_DIR:-build}
out=${1:-docs/screenshots}
if [ ! -x "$build/bin/hx350" ]; then
  tools/deps.sh
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" --target hx350
mkdir -p "$out"
out=$(cd "$out" && pwd)
runtime=$(mktemp -d)
work=$(mktemp -d)
trap 'rm -rf "$runtime" "$work"' EXIT
chmod 700 "$runtime"
# A fresh working folder whose HX350.cfg is shorter than one record: start-up then keeps the design
# values of every page (it reports "Read beyond end of file" on standard error, since the screenshot option
# shows no boxes). The port is the built-in simulator, so the status bar shows an open port.
(
  cd "$work"
  printf 'x' >HX350.cfg
  XDG_RUNTIME_DIR="$runtime" DBUS_SESSION_BUS_ADDRESS=disabled: LC_ALL=C.UTF-8 \
    timeout 60 xvfb-run -a -s '-screen 0 1280x900x24 -nolisten tcp' \
    "$OLDPWD/$build/bin/hx350" --simulate --screenshot-dir "$out"
)
ls -1 "$out"/*.png
