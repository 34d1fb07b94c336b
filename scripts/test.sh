#!/usr/bin/env bash
# Builds Trovisk and runs every test: once in a release build, once under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh $(cat scripts/build-deps.txt)
jobs=$(nproc)
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DTROVISK_BUILD_TESTS=ON >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure --no-tests=error -j"$jobs"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTROVISK_SANITIZE=ON -DTROVISK_BUILD_TESTS=ON >/dev/null
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure --no-tests=error -j"$jobs"
