#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer (g++) and runs the whole test
# suite under them, leak checking on. Extra arguments go to cmake's configure.
# Environment: HX350_SANITIZE_BUILD_DIR (default build-asan).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
build=${HX350_SANITIZE_BUILD_DIR:-build-asan}
# Each test program runs as one ctest test (HX350_TEST_PER_PROGRAM): sanitized processes are slow to start.
# -O1 -g1: what the sanitizers' reports need (inlining kept low, line tables for the stacks) at a third of
# the compile time of -O2 -g; assertions stay on.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" \
  -DCMAKE_CXX_COMPILER=g++ -DHX350_SANITIZE=ON -DHX350_WERROR=ON -DHX350_BUILD_BENCH=OFF \
  -DHX350_TEST_PER_PROGRAM=ON "$@"
cmake --build "$build"
export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
