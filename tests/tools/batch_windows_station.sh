#!/usr/bin/env bash
# A Windows station's files (CR LF, Windows-1252 texts) in the demo installation: a material
# typed on a UTF-8 terminal picks the catalogue's Windows-1252 material, the console shows it as
# letters, and the stock and the job keep the catalogue's own bytes.
set -euo pipefail
needs="python3"
. "$(dirname "$0")/demo_copy.sh"

# "ÄTZ" and the piece texts in Windows-1252, every file rewritten with CR LF.
python3 - <<'PY'
def rewrite(path, edit):
    text = open(path, 'rb').read().decode('cp1252').replace('\r\n', '\n')
    open(path, 'wb').write(edit(text).encode('cp1252').replace(b'\n', b'\r\n'))
rewrite('DAT/Materials.dat', lambda t: t.rstrip('\n') +
        '\n"\u00c4TZ";"4MM";"\u00c4tzglas 4 mm";"";4.000;10.000;10.000;10.000;20.000;0.000;250.000;250.000;0.000;1;0.000;0.000\n0\n')
rewrite('DAT/Plates.dat', lambda t: t.rstrip('\n') + '\n"\u00c4TZ";"4MM";"";5;3210.000;2250.000;10;0.000;2;0;0.000000\n')
def job(t):
    lines = t.split('\n')
    n = int(lines[5])
    lines[5] = str(n + 1)
    lines.insert(6 + n, '"\u00c4TZ";"4MM";"";3;1500.000;900.000;"W\u00e91";"";"Dusche M\u00fcller";""')
    return '\n'.join(lines)
rewrite('TVL/DEMO_KITCHEN.TVL', job)
PY

"$batch" --install "$work" startup > startup.log
"$batch" --install "$work" optimise DEMO_KITCHEN.TVL --materials "ÄTZ,4MM" --stock update > run.log || { cat run.log; fail "optimise failed"; }
cat run.log
grep -q "^ÄTZ, 4MM: run 1, accepted, stock updated$" run.log || fail "the typed material was not optimised, or not shown as letters"
grep -q "^total: 1 of 1 materials optimised" run.log || fail "not exactly the one material optimised"
# The stock line is lowered under the catalogue's bytes and no line in UTF-8 appears.
grep -qa $'^"\xc4TZ";"4MM";"";4;3210.000;2250.000' DAT/Plates.dat || fail "the stock line of the material was not lowered"
grep -qa $'\xc3\x84TZ' DAT/Plates.dat TVL/DEMO_KITCHEN.TVL && fail "a file now holds the material in UTF-8"
grep -qa $'^"\xc4TZ";"4MM"' TVL/DEMO_KITCHEN.TVL || fail "the job lost the material's bytes"

"$batch" --install "$work" results DEMO_KITCHEN.TVL > results.log
grep -q "^ÄTZ, 4MM (result " results.log || { cat results.log; fail "results not listed as letters"; }
"$batch" --install "$work" write-input DEMO_KITCHEN.TVL ÄTZ 4MM --out "$work/in.R01" > input.log || fail "write-input did not find the typed material"
grep -q "^ÄTZ, 4MM: " input.log || fail "write-input did not show the material as letters"
# A damaged job, as a station that crashed while saving leaves it: no pieces, so nothing is
# optimised, and the user is told why, not only given a zero total.
printf 'FILE_VERSION=3\r\n"Broken"\r\ngarbage\xff\r\n' > TVL/BROKEN.TVL
if "$batch" --install "$work" optimise BROKEN.TVL > broken.log 2> broken.err; then fail "an empty job counted as optimised"; fi
grep -q "no piece of .*BROKEN.TVL has a material of the catalogue" broken.err || { cat broken.log broken.err; fail "no reason given for an empty job"; }
echo "windows station files: ok"
