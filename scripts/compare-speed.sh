#!/usr/bin/env bash
# Times two builds of the command line on one RW5 file side by side: the
# runs alternate (old, new, old, new, ...) so that both see the same load on
# the machine. Prints each build's fastest and median wall time, its processor
# time at the fastest run, and the ratio new/old of the fastest wall times.
# Usage: scripts/compare-speed.sh OLD_BINARY NEW_BINARY RW5_FILE [RUNS] [OPTION...]
set -euo pipefail
old=$1 new=$2 input=$3 runs=${4:-7}
shift $(($# < 4 ? $# : 4))
extra=("$@")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
one() {  # $1 binary, $2 label: appends "wall cpu" to $work/$2
  /usr/bin/time -f "%e %U %S" -o "$work/t" "$1" -q --no --merge different \
    --settings "$work/none.cfg" "${extra[@]}" "$input" -o "$work/out-$2.txt" >/dev/null 2>&1 || true
  awk '{printf "%.3f %.3f\n", $1, $2 + $3}' "$work/t" >>"$work/$2"
}
for ((i = 0; i < runs; i++)); do
  one "$old" old
  one "$new" new
done
cmp -s "$work/out-old.txt" "$work/out-new.txt" || echo "warning: the two builds wrote different files"
summary() {
  sort -n "$work/$1" | awk -v label="$1" '{w[NR] = $1; c[NR] = $2}
    END {printf "%s: fastest %.3f s (processor %.3f s), median %.3f s over %d runs\n",
         label, w[1], c[1], w[int((NR + 1) / 2)], NR}'
}
summary old
summary new
paste <(sort -n "$work/old" | head -1) <(sort -n "$work/new" | head -1) |
  awk '{printf "new/old fastest wall time: %.3f\n", $3 / $1}'
