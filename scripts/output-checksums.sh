#!/usr/bin/env bash
# Prints one checksum line per conversion of every golden fixture, every file
# of the shared corpus and two generated jobs, each with three option sets
# (defaults; local NEE and mark-to-mark vectors; both kinds of approximate
# coordinates from the job's first setup, base or point, with its report).
# Two builds that print the same list write the same bytes.
# Usage: scripts/output-checksums.sh TROVISK_BINARY [RW5_GENERATOR]
set -euo pipefail
binary=$(realpath "$1")
generator=${2:+$(realpath "$2")}
cd "$(dirname "$0")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
inputs=(tests/data/golden/*.rw5)
[ -d ../shared/corpus/rw5 ] && inputs+=(../shared/corpus/rw5/*.rw5)
if [ -n "$generator" ]; then
  "$generator" 20000 "$work/generated-metres.rw5" 7 1 >/dev/null 2>&1
  "$generator" 20000 "$work/generated-usfeet-grads.rw5" 8 2 grads >/dev/null 2>&1
  inputs+=("$work"/generated-*.rw5)
fi
for input in "${inputs[@]}"; do
  seed=$(grep -m1 -aoE '^(OC,OP|BP,PN|GPS,PN|SP,PN)[^,]+' "$input" | cut -c6- || true)
  name=$(basename "$input")
  run() {
    local label=$1
    shift
    "$binary" -q --no --merge different --settings "$work/none.cfg" "$@" "$input" \
      -o "$work/out.txt" >/dev/null 2>&1 || echo "exit $? " >>"$work/out.txt"
    echo "$(sha256sum <"$work/out.txt" | cut -c1-16)  $name $label"
  }
  run default
  run local-mark --local-nee --mark-to-mark
  rm -f "$work/report.txt"
  run approx --approx-geodetic --approx-nee --seed "${seed:-1}" --seed-lat 45.3 \
    --seed-lon -66.1 --seed-height 30 --report "$work/report.txt"
  echo "$(sha256sum <"$work/report.txt" 2>/dev/null | cut -c1-16)  $name report"
done
