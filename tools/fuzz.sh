#!/usr/bin/env bash
# Builds the libFuzzer targets with clang++-14 and runs each on its seed corpus for a while.
#
# Usage: tools/fuzz.sh [SECONDS] [TARGET...]
#   SECONDS  how long each target runs (default 30, what CI uses)
#   TARGET   names without the fuzz_ prefix (default: every fuzz/fuzz_*.cpp)
# Environment: HX350_FUZZ_BUILD_DIR (default build-fuzz), HX350_FUZZ_JOBS (parallel build jobs, default 2),
# HX350_FUZZ_PARALLEL (targets run at once, default the number of cores).
# New inputs found go to a scratch folder, not into the repository's corpus; a crash, leak or undefined
# behaviour stops the run with the reproducer in the build folder and a non-zero exit code.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
shift || true
build=${HX350_FUZZ_BUILD_DIR:-build-fuzz}

need=()
command -v clang++-14 >/dev/null || need+=(clang-14)
compgen -G '/usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a' >/dev/null || need+=(libclang-rt-14-dev)
if ((${#need[@]})); then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${need[@]}"
fi

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
  -DHX350_FUZZ=ON -DHX350_WITH_UI=OFF -DHX350_WERROR=ON -DHX350_BUILD_TESTS=OFF -DHX350_BUILD_BENCH=OFF
targets=("$@")
if ((${#targets[@]} == 0)); then
  for f in fuzz/fuzz_*.cpp; do
    name=$(basename "$f" .cpp)
    targets+=("${name#fuzz_}")
  done
fi
cmake --build "$build" -j"${HX350_FUZZ_JOBS:-2}" --target "${targets[@]/#/fuzz_}"

# The settings targets write a file per input and save with fsync: on a memory file system that is cheap.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi
# A run frees at most about 340 KB (the start-up fuzzer's whole form; the receive path about 40 KB), so a
# 1 MiB quarantine still holds every block freed during the current run and the two before it for
# use-after-free reports. Larger ones hand back blocks that have left the cache: 16 MiB cost the start-up
# fuzzer a third more time, the default 256 MiB a fifth more again in page faults.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:quarantine_size_mb=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Targets run side by side, one per core: each is single-threaded, so on two cores eight targets of 30 s
# take two minutes instead of four. Each one's output goes to its own log, shown when it ends.
parallel=${HX350_FUZZ_PARALLEL:-$(nproc)}
logs="$build/fuzz-logs"
mkdir -p "$logs"
fuzz_one() {
  local t=$1
  local scratch="$build/fuzz-work/$t"
  local artifacts="$build/fuzz-artifacts/$t/"
  mkdir -p "$scratch" "$artifacts"
  local options=()
  # The receive path's inputs are programs of operations; short ones run fast and long batches are made by
  # repetition inside the target.
  [ "$t" = receive ] && options+=(-max_len=512)
  "$build/bin/fuzz_$t" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$artifacts" \
    "${options[@]}" "$scratch" "fuzz/corpus/$t" >"$logs/$t.log" 2>&1
}
status=0
pids=()
names=()
finish_one() {
  local pid=$1 t=$2
  if wait "$pid"; then
    echo "== fuzz_$t: ${seconds}s: passed =="
    grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|Done )' "$logs/$t.log" || true
  else
    echo "== fuzz_$t: ${seconds}s: FAILED, reproducer in $build/fuzz-artifacts/$t/ ==" >&2
    tail -n 60 "$logs/$t.log" >&2
    status=1
  fi
}
for t in "${targets[@]}"; do
  if ((${#pids[@]} >= parallel)); then
    finish_one "${pids[0]}" "${names[0]}"
    pids=("${pids[@]:1}")
    names=("${names[@]:1}")
  fi
  fuzz_one "$t" &
  pids+=($!)
  names+=("$t")
done
for i in "${!pids[@]}"; do
  finish_one "${pids[$i]}" "${names[$i]}"
done
exit $status
