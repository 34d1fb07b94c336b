#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each one in
# turn for SECONDS (default 60). Any input that crashes a target is saved as a
# regression fixture in tests/data/fuzz-regressions/<target>/, which the test
# suite replays on every run.
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]   (targets: conversion settings writer)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(conversion settings writer)

bash scripts/install-deps.sh cmake make clang libclang-rt-14-dev libcli11-dev
build=build-fuzz
cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTROVISK_BUILD_FUZZERS=ON -DTROVISK_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target "${targets[@]/#/fuzz_}"

# The shared folder of real RW5 files sits beside the checkout (for a
# worktree, beside the folder of worktrees); it is read in place, never copied.
shared_corpus() {
  local dir=$root
  for _ in 1 2 3; do
    dir=$(dirname "$dir")
    if [ -d "$dir/shared/corpus/rw5" ]; then echo "$dir/shared/corpus/rw5"; return; fi
  done
}

# Seeds: the real files, the project's own fixtures and examples; each target
# keeps the corpus it grows in build-fuzz.
seed_dirs() {
  case "$1" in
    conversion)
      for d in "$(shared_corpus)" "$root/tests/data" "$root/examples" \
               "$root/tests/data/fuzz-regressions/conversion"; do
        [ -n "$d" ] && [ -d "$d" ] && echo "$d"
      done ;;
    *)
      [ -d "$root/tests/data/fuzz-regressions/$1" ] && echo "$root/tests/data/fuzz-regressions/$1" ;;
  esac
  return 0
}

status=0
summary=()
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  artifacts="$build/artifacts/$target"
  mkdir -p "$corpus" "$artifacts"
  log="$build/fuzz-$target.log"
  mapfile -t seeds < <(seed_dirs "$target")
  echo "== fuzz_$target for ${seconds}s (log: $log)"
  start=$(date +%s)
  set +e
  ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" "${seeds[@]}" >"$log" 2>&1
  rc=$?
  set -e
  elapsed=$(( $(date +%s) - start ))
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*' || true)
  ft=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*' || true)
  found=0
  for artifact in "$artifacts"/crash-* "$artifacts"/leak-* "$artifacts"/timeout-* \
                  "$artifacts"/oom-* "$artifacts"/slow-unit-*; do
    [ -f "$artifact" ] || continue
    if [[ $(basename "$artifact") == slow-unit-* ]]; then
      # A unit reported slow is kept only when it is slow again on its own:
      # on a shared machine a stall of the whole process looks the same.
      again_start=$(date +%s)
      "$build/fuzz/fuzz_$target" -runs=1 "$artifact" >/dev/null 2>&1 || true
      if [ $(( $(date +%s) - again_start )) -lt 5 ]; then
        echo "   $(basename "$artifact"): fast when run again, not kept"
        rm -f "$artifact"
        continue
      fi
    fi
    fixtures="tests/data/fuzz-regressions/$target"
    mkdir -p "$fixtures"
    cp "$artifact" "$fixtures/$(basename "$artifact")"
    echo "   saved $fixtures/$(basename "$artifact")"
    rm -f "$artifact"
    found=$((found + 1))
  done
  if [ "$rc" -ne 0 ] || [ "$found" -gt 0 ]; then
    status=1
    tail -40 "$log"
  fi
  summary+=("$(printf '%-12s %6ss %12s runs  cov %6s  ft %7s  findings %d' \
    "$target" "$elapsed" "${runs:-?}" "${cov:-?}" "${ft:-?}" "$found")")
done

echo
printf '%s\n' "${summary[@]}"
exit "$status"
