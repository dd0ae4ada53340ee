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

# The perimeter label of the engine input carries its caption from the catalogue.
printf '[OPTIONS]\nPRINT_PIECES_PERIMETER=1\n' > "$work/Tavrel.OPT"
"$batch" --install "$work" write-input DEMO_KITCHEN.TVL FL 4MM --out "$work/in2.txt" > /dev/null || fail "write-input with the perimeter failed"
grep -q 'Perim\.=' "$work/in2.txt" || fail "the perimeter label lost its caption"
grep -q '00263' "$work/in2.txt" && fail "the perimeter label shows a message number"
rm "$work/Tavrel.OPT"

# A laminate whose layer is missing from the catalogue stops the command with the list.
printf '%s\n' '"LAM";"XX-1";"Test laminate";"";8.800;20.800;15.000;15.000;30.000;0.000;400.000;400.000;2.000;1;3210.000;2250.000' \
    2 '"FL";"4MM";""' '"PVB";"076";""' >> "$work/DAT/Materials.dat"
cat > "$work/TVL/LAYERS.TVL" <<'JOB'
FILE_VERSION=3
"Layers"
""
""
"0.000;0.000;0;0;0"
1
"LAM";"XX-1";"";1;1000.000;800.000;"L1";"";"";""
0
JOB
if "$batch" --install "$work" optimise LAYERS.TVL > "$work/layers.log"; then cat "$work/layers.log"; fail "a laminate without its layer was optimised"; fi
grep -q 'not in the material catalogue' "$work/layers.log" || { cat "$work/layers.log"; fail "no 00098 list"; }
grep -q 'PVB, 076' "$work/layers.log" || { cat "$work/layers.log"; fail "the missing layer is not named"; }

# User texts that look like result markers, a piece larger than every plate, and a pattern file
# left in the CNC folder by an earlier run.
cat > "$work/TVL/TRICKY.TVL" <<'JOB'
FILE_VERSION=3
"Job BLOCKSTART x"
"[CUT] customer"
""
"0.000;0.000;0;0;0"
3
"FL";"4MM";"";2;1180.000;760.000;"BLOCKEND";"";"";""
"FL";"4MM";"";1;530.000;430.000;"";"";"";""
"FL";"6MM";"";1;7000.000;4000.000;"HUGE";"";"";""
0
JOB
printf '[Pattern]\nPieces=9\nWidth=3210\nHeight=2250\nPos=1\n[Offcut_1]\nWidth=3000\nHeight=2000\n' > "$work/CNC/00000001.PSA"
stock=$(cat "$work/DAT/Plates.dat")
if "$batch" --install "$work" optimise TRICKY.TVL --stock update > "$work/tricky.log"; then
    cat "$work/tricky.log"; fail "exit code 0 although FL 6MM was not optimised"
fi
cat "$work/tricky.log"
grep -q '^FL, 4MM: run 1, accepted, stock updated$' "$work/tricky.log" || fail "FL 4MM not accepted"
sed -n '/^FL, 4MM: run/,/yield/p' "$work/tricky.log" | grep -q '^    offcut ' || fail "the offcuts of a pattern holding BLOCKEND vanished"
grep -q '^FL, 6MM: not optimised$' "$work/tricky.log" || fail "FL 6MM not reported"
sed -n '/^FL, 6MM: not optimised$/,$p' "$work/tricky.log" | grep -q 'HUGE (7000.0 x 4000.0)' || fail "the piece that fits no plate is not named"
[ ! -e "$work/CNC/00000001.PSA" ] || fail "the stale pattern file is still there"
strays=$(ls "$work/CNC" | grep -v '^TRICKY\.R01$' || true)
[ -z "$strays" ] || fail "stray files in the CNC folder: $strays"
# FL 4MM of the demo stock: one ordinary entry of 24 3210 x 2250; the stale file would take 9.
grep -q '^"FL";"4MM";"";2[0-3];3210.000;2250.000' "$work/DAT/Plates.dat" || fail "the stock followed a stale pattern file"
if find "$work" -name '*.OPT.*' | grep -q .; then fail "engine result files left in the temporary folder"; fi
[ ! -e "$work/__KZWtmp__" ] || fail "a scratch folder is left in the installation folder"
tail -n 2 "$work/TVL/TRICKY.TVL" | grep -q '"FL";"4MM"' || fail "the job was not saved with its optimised material"
echo "end-to-end: ok"
