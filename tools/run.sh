#!/usr/bin/env bash
# Installs what is missing, builds the tool and starts it on the built-in simulator of the module.
# Extra arguments go to the program (for instance --simulate=phone, or --port COM1=/dev/ttyUSB0 in place
# of the simulator).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
build=${HX350_BUILD_DIR:-build}
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" --target hx350 hx350-sim
if [ "$#" -eq 0 ]; then
  set -- --simulate
fi
exec "$build/bin/hx350" "$@"
