#!/usr/bin/env bash
# A fresh demo installation, laid out as scripts/run lays it out, starts with every folder
# present: the spreadsheet-import folder ships with its programs, their IMPORT folder and the
# sample workbooks, so the first start warns about nothing.
set -euo pipefail
tree="$1"
source_dir="$2"
with_import="$3"
. "$source_dir/scripts/lib/demo.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

demo="$work/demo/Tavrel"
lay_out_demo "$tree" "$demo" "$source_dir/resources/demo"
"$demo/tavrel-batch" --install "$demo" startup > first.log 2>&1 || { cat first.log; fail "startup failed"; }
cat first.log
grep -qx "folders: all present" first.log || fail "the first start reports a missing folder"
grep -q "Addins/ExcelEXE" first.log && fail "the first start names the spreadsheet-import folder"
grep -qx "EXCELIMPORTFilesLocation=$demo/Addins/ExcelEXE" "$demo/Tavrel.INI" ||
  fail "Tavrel.INI names another spreadsheet-import folder"

if [ "$with_import" = "ON" ]; then
  for program in ExcelImport PlatesExcelImport; do
    [ -x "$demo/Addins/ExcelEXE/$program" ] || fail "$program not shipped in Addins/ExcelEXE"
  done
  [ -d "$demo/Addins/ExcelEXE/IMPORT/PLATES" ] || fail "the IMPORT/PLATES folder not shipped"
  for sample in pieces.xlsx plates.xlsx; do
    [ -s "$demo/samples/$sample" ] || fail "samples/$sample not shipped"
  done
fi

# The second start of the same installation stays quiet as well.
"$demo/tavrel-batch" --install "$demo" startup > second.log 2>&1
grep -qx "folders: all present" second.log || { cat second.log; fail "the second start reports a missing folder"; }
echo "PASS"
