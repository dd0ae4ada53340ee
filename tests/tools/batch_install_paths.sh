#!/usr/bin/env bash
# An installation named by a relative path, and an installation copied to another place, both
# start as a fresh one would: engine library found, folders created, Tavrel.INI naming the
# installation's own folders by absolute paths, no warning about the CNC folder.
set -euo pipefail
tree="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
mkdir -p "$work/site"
cp -a "$tree"/. "$work/site/Tavrel"/

cd "$work"
site/Tavrel/tavrel-batch --install site/Tavrel/ startup > first.log || { cat first.log; fail "startup failed"; }
cat first.log
grep -q "^installation: $work/site/Tavrel$" first.log || fail "installation path not made absolute"
grep -q "engine library: loaded" first.log || fail "engine library not found through a relative path"
for f in DAT TVL M.R TEMP CNC; do [ -d "site/Tavrel/$f" ] || fail "folder $f not created"; done
grep -v '^\[' site/Tavrel/Tavrel.INI | grep -qv "=$work/site/Tavrel/" && { cat site/Tavrel/Tavrel.INI; fail "Tavrel.INI holds a folder that is not absolute"; }
site/Tavrel/tavrel-batch --install ./site/Tavrel startup > second.log
grep -q "cannot be moved" second.log && fail "the second start warns about the CNC folder"
grep -q "settings files: saved" second.log || fail "settings files not saved"

# Copying the installation anywhere gives a working installation that uses its own folders.
echo "stock of the copy" > site/Tavrel/DAT/marker
cp -a site/Tavrel "$work/copy"
echo "stock of the original" > site/Tavrel/DAT/marker
"$work/copy/tavrel-batch" --install "$work/copy" startup > copy.log
cat copy.log
grep -q "taken over from a former installation folder" copy.log || fail "the copy did not tell that it took over its folders"
grep -q "cannot be moved" copy.log && fail "the copy warns about the CNC folder"
grep -q "^DATFilesLocation=$work/copy/DAT$" "$work/copy/Tavrel.INI" || fail "the copy's Tavrel.INI names another data folder"
grep -q "^DATFilesLocation=$work/site/Tavrel/DAT$" site/Tavrel/Tavrel.INI || fail "the original's settings changed"
"$work/copy/tavrel-batch" --install "$work/copy" startup > copy2.log
grep -q "taken over" copy2.log && fail "told again at the next start"
echo "PASS"
