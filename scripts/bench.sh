#!/usr/bin/env bash
# Builds the benchmark in Release and prints one table: the whole conversion
# and each stage at 10,000, 100,000 and 1,000,000 generated records, peak
# memory, and the reference RW5 reader on the same file, each against its target.
# Usage: scripts/bench.sh [trovisk-bench options, e.g. --sizes 10000,100000]
set -euo pipefail
cd "$(dirname "$0")/.."
# The reference reader the speed target is measured against.
bash scripts/install-deps.sh $(cat scripts/build-deps.txt) totalopenstation
build=build-bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DTROVISK_BUILD_BENCHMARKS=ON \
  -DTROVISK_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target trovisk-bench rw5-generate
"$build/bench/trovisk-bench" "$@"
