#!/usr/bin/env bash
# Formatting and static analysis, as CI runs them.
#
# Usage: tools/lint.sh [format|tidy|all] [BUILD_DIR]
#   format  clang-format --dry-run --Werror over the C++ sources of src/, tests/, bench/ and fuzz/
#   tidy    clang-tidy over src/ with the checks of .clang-tidy, warnings as errors, two files at a time;
#           reads BUILD_DIR/compile_commands.json (default build; any configured build of the tree)
# Installs clang-format and clang-tidy (with the build's packages) when they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."
what=${1:-all}
build=${2:-build}

tools/deps.sh clang-format clang-tidy

if [ "$what" = format ] || [ "$what" = all ]; then
  echo "== clang-format: src/ tests/ bench/ fuzz/ =="
  git ls-files -z -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h' 'fuzz/*.cpp' \
    'fuzz/*.h' | xargs -0 clang-format --dry-run --Werror
fi

if [ "$what" = tidy ] || [ "$what" = all ]; then
  if [ ! -f "$build/compile_commands.json" ]; then
    echo "$build/compile_commands.json missing: configure $build first" >&2
    exit 1
  fi
  echo "== clang-tidy: src/ (checks in .clang-tidy) =="
  # Only the project's own sources: the regex leaves out what the build generates (moc) below the build
  # folder.
  start=$SECONDS
  run-clang-tidy -clang-tidy-binary clang-tidy -p "$build" -j"${HX350_TIDY_JOBS:-2}" -quiet \
    "^$PWD/src/" > "$build/clang-tidy.log" 2>&1 || status=$?
  sed "s/\x1b\[[0-9;]*m//g" "$build/clang-tidy.log" | grep -E "(warning|error): " | sort -u || true
  echo "clang-tidy: $((SECONDS - start)) s"
  if [ "${status:-0}" -ne 0 ]; then
    echo "clang-tidy found problems (full output in $build/clang-tidy.log)" >&2
    exit 1
  fi
fi
