#!/usr/bin/env bash
# The cutting sheets of an optimised demo job through tavrel-batch, read back from the PDF as a
# cutter reads them: the first page lists every material and pattern, every piece identifier is
# on its pattern's page in type of at least 2.5 mm, the report page's totals are the sums of the
# patterns and the report command's, the paper and the unit are the ones asked for, and a missing
# or unreadable result is named instead of skipped.
# Needs poppler-utils (pdftotext, pdfinfo) and python3; skipped without.
set -euo pipefail
needs="pdftotext pdfinfo python3"
. "$(dirname "$0")/optimised_demo.sh"
"$batch" --install "$work" export DEMO_KITCHEN.TVL --format csv > plan.csv || fail "export failed"
"$batch" --install "$work" report DEMO_KITCHEN.TVL --csv > report.csv || fail "report failed"

# Reads a sheets PDF back: the first page's rows, each pattern page's words with their type sizes
# (poppler's word box is the font's ascent to descent, 1.164 em of DejaVu Sans; a word turned
# upright has it across), the report page's rows; checked against the plan export and the report.
# A word of two letters or more is never shorter than that box is high (at least 1.2 em for
# these texts), so its smaller side is the box's height whichever way it runs.
cat > check.py <<'PY'
import csv, re, subprocess, sys
pdf, plan_csv, report_csv, unit = sys.argv[1:5]
BOX = 1.164
def text(page):
    return subprocess.run(['pdftotext', '-layout', '-f', str(page), '-l', str(page), pdf, '-'],
                          capture_output=True, text=True, check=True).stdout
pages = int(re.search(r'^Pages:\s+(\d+)', subprocess.run(['pdfinfo', pdf], capture_output=True, text=True).stdout, re.M).group(1))
html = subprocess.run(['pdftotext', '-bbox', pdf, '-'], capture_output=True, text=True, check=True).stdout
words = []  # per page: (text, em in mm)
for page in re.findall(r'<page [^>]*>(.*?)</page>', html, re.S):
    ws = []
    for x0, y0, x1, y1, w in re.findall(r'<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="([0-9.]+)">([^<]*)</word>', page):
        # The box across the text: the smaller side of a word longer than it is high (every
        # identifier of the demo, "K1" included), the larger one of a lone narrow letter.
        w = w.replace('&amp;', '&')
        a, b = float(x1) - float(x0), float(y1) - float(y0)
        side = min(a, b) if len(w) >= 2 else max(a, b)
        ws.append((w, side / BOX * 25.4 / 72))
    words.append(ws)
assert len(words) == pages, (len(words), pages)

plan = [r for r in csv.DictReader(open(plan_csv, newline='', encoding='utf-8'))]
def material(r):
    return ', '.join(x for x in (r['serie'], r['code'], r['treatment']) if x)
materials = []
for r in plan:
    if material(r) not in materials:
        materials.append(material(r))
pieces = {}  # (material, pattern) -> [(id, width, height)] one per placement on a plate
for r in plan:
    if r['record'] == 'piece':
        pieces.setdefault((material(r), int(r['pattern'])), []).append((r['piece_id'], float(r['width']), float(r['height'])))

# The first page: every material, every pattern with its plates and pieces, and its page.
first = text(1)
assert first.startswith('Cutting sheets: Kitchen refit, Elm Street 14'), first[:80]
assert 'Customer: Hansen & Daughters' in first and 'Order: PO-2291' in first
rows = []
current = None
for line in first.splitlines():
    m = re.match(r'^(\S.*?)?\s+(\d+)\s+(\d+)\s+([0-9.]+ x [0-9.]+)\s+(Stock plate|Offcut)\s+(\d+)\s+(\d+)\s+([0-9.]+)\s+(\d+)$', line)
    if not m:
        continue
    if m.group(1):
        current = m.group(1).strip()
    rows.append((current, int(m.group(2)), int(m.group(6)), int(m.group(7)), int(m.group(9))))
assert [r[0] for r in rows if r[1] == 1] == materials, ([r[0] for r in rows if r[1] == 1], materials)
assert sorted((r[0], r[1]) for r in rows) == sorted(pieces), 'the first page lists other patterns than the plan'

# Each pattern's page: its header, and each identifier in the table and on every piece large
# enough for a label (at least 600 mm both ways: 37 mm on the paper at the smallest scale).
checked = 0
for mat, pattern, plates, count, page in rows:
    t = text(page)
    assert 'Material: ' + mat in t, (page, mat)
    assert re.search(r'Pattern %d of \d+' % pattern, t), (page, pattern)
    assert re.search(r'Plates: %d\b' % plates, t), (page, plates)
    assert 'Size (%s)' % unit in t, (page, unit)
    placed = pieces[(mat, pattern)]
    assert count == plates * len(placed), (page, count, plates, len(placed))
    ws = words[page - 1]
    for w, em in ws:
        assert em >= 2.0 - 0.05, (page, w, em)
    for pid in sorted(set(p[0] for p in placed)):
        large = sum(1 for p in placed if p[0] == pid and min(p[1], p[2]) >= 600)
        seen = [em for w, em in ws if w == pid]
        assert len(seen) >= 1 + large, (page, pid, len(seen), large)
        for em in seen:
            assert em >= 2.5 - 0.05, (page, pid, em)
        checked += 1

# The report page: its totals are the sums of the patterns and equal the report command's.
report = text(pages)
assert report.startswith('Job report: Kitchen refit, Elm Street 14'), report[:80]
totals = [l for l in report.splitlines() if l.startswith('Totals')]
assert len(totals) == 1, totals
t = totals[0].split()[1:]
assert int(t[0]) == sum(r[2] for r in rows), ('plates', t[0], rows)
assert int(t[1]) == sum(r[3] for r in rows), ('pieces', t[1])
csv_total = [r for r in csv.DictReader(open(report_csv, newline='', encoding='utf-8')) if r['record'] == 'total'][0]
area = [k for k in csv_total if k.startswith('piece area')][0].split('[')[1].rstrip(']')
assert '(%s)' % area in report, area
for value, key in zip(t, ['plates', 'pieces', 'piece area', 'plate area', 'waste area', 'yield', 'offcuts produced', 'offcuts consumed']):
    column = [k for k in csv_total if k.startswith(key)][0]
    assert value == csv_total[column], (key, value, csv_total[column])
for mat in materials:
    assert re.search(r'^' + re.escape(mat) + r'\s', report, re.M), ('report', mat)
print('%d pages, %d patterns, %d identifiers checked' % (pages, len(rows), checked))
PY

"$batch" --install "$work" sheets DEMO_KITCHEN.TVL --out "$work/sheets.pdf" > sheets.log || { cat sheets.log; fail "sheets failed"; }
grep -q "^written: $work/sheets.pdf ([0-9]* pages: 5 materials, 8 pattern pages, A4 landscape)$" sheets.log ||
  { cat sheets.log; fail "what was written"; }
pdfinfo sheets.pdf | grep -q '^Page size: *842 x 595 pts (A4)' || { pdfinfo sheets.pdf; fail "not A4 landscape"; }
python3 check.py sheets.pdf plan.csv report.csv mm || fail "the A4 sheets"
[ "$stock" == "$(cat DAT/Plates.dat)" ] || fail "the sheets changed the stock"
[ "$job" == "$(cat TVL/DEMO_KITCHEN.TVL)" ] || fail "the sheets changed the job"

# A3 and portrait: the paper asked for, the same pages.
"$batch" --install "$work" sheets DEMO_KITCHEN.TVL --out "$work/a3.pdf" --paper a3 --portrait > a3.log || fail "A3 failed"
pdfinfo a3.pdf | grep -q '^Page size: *842 x 1191 pts (A3)' || { pdfinfo a3.pdf; fail "not A3 portrait"; }
python3 check.py a3.pdf plan.csv report.csv mm || fail "the A3 sheets"
"$batch" --install "$work" sheets DEMO_KITCHEN.TVL --paper A4 --portrait --out "$work/a4p.pdf" > a4p.log || fail "A4 portrait failed"
pdfinfo a4p.pdf | grep -q '^Page size: *595 x 842 pts (A4)' || { pdfinfo a4p.pdf; fail "not A4 portrait"; }
python3 check.py a4p.pdf plan.csv report.csv mm || fail "the A4 portrait sheets"

# An inch station: sizes in inches on the drawing and in the tables, areas in square feet.
sed -i 's/^UMDef=.*/UMDef=Pollici Americani/' BRENIX.INI
"$batch" --install "$work" report DEMO_KITCHEN.TVL --csv > report-in.csv || fail "inch report failed"
"$batch" --install "$work" sheets DEMO_KITCHEN.TVL --out "$work/inches.pdf" > in.log || fail "inch sheets failed"
python3 check.py inches.pdf plan.csv report-in.csv in || fail "the inch sheets"
pdftotext -layout inches.pdf inches.txt
grep -q "126.38 x 88.58" inches.txt || fail "3210 x 2250 mm not shown as 126.38 x 88.58 in"
grep -q "3210.0" inches.txt && fail "millimetres on the inch sheets"
sed -i 's/^UMDef=.*/UMDef=Millimetri/' BRENIX.INI

# The language chosen in the settings.
sed -i 's/^Language=.*/Language=it/' Tavrel.CFG
"$batch" --install "$work" sheets DEMO_KITCHEN.TVL --out "$work/it.pdf" > it.log || fail "Italian sheets failed"
pdftotext -f 1 -l 1 it.pdf it.txt
grep -q "^Fogli di taglio: Kitchen refit" it.txt || fail "the sheets are not in the chosen language"
sed -i 's/^Language=.*/Language=en/' Tavrel.CFG

# A stored result gone, another damaged: the rest is printed, both named with their reason, exit 1.
mv M.R/DEMO_KITCHEN.R02 "$work/R02.kept"
cp M.R/DEMO_KITCHEN.R03 "$work/R03.kept"
printf 'BLOCKSTART\n[PATTERN]\n' > M.R/DEMO_KITCHEN.R03
if "$batch" --install "$work" sheets DEMO_KITCHEN.TVL --out "$work/gone.pdf" > gone.log 2> gone.err; then
  fail "a missing result gave exit code 0"
fi
grep -q '^tavrel-batch: FL, 6MM: .*missing.*DEMO_KITCHEN.R02' gone.err || { cat gone.err; fail "the missing result is not named"; }
grep -q '^tavrel-batch: FL, 6MM, SATIN: .*cannot be read.*DEMO_KITCHEN.R03' gone.err || { cat gone.err; fail "the damaged result is not named"; }
grep -q "^written: $work/gone.pdf (.* 3 materials, 6 pattern pages" gone.log || { cat gone.log; fail "the other materials are not written"; }
pdftotext -f 1 -l 1 -layout gone.pdf gone1.txt
grep -q "^Materials not printed" gone1.txt || fail "the first page does not say what is left out"
grep -q "^FL, 6MM  *The stored result of this material is missing" gone1.txt || { cat gone1.txt; fail "the first page does not name the missing result"; }
grep -q "DEMO_KITCHEN.R02$" gone1.txt || fail "the first page does not name the missing file"
grep -q "^FL, 6MM, SATIN  *The stored result of this material cannot be read" gone1.txt || fail "the first page does not name the damaged result"
pdftotext gone.pdf gone.txt
grep -q "Materials left out of the totals" gone.txt || fail "the report does not say its totals lack materials"
mv "$work/R02.kept" M.R/DEMO_KITCHEN.R02
cp "$work/R03.kept" M.R/DEMO_KITCHEN.R03

# No result at all: nothing written.
mkdir kept && mv M.R/DEMO_KITCHEN.R* kept/
if "$batch" --install "$work" sheets DEMO_KITCHEN.TVL --out "$work/none.pdf" > none.log 2> none.err; then
  fail "a job without results gave exit code 0"
fi
[ ! -e none.pdf ] || fail "sheets written without a single result"
mv kept/* M.R/

# Wrong usage, a job that is not there, a file that cannot be written.
set +e
"$batch" --install "$work" sheets DEMO_KITCHEN.TVL > /dev/null 2>&1; [ $? -eq 2 ] || fail "sheets without --out is not a usage error"
"$batch" --install "$work" sheets DEMO_KITCHEN.TVL --out x.pdf --paper LETTER > /dev/null 2> paper.err; [ $? -eq 2 ] ||
  fail "an unknown paper is not a usage error"
grep -q "A4, A3" paper.err || fail "the known papers are not listed"
"$batch" --install "$work" sheets DEMO_KITCHEN.TVL --out x.pdf --portrait --landscape > /dev/null 2>&1; [ $? -eq 2 ] ||
  fail "two orientations are not a usage error"
"$batch" --install "$work" sheets NO_SUCH.TVL --out x.pdf > /dev/null 2>&1; [ $? -eq 1 ] || fail "a missing job is not a failure"
"$batch" --install "$work" sheets DEMO_KITCHEN.TVL --out "$work/no-such-folder/s.pdf" > /dev/null 2> save.err; [ $? -eq 1 ] ||
  fail "a file in a folder that does not exist was reported written"
grep -q "no-such-folder/s.pdf" save.err || fail "the failed save does not name the file"
set -e
echo "sheets: ok"
