#!/usr/bin/env bash
# Optimises the demo kitchen job through tavrel-batch with the real engine library and checks
# what a workshop would see afterwards: plates taken out of stock, offcuts added, results stored,
# the job saved with its optimised materials, and a stored result moving the stock only once.
set -euo pipefail
tree="$1"
demo="$2"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -a "$tree"/. "$work"/
cp -a "$demo"/. "$work"/
batch="$work/tavrel-batch"
fail() { echo "FAIL: $*"; exit 1; }

"$batch" --install "$work" startup > "$work/startup.log"
grep -q "engine library: loaded" "$work/startup.log" || fail "engine library not loaded at start-up"

before=$(cat "$work/DAT/Plates.dat")
"$batch" --install "$work" optimise DEMO_KITCHEN.TVL --stock update > "$work/run.log" || { cat "$work/run.log"; fail "optimise failed"; }
cat "$work/run.log"
grep -q '^total: ' "$work/run.log" || fail "no total line"
after=$(cat "$work/DAT/Plates.dat")
[ "$before" != "$after" ] || fail "the stock did not follow the result"
# Demo stock holds 24 ordinary FL 4MM sheets; the kitchen job cuts at least one of them.
grep -q '^"FL";"4MM";"";2[0-3];3210.000;2250.000' "$work/DAT/Plates.dat" || fail "FL 4MM sheets not consumed"
# Offcuts join the stock as kind 1 plates.
[ "$(grep -c ';1;0.000000$' "$work/DAT/Plates.dat")" -gt "$(grep -c ';1;0.000000$' <<<"$before")" ] || fail "no offcut added"
ls "$work/M.R" | grep -q '^DEMO_KITCHEN\.R01$' || fail "no stored result DEMO_KITCHEN.R01"
# The job file ends with its optimised materials: a count, then one key line per material.
tail -n 1 "$work/TVL/DEMO_KITCHEN.TVL" | grep -q '^"' || fail "job not saved with its optimised materials"

# A second optimisation with --stock keep leaves the catalogue alone.
snapshot=$(cat "$work/DAT/Plates.dat")
"$batch" --install "$work" optimise DEMO_KITCHEN.TVL --stock keep --materials FL,4MM > "$work/run2.log" || fail "second run failed"
[ "$snapshot" == "$(cat "$work/DAT/Plates.dat")" ] || fail "--stock keep changed the stock"
# The optimised material list: the stored result, reopened in the engine library, moves the
# stock when asked to, and only once.
"$batch" --install "$work" results DEMO_KITCHEN.TVL > "$work/list.log" || fail "results listing failed"
grep -q '^FL, 4MM (result .*DEMO_KITCHEN.R01)$' "$work/list.log" || { cat "$work/list.log"; fail "FL 4MM not listed"; }
kept=$(cat "$work/DAT/Plates.dat")
"$batch" --install "$work" results DEMO_KITCHEN.TVL FL,4MM --stock update > "$work/apply.log" || fail "results apply failed"
grep -q '^stock updated$' "$work/apply.log" || { cat "$work/apply.log"; fail "stored result not applied"; }
[ "$kept" != "$(cat "$work/DAT/Plates.dat")" ] || fail "the stock did not follow the stored result"
applied=$(cat "$work/DAT/Plates.dat")
"$batch" --install "$work" results DEMO_KITCHEN.TVL FL,4MM --stock update > "$work/apply2.log" || fail "second apply failed"
grep -q '^stock unchanged$' "$work/apply2.log" || { cat "$work/apply2.log"; fail "a stored result was applied twice"; }
[ "$applied" == "$(cat "$work/DAT/Plates.dat")" ] || fail "the stock changed on the second apply"

# The engine input of one material alone: two plate lines per usable plate, one per piece.
"$batch" --install "$work" write-input DEMO_KITCHEN.TVL FL 4MM --out "$work/in.txt" > /dev/null || fail "write-input failed"
[ -s "$work/in.txt" ] || fail "write-input wrote nothing"
awk 'length($0) != 190 { bad = 1 } END { exit bad }' "$work/in.txt" || fail "an engine input line is not 190 characters"
"$batch" --install "$work" write-input DEMO_KITCHEN.TVL NO SUCH --out "$work/x.txt" 2> /dev/null && fail "an unknown material was accepted"
echo "end-to-end: ok"
