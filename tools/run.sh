#!/usr/bin/env bash
# Installs what is missing, builds the tool and starts it on the built-in simulator of the module.
# Extra arguments go to the program (for instance --simulate=phone, or --port COM1=/dev/ttyUSB0 in place
# of the simulator).
#
# The tool keeps its settings in HX350.cfg in the working folder. It runs in the build's run/ folder, which
# starts out with the sample site of data/sample-site.txt, so the first window shows a populated
# configuration; what you save there stays there for the next run.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
build=${HX350_BUILD_DIR:-build}
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" --target hx350 hx350-sim hx350-cfg
if [ "$#" -eq 0 ]; then
  set -- --simulate
fi
bin=$(cd "$build/bin" && pwd)
mkdir -p "$build/run"
if [ ! -e "$build/run/HX350.cfg" ]; then
  "$bin/hx350-cfg" import data/sample-site.txt -o "$build/run/HX350.cfg"
fi
cd "$build/run"
exec "$bin/hx350" "$@"
