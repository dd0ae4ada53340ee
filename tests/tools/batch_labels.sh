#!/usr/bin/env bash
# The piece labels of an optimised demo job through tavrel-batch, read back as a worker's
# scanner and eyes would: every cut piece has its label, each barcode decodes to job and piece,
# the label's text names the same piece, and a missing result is named instead of skipped.
# Needs poppler-utils (pdftoppm, pdftotext, pdfinfo) and zbar-tools (zbarimg); skipped without.
set -euo pipefail
needs="pdftoppm pdftotext pdfinfo zbarimg python3"
. "$(dirname "$0")/optimised_demo.sh"
decode() { zbarimg -q --nodbus "$@" 2> /dev/null | sed -n 's/^CODE-128://p' || true; }

# What the labels must be: one per piece on every plate of its pattern, from the plan export.
"$batch" --install "$work" export DEMO_KITCHEN.TVL --format csv > plan.csv || fail "export failed"
python3 - plan.csv > expected.txt <<'PY'
import csv, sys
for r in csv.DictReader(open(sys.argv[1], newline='', encoding='utf-8')):
    if r['record'] == 'piece':
        for _ in range(int(r['plates'])):
            print('DEMO_KITCHEN/' + r['piece_id'])
PY
count=$(wc -l < expected.txt)
[ "$count" -ge 16 ] || fail "the demo job should give at least 16 labels, the plan has $count"

# One label a page (the label printer): each page's barcode and the identifier printed on it.
"$batch" --install "$work" labels DEMO_KITCHEN.TVL --sheet LABEL-100X50 --out "$work/one.pdf" > one.log ||
  { cat one.log; fail "labels on the label printer failed"; }
grep -q "^written: $work/one.pdf ($count labels on $count pages of LABEL-100X50)$" one.log || { cat one.log; fail "what was written"; }
pdfinfo one.pdf | grep -q '^Page size: *283 x 142 pts' || { pdfinfo one.pdf; fail "a page is not a 100 x 50 mm label"; }
pdftoppm -r 300 -png -gray one.pdf one
: > one-decoded.txt
for page in $(seq 1 "$count"); do
  image=$(ls one-*.png | sed -n "${page}p")
  code=$(decode "$image")
  [ "$(printf '%s\n' "$code" | grep -c .)" -eq 1 ] || fail "page $page: one barcode expected, decoded '$code'"
  printf '%s\n' "$code" >> one-decoded.txt
  id=$(pdftotext -f "$page" -l "$page" one.pdf - | sed -n 1p)
  [ "$code" == "DEMO_KITCHEN/$id" ] || fail "page $page: the barcode says $code, the label $id"
done
[ "$(sort one-decoded.txt)" == "$(sort expected.txt)" ] ||
  { diff <(sort expected.txt) <(sort one-decoded.txt); fail "the barcodes are not one per cut piece"; }

# The sheet the settings choose (A4, 3 x 8 by default): every label cut out of the page image
# and decoded on its own (zbar reports equal codes on one image once).
"$batch" --install "$work" labels DEMO_KITCHEN.TVL --out "$work/sheet.pdf" > sheet.log || { cat sheet.log; fail "labels on A4 failed"; }
grep -q "of A4-3X8)$" sheet.log || fail "the default sheet is not A4 3 x 8"
pages=$(pdfinfo sheet.pdf | sed -n 's/^Pages: *//p')
: > sheet-decoded.txt
for page in $(seq 1 "$pages"); do
  for row in $(seq 0 7); do
    for column in 0 1 2; do
      # 70 x 37 mm labels from 0.5 mm below the top edge, at 300 dpi.
      x=$(( column * 70 * 3000 / 254 )); y=$(( (5 + row * 370) * 300 / 254 ))
      pdftoppm -r 300 -gray -f "$page" -l "$page" -x "$x" -y "$y" -W 826 -H 437 -singlefile -png sheet.pdf cell
      decode cell.png >> sheet-decoded.txt
    done
  done
done
[ "$(sort sheet-decoded.txt)" == "$(sort expected.txt)" ] ||
  { diff <(sort expected.txt) <(sort sheet-decoded.txt); fail "the A4 sheet's barcodes are not one per cut piece"; }
pdftotext sheet.pdf sheet.txt
for id in $(sed 's|^DEMO_KITCHEN/||' expected.txt | sort -u); do
  [ "$(grep -cx "$id" sheet.txt)" -eq "$(grep -cx "DEMO_KITCHEN/$id" expected.txt)" ] ||
    fail "piece $id is not printed once per label"
done
for text in "Kitchen refit, Elm Street 14" "Hansen & Daughters" "Kitchen window left" "FL, 6MM, SATIN"; do
  grep -qF "$text" sheet.txt || fail "'$text' is not on the labels"
done
"$batch" --install "$work" labels DEMO_KITCHEN.TVL --sheet a4-2x7 --out "$work/two.pdf" > two.log || fail "A4 2 x 7 failed"
grep -q "($count labels on 2 pages of A4-2X7)$" two.log || { cat two.log; fail "14 labels a page"; }
[ "$stock" == "$(cat DAT/Plates.dat)" ] || fail "the labels changed the stock"
[ "$job" == "$(cat TVL/DEMO_KITCHEN.TVL)" ] || fail "the labels changed the job"

# A job from a Windows station: its texts come out right on the label.
printf 'FILE_VERSION=3\n"Caf\xe9"\n"M\xfcller & S\xf6hne"\n""\n"0.000;0.000;0;0;0"\n1\n"FL";"4MM";"";2;700.000;500.000;"\xc4-1";"";"Fen\xeatre";"\x80 5"\n0\n' > TVL/WIN.TVL
"$batch" --install "$work" optimise WIN.TVL --stock keep > win.log || { cat win.log; fail "optimise of the Windows job failed"; }
"$batch" --install "$work" labels WIN.TVL --out "$work/win.pdf" > win-labels.log || fail "labels of the Windows job failed"
pdftotext win.pdf win.txt
for text in "Café" "Müller & Söhne" "Ä-1" "Fenêtre" "€ 5" "WIN/Ä-1"; do
  grep -qF "$text" win.txt || { cat win.txt; fail "'$text' is not on the Windows job's labels"; }
done

# A long job name with a long identifier: too many bars for a 70 mm label, room on 100 mm.
printf 'FILE_VERSION=3\n"Bathroom"\n""\n""\n"0.000;0.000;0;0;0"\n1\n"FL";"4MM";"";1;700.000;500.000;"WINDOW-L1";"";"";""\n0\n' > TVL/BATHROOM_REFIT_2026.TVL
"$batch" --install "$work" optimise BATHROOM_REFIT_2026.TVL --stock keep > long.log || { cat long.log; fail "optimise of the long job failed"; }
if "$batch" --install "$work" labels BATHROOM_REFIT_2026.TVL --out "$work/long.pdf" > long.log 2> long.err; then
  fail "a barcode too dense to scan gave exit code 0"
fi
grep -q "^tavrel-batch: piece WINDOW-L1: its barcode's bars are narrower than 0.19 mm" long.err || { cat long.err; fail "the dense barcode is not named"; }
"$batch" --install "$work" labels BATHROOM_REFIT_2026.TVL --sheet LABEL-100X50 --out "$work/long.pdf" > long.log 2>&1 ||
  { cat long.log; fail "the long job's label does not fit a 100 mm label"; }
pdftoppm -r 300 -png -gray long.pdf long
[ "$(decode long-1.png)" == "BATHROOM_REFIT_2026/WINDOW-L1" ] || fail "the long job's barcode does not decode"

# The sheet chosen in the settings is the default of the command.
printf '[OPTIONS]\nLABEL_SHEET=A4-2X7\n' > Tavrel.OPT
"$batch" --install "$work" labels DEMO_KITCHEN.TVL --out "$work/chosen.pdf" | grep -q "of A4-2X7)$" ||
  fail "the sheet of Tavrel.OPT is not used"
rm Tavrel.OPT

# An Italian installation prints its labels in Italian.
grep -q '^Language=' Tavrel.CFG || fail "Tavrel.CFG holds no language"
sed -i 's/^Language=.*/Language=it/' Tavrel.CFG
"$batch" --install "$work" labels DEMO_KITCHEN.TVL --out "$work/it.pdf" > it.log || { cat it.log; fail "Italian labels failed"; }
pdftotext it.pdf it.txt
grep -q "$(grep '^00384=' Msg/Tavrel.it.msg | cut -d= -f2-) 1 .*$(grep '^00127=' Msg/Tavrel.it.msg | cut -d= -f2-) 1/" it.txt ||
  { head -n 20 it.txt; fail "the labels of an Italian installation do not say pattern and plate in Italian"; }
grep -q "Pattern 1" it.txt && fail "English on the labels of an Italian installation"
sed -i 's/^Language=.*/Language=en/' Tavrel.CFG

# A stored result gone: the other labels are written, the material named, exit code 1.
mv M.R/DEMO_KITCHEN.R02 "$work/R02.kept"
if "$batch" --install "$work" labels DEMO_KITCHEN.TVL --out "$work/gone.pdf" > gone.log 2> gone.err; then
  fail "a missing result gave exit code 0"
fi
grep -q '^tavrel-batch: FL, 6MM: .*DEMO_KITCHEN.R02' gone.err || { cat gone.err; fail "the missing result is not named"; }
pdftotext gone.pdf - | grep -qx "K1" || fail "the labels of the other materials are not written"
pdftotext gone.pdf - | grep -qx "K3" && fail "a label of the missing material"
mv "$work/R02.kept" M.R/DEMO_KITCHEN.R02

# Wrong usage, a job that is not there, a file that cannot be written.
set +e
"$batch" --install "$work" labels DEMO_KITCHEN.TVL > /dev/null 2>&1; [ $? -eq 2 ] || fail "labels without --out is not a usage error"
"$batch" --install "$work" labels DEMO_KITCHEN.TVL --out x.pdf --sheet LETTER > /dev/null 2> sheet.err; [ $? -eq 2 ] ||
  fail "an unknown sheet is not a usage error"
grep -q "A4-3X8, A4-2X7, LABEL-100X50" sheet.err || fail "the known sheets are not listed"
"$batch" --install "$work" labels NO_SUCH.TVL --out x.pdf > /dev/null 2>&1; [ $? -eq 1 ] || fail "a missing job is not a failure"
"$batch" --install "$work" labels DEMO_KITCHEN.TVL --out "$work/no-such-folder/l.pdf" > /dev/null 2> save.err; [ $? -eq 1 ] ||
  fail "a file in a folder that does not exist was reported written"
grep -q "no-such-folder/l.pdf" save.err || fail "the failed save does not name the file"
set -e
echo "labels: ok, $count labels"
