#!/usr/bin/env bash
# Builds the benchmark in Release and prints one table: the whole conversion
# and each stage at 10,000, 100,000 and 1,000,000 generated records, peak
# memory, and the reference RW5 reader on the same file, each against its target.
# With --baseline, the 1,000,000-record file is then converted by an earlier
# build and by this one in alternating runs (default options, then both kinds
# of approximate coordinates), and this build may take at most 1.25 times the
# earlier one's wall time.
# Usage: scripts/bench.sh [--baseline BINARY|GIT_REVISION] [trovisk-bench options]
set -euo pipefail
cd "$(dirname "$0")/.."
baseline=""
if [ "${1:-}" = "--baseline" ]; then
  baseline=$2
  shift 2
fi
# The reference reader the speed target is measured against.
bash scripts/install-deps.sh $(cat scripts/build-deps.txt) totalopenstation
build=build-bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DTROVISK_BUILD_BENCHMARKS=ON \
  -DTROVISK_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target trovisk-bench rw5-generate trovisk
if [ -z "$baseline" ]; then
  "$build/bench/trovisk-bench" "$@"
  exit
fi

# An earlier build: a binary as given, or the command line of a revision
# built in a scratch work tree.
folder=$(mktemp -d)
trap 'git worktree remove --force "$folder/tree" 2>/dev/null || true; rm -rf "$folder"' EXIT
if [ -x "$baseline" ]; then
  old=$(realpath "$baseline")
else
  git worktree add -q --detach "$folder/tree" "$baseline"
  cmake -S "$folder/tree" -B "$folder/build" -DCMAKE_BUILD_TYPE=Release \
    -DTROVISK_BUILD_TESTS=OFF >/dev/null
  cmake --build "$folder/build" -j2 --target trovisk >/dev/null
  old=$folder/build/trovisk
fi
# The comparison runs whether or not the table met its targets.
targets=0
"$build/bench/trovisk-bench" --folder "$folder" --keep-files "$@" || targets=$?
input=$folder/bench-1000000.rw5
[ -f "$input" ] || "$build/bench/rw5-generate" 1000000 "$input" >/dev/null 2>&1
new=$(realpath "$build/trovisk")
echo
echo "1,000,000 records, the earlier build ($baseline) against this one, alternating runs:"
echo "default options:"
default=$(bash scripts/compare-speed.sh "$old" "$new" "$input" 7 | tee /dev/stderr)
echo "both kinds of approximate coordinates:"
bash scripts/compare-speed.sh "$old" "$new" "$input" 5 --approx-geodetic \
  --approx-nee --seed T1
ratio=$(echo "$default" | awk '/new\/old/ {print $NF}')
if awk -v r="$ratio" 'BEGIN {exit !(r <= 1.25)}'; then
  echo "PASS: this build takes $ratio times the earlier one's wall time (at most 1.25)"
  exit "$targets"
else
  echo "FAIL: this build takes $ratio times the earlier one's wall time (at most 1.25)"
  exit 1
fi
