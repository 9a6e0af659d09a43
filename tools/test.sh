#!/usr/bin/env bash
# Installs what is missing, configures, builds and runs every test. Extra arguments go to cmake's configure.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
build=${HX350_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$build"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
