#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer (g++) and runs the whole test
# suite under them, leak checking on. Extra arguments go to cmake's configure.
# Environment: HX350_SANITIZE_BUILD_DIR (default build-asan).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${HX350_SANITIZE_BUILD_DIR:-build-asan}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=g++ -DHX350_SANITIZE=ON \
  -DHX350_WERROR=ON -DHX350_BUILD_BENCH=OFF "$@"
cmake --build "$build"
export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
