#!/usr/bin/env bash
# The report and the plan export of an optimised demo job through tavrel-batch, as a workshop
# script would run them: figures that add up, a plan another program can parse, the same plan
# from a millimetre and an inch station, and a missing result named instead of skipped.
set -euo pipefail
. "$(dirname "$0")/optimised_demo.sh"

"$batch" --install "$work" report DEMO_KITCHEN.TVL --csv > report.csv || fail "report failed"
cat report.csv
head -n 1 report.csv | grep -q '^record,run,serie,code,treatment,status,kind,width \[mm\],height \[mm\],count,plates,pieces,piece area \[mq\]' || fail "report header"
grep -q $'\r$' report.csv || fail "report lines do not end in CR LF"
# Totals equal the sums of the material rows; the yield is the one the optimise run printed.
python3 - report.csv run.log <<'PY' || fail "report totals"
import csv, re, sys
rows = list(csv.DictReader(open(sys.argv[1], newline='', encoding='utf-8')))
mats = [r for r in rows if r['record'] == 'material']
total = [r for r in rows if r['record'] == 'total']
assert len(mats) >= 4 and len(total) == 1, (len(mats), len(total))
t = total[0]
assert all(m['status'] == 'ok' for m in mats) and t['status'] == 'ok'
for key in ('plates', 'pieces', 'offcuts produced', 'offcuts consumed'):
    assert int(t[key]) == sum(int(m[key]) for m in mats), key
for m in mats:
    plates = sum(int(r['count']) for r in rows if r['record'] == 'plate' and r['run'] == m['run'])
    assert plates == int(m['plates']), (m['run'], plates, m['plates'])
ran = re.search(r'^total: .* (\d+) plates; (\d+) offcuts; yield ([0-9.]+)%', open(sys.argv[2]).read(), re.M)
assert ran, 'no total line'
assert int(t['plates']) == int(ran.group(1)) and int(t['offcuts produced']) == int(ran.group(2))
assert t['yield [%]'] == ran.group(3), (t['yield [%]'], ran.group(3))
print('report totals: ok,', t['pieces'], 'pieces')
PY

# The plan as CSV and as JSON: every piece of the report, on stdout or written to a file.
"$batch" --install "$work" export DEMO_KITCHEN.TVL --format csv > plan.csv || fail "csv export failed"
"$batch" --install "$work" export DEMO_KITCHEN.TVL --format json > plan.json || fail "json export failed"
"$batch" --install "$work" export DEMO_KITCHEN.TVL --format json --out "$work/no-such-folder/plan-file.json" > written.log 2>&1 &&
    fail "a file in a folder that does not exist was reported written"
grep -q "plan-file.json" written.log || { cat written.log; fail "the failed save does not name the file"; }
"$batch" --install "$work" export DEMO_KITCHEN.TVL --format json --out "$work/plan-file.json" > written.log || fail "--out failed"
grep -q "^written: $work/plan-file.json$" written.log || fail "--out does not say what it wrote"
cmp -s plan.json plan-file.json || fail "the file differs from what stdout gets"
python3 - report.csv plan.csv plan.json <<'PY' || fail "plan export"
import csv, json, sys
report = list(csv.DictReader(open(sys.argv[1], newline='', encoding='utf-8')))
pieces = int([r for r in report if r['record'] == 'total'][0]['pieces'])
rows = list(csv.DictReader(open(sys.argv[2], newline='', encoding='utf-8')))
assert sum(int(r['plates']) for r in rows if r['record'] == 'piece') == pieces
plan = json.load(open(sys.argv[3], encoding='utf-8'))
assert plan['unit'] == 'mm' and plan['complete'] is True
assert plan['job']['name'] == 'Kitchen refit, Elm Street 14'
placed = sum(p['plates'] * len(p['pieces']) for m in plan['materials'] for p in m['patterns'])
assert placed == pieces, (placed, pieces)
csv_pieces = [(r['run'], r['pattern'], r['x'], r['y'], r['width'], r['height'], r['piece_id'])
              for r in rows if r['record'] == 'piece']
json_pieces = [(str(m['run']), str(p['pattern']), '%.1f' % q['x'], '%.1f' % q['y'], '%.1f' % q['width'],
                '%.1f' % q['height'], q['id']) for m in plan['materials'] for p in m['patterns'] for q in p['pieces']]
assert csv_pieces == json_pieces, 'CSV and JSON hold different plans'
for m in plan['materials']:
    for p in m['patterns']:
        for q in p['pieces']:
            assert 0 <= q['x'] and q['x'] + q['width'] <= p['plate']['width'], q
            assert 0 <= q['y'] and q['y'] + q['height'] <= p['plate']['height'], q
print('plan export: ok,', placed, 'pieces')
PY
[ "$stock" == "$(cat DAT/Plates.dat)" ] || fail "report or export changed the stock"
[ "$job" == "$(cat TVL/DEMO_KITCHEN.TVL)" ] || fail "report or export changed the job"

# An inch station: the report in inches, the plan in the same millimetres.
sed -i 's/^UMDef=.*/UMDef=Pollici Americani/' BRENIX.INI
"$batch" --install "$work" report DEMO_KITCHEN.TVL --csv > report-in.csv || fail "inch report failed"
head -n 1 report-in.csv | grep -q 'width \[in\],height \[in\].*piece area \[sqft\]' || fail "inch report header"
grep -q '^plate,1,FL,4MM,,ok,plate,126\.38,88\.58,' report-in.csv || { cat report-in.csv; fail "3210 x 2250 mm not shown as 126.38 x 88.58 in"; }
[ "$(grep '^total' report.csv | cut -d, -f11,12,17)" == "$(grep '^total' report-in.csv | cut -d, -f11,12,17)" ] ||
    fail "plates, pieces or yield differ between the units"
"$batch" --install "$work" export DEMO_KITCHEN.TVL --format json > plan-in.json || fail "inch export failed"
cmp -s plan.json plan-in.json || fail "the plan differs on an inch station"

# An inch station that shows no decimals: the engine still gets the catalogue's thickness, trims
# and cut distances (4, 10 and 20 mm, not 0, 0 and 25.4), and the optimise run's yield is the
# report's, not one of sizes rounded to whole inches.
cp CONFIG.INI config.kept
sed -i '/^\[UM1\]/,/^\[/ s/^NumDecimali=.*/NumDecimali=0/' CONFIG.INI
cp TVL/DEMO_KITCHEN.TVL TVL/NODEC.TVL
"$batch" --install "$work" optimise NODEC.TVL --materials FL,4MM --stock keep > nodec.log || fail "optimise with no decimals failed"
for line in Thickness=4.00 TrimX=10.0 TrimY=10.0 MinCutDistance=20.0; do
    grep -q "^$line" M.R/NODEC.R01 || { grep -m4 -E 'Thickness|Trim|MinCut' M.R/NODEC.R01; fail "no $line in the result"; }
done
"$batch" --install "$work" report NODEC.TVL --csv > nodec.csv || fail "report with no decimals failed"
printed=$(sed -n 's/^total: .*yield \([0-9.]*\)%$/\1/p' nodec.log)
reported=$(grep '^total' nodec.csv | cut -d, -f17)
[ -n "$printed" ] && [ "$printed" == "$reported" ] || fail "optimise printed yield $printed, the report $reported"
cp config.kept CONFIG.INI
sed -i 's/^UMDef=.*/UMDef=Millimetri/' BRENIX.INI

# A piece identifier from a Windows station comes out as UTF-8 JSON.
printf 'FILE_VERSION=3\n"Caf\xe9"\n""\n""\n"0.000;0.000;0;0;0"\n1\n"FL";"4MM";"";2;700.000;500.000;"\xc4-1";"";"";""\n0\n' > TVL/WIN.TVL
"$batch" --install "$work" optimise WIN.TVL --stock keep > win.log || { cat win.log; fail "optimise of the Windows job failed"; }
"$batch" --install "$work" export WIN.TVL --format json > win.json || fail "export of the Windows job failed"
python3 -c '
import json, sys
plan = json.load(open(sys.argv[1], encoding="utf-8"))
assert plan["job"]["name"] == "Caf\u00e9", plan["job"]
ids = [q["id"] for m in plan["materials"] for p in m["patterns"] for q in p["pieces"]]
assert ids == ["\u00c4-1", "\u00c4-1"], ids
' win.json || fail "Windows-1252 texts in the JSON plan"

# A stored result gone: named on stderr, marked in the output, exit code 1.
mv M.R/DEMO_KITCHEN.R02 "$work/R02.kept"
if "$batch" --install "$work" report DEMO_KITCHEN.TVL --csv > gone.csv 2> gone.err; then fail "a missing result gave exit code 0"; fi
cat gone.err
grep -q '^tavrel-batch: FL, 6MM: .*DEMO_KITCHEN.R02' gone.err || fail "the missing result is not named"
grep -q '^material,2,FL,6MM,,missing,' gone.csv || fail "the missing material is not marked in the report"
grep -q '^total,,,,,incomplete,' gone.csv || fail "the totals do not say they are incomplete"
if "$batch" --install "$work" export DEMO_KITCHEN.TVL --format json > gone.json 2> /dev/null; then fail "export with a missing result gave 0"; fi
python3 -c '
import json, sys
plan = json.load(open(sys.argv[1]))
assert plan["complete"] is False
gone = [m for m in plan["materials"] if m["status"] == "missing"]
assert len(gone) == 1 and gone[0]["code"] == "6MM" and "DEMO_KITCHEN.R02" in gone[0]["reason"], gone
' gone.json || fail "the missing material is not marked in the JSON plan"
# An Italian installation: the reasons and the incomplete totals in its language.
grep -q '^Language=' Tavrel.CFG || fail "Tavrel.CFG holds no language"
sed -i 's/^Language=.*/Language=it/' Tavrel.CFG
if "$batch" --install "$work" report DEMO_KITCHEN.TVL --csv > gone-it.csv 2> gone-it.err; then fail "a missing result gave exit code 0 in Italian"; fi
cat gone-it.err
italian=$(grep '^00370=' Msg/Tavrel.it.msg | cut -d= -f2-)
[ -n "$italian" ] || fail "the Italian catalogue has no 00370"
grep -qF "tavrel-batch: FL, 6MM: $italian" gone-it.err || fail "the missing result is not named in Italian"
grep -qF "$(grep '^00373=' Msg/Tavrel.it.msg | cut -d= -f2-)" gone-it.csv || fail "the incomplete totals are not said in Italian"
grep -qF "$(grep '^00370=' Msg/Tavrel.msg | cut -d= -f2-)" gone-it.csv gone-it.err && fail "English texts in an Italian installation"
sed -i 's/^Language=.*/Language=en/' Tavrel.CFG
mv "$work/R02.kept" M.R/DEMO_KITCHEN.R02

# Wrong usage and a job that is not there.
set +e
"$batch" --install "$work" report DEMO_KITCHEN.TVL > /dev/null 2>&1; [ $? -eq 2 ] || fail "report without --csv is not a usage error"
"$batch" --install "$work" export DEMO_KITCHEN.TVL --format xml > /dev/null 2>&1; [ $? -eq 2 ] || fail "--format xml is not a usage error"
"$batch" --install "$work" export NO_SUCH.TVL --format csv > /dev/null 2>&1; [ $? -eq 1 ] || fail "a missing job is not a failure"
set -e
echo "report and export: ok"
