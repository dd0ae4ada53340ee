#!/usr/bin/env bash
# The optimiser must not cut worse: a fixed-seed, fixed-step run over 60 of the classic
# instances (numbers 1 to 3 of every class with 60 and 100 items), both with and without turning
# pieces, whose totals may not exceed the figures written in the engine's README. With a step
# limit the plans depend on the seed alone, never on the machine's load.
# Usage: bench_regression.sh ENGINE_BENCH INSTANCE_FOLDER README
set -euo pipefail
bench="$1"
folder="$2"
readme="$3"

only=""
for c in 01 02 03 04 05 06 07 08 09 10; do
  for n in 60 100; do
    for k in 1 2 3; do
      only+="Class_$c.2bp_${n}_$k,"
    done
  done
done

figure() {
  local f
  f=$(grep -o "regression total $1: \*\*[0-9]*\*\*" "$readme" | grep -o '[0-9][0-9]*' | head -1 || true)
  if [ -z "$f" ]; then
    echo "FAIL: the README gives no \"regression total $1\" figure" >&2
    exit 1
  fi
  echo "$f"
}

status=0
for variant in "with rotation:yes" "without rotation:no"; do
  words="${variant%%:*}"
  rotation="${variant##*:}"
  want=$(figure "$words")
  out=$("$bench" --time-limit 1000 --iterations 100000 --seed 1 --rotation "$rotation" \
    --only "$only" "$folder"/Class_*.2bp)
  line=$(printf '%s\n' "$out" | grep '^total:' || true)
  got=$(printf '%s\n' "$line" | sed -n 's/^total: \([0-9]*\) plates.*/\1/p')
  count=$(printf '%s\n' "$out" | grep -cE '^Class_[0-9]+[.]2bp_[0-9]+_[0-9]+ +plates' || true)
  if [ "$count" -ne 60 ] || [ -z "$got" ]; then
    echo "FAIL ($words): $count of 60 instances ran; $line" >&2
    status=1
  elif [ "$got" -gt "$want" ]; then
    echo "FAIL ($words): $got plates, the README's figure is $want" >&2
    status=1
  elif [ "$got" -lt "$want" ]; then
    echo "$words: $got plates, better than the README's $want: write the new figure there"
  else
    echo "$words: $got plates, as the README says"
  fi
done
exit $status
