#!/usr/bin/env bash
# Fails when a source file includes a header of a layer above its own. The
# layers, from the bottom: base, geodesy, rw5, approx and output (side by
# side: neither includes the other), checks, convert, app, cli.
# Usage: scripts/check-layers.sh [SOURCE_FOLDER]   (default: src)
set -euo pipefail
src=${1:-"$(dirname "$0")/../src"}
declare -A rank=([base]=0 [geodesy]=1 [rw5]=2 [approx]=3 [output]=3 [checks]=4 [convert]=5 [app]=6 [cli]=7)
failures=0
while IFS= read -r file; do
  relative=${file#"$src"/}
  layer=${relative%%/*}
  if [ -z "${rank[$layer]+set}" ]; then
    echo "$relative: the folder $layer is in no layer" >&2
    failures=$((failures + 1))
    continue
  fi
  while IFS=: read -r line target; do
    included=${target%%/*}
    [ -n "${rank[$included]+set}" ] || continue
    if [ "${rank[$included]}" -gt "${rank[$layer]}" ] ||
      { [ "${rank[$included]}" -eq "${rank[$layer]}" ] && [ "$included" != "$layer" ]; }; then
      echo "$relative:$line: $layer includes $target, a header of the layer $included, which is not below it" >&2
      failures=$((failures + 1))
    fi
  done < <(grep -n -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" |
    sed -E 's/^([0-9]+):[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]*)".*/\1:\2/' || true)
done < <(find "$src" -type f \( -name '*.h' -o -name '*.cpp' \) | sort)
if [ "$failures" -gt 0 ]; then
  echo "$failures include(s) point up a layer" >&2
  exit 1
fi
echo "every include points down a layer or within its own"
