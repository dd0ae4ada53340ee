#!/usr/bin/env bash
# scripts/run's two decisions: what it copies into the demo installation at every run, and
# whether there is a display to open the windows on.
set -euo pipefail
source_dir="$1"
. "$source_dir/scripts/lib/demo.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

tree="$work/tree"
mkdir -p "$tree/Msg" "$work/data/DAT"
for f in BRENIX.INI CONFIG.INI Macchine.ini; do echo "[shipped]" > "$tree/$f"; done
echo "program v1" > "$tree/Tavrel"
echo "catalogue v1" > "$tree/Msg/Tavrel.msg"
echo "demo stock" > "$work/data/DAT/Plates.dat"

demo="$work/demo/Tavrel"
lay_out_demo "$tree" "$demo" "$work/data"
for f in BRENIX.INI CONFIG.INI Macchine.ini; do
  [ "$(cat "$demo/$f")" = "[shipped]" ] || fail "$f not laid out on the first run"
done
[ "$(cat "$demo/DAT/Plates.dat")" = "demo stock" ] || fail "demo data not laid out"

# The user picks inches and edits the stock; then the program is rebuilt and run again.
echo "[GenGen]" > "$demo/BRENIX.INI"
echo "UMDef=Pollici Americani" >> "$demo/BRENIX.INI"
echo "[UM1]" > "$demo/CONFIG.INI"
echo "my machine" > "$demo/Macchine.ini"
echo "my stock" > "$demo/DAT/Plates.dat"
echo "program v2" > "$tree/Tavrel"
echo "catalogue v2" > "$tree/Msg/Tavrel.msg"
lay_out_demo "$tree" "$demo" "$work/data"
grep -q "UMDef=Pollici Americani" "$demo/BRENIX.INI" || fail "BRENIX.INI copied over the user's unit"
[ "$(cat "$demo/CONFIG.INI")" = "[UM1]" ] || fail "CONFIG.INI copied over"
[ "$(cat "$demo/Macchine.ini")" = "my machine" ] || fail "Macchine.ini copied over"
[ "$(cat "$demo/DAT/Plates.dat")" = "my stock" ] || fail "the user's stock replaced"
[ "$(cat "$demo/Tavrel")" = "program v2" ] || fail "program not refreshed"
[ "$(cat "$demo/Msg/Tavrel.msg")" = "catalogue v2" ] || fail "catalogue not refreshed"
rm "$demo/CONFIG.INI"
lay_out_demo "$tree" "$demo"
[ "$(cat "$demo/CONFIG.INI")" = "[shipped]" ] || fail "a missing CONFIG.INI is not laid out again"

check() {  # check EXPECTED VAR=VALUE...: has_display under exactly these variables
  local expected="$1"
  shift
  if env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" bash -c "set -euo pipefail; . '$source_dir/scripts/lib/demo.sh'; has_display"; then
    got=yes
  else
    got=no
  fi
  [ "$got" = "$expected" ] || fail "has_display with '$*': $got, expected $expected"
}
check no
check yes DISPLAY=:99
check yes WAYLAND_DISPLAY=wayland-0
check yes QT_QPA_PLATFORM=offscreen
check no QT_QPA_PLATFORM=xcb
check no QT_QPA_PLATFORM=xcb WAYLAND_DISPLAY=wayland-0
check yes QT_QPA_PLATFORM=xcb:foo=1 DISPLAY=:0
check no QT_QPA_PLATFORM=wayland DISPLAY=:0

line=$(no_display_message demo/Tavrel)
[ "$(printf '%s\n' "$line" | wc -l)" -eq 1 ] || fail "the no-display message is not one line"
for part in "xvfb-run -a scripts/run" "demo/Tavrel/tavrel-batch --install demo/Tavrel startup" "display"; do
  [[ "$line" == *"$part"* ]] || fail "the no-display message lacks '$part'"
done
echo "PASS"
