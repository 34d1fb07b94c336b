#!/usr/bin/env bash
# Builds Trovisk and converts the example job that ships with it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh $(cat scripts/build-deps.txt)
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DTROVISK_BUILD_TESTS=OFF >/dev/null
cmake --build build -j"$(nproc)" --target trovisk >/dev/null
build/trovisk examples/traverse.rw5 -o example-output.txt
echo "---- example-output.txt ----"
cat example-output.txt
