# Sourced by the batch tests, with the caller's arguments (installation tree, demo folder) and
# `needs`, the tools the test cannot do without (it is skipped without them). Lays the
# installation and the demo out in a fresh folder and holds the engine to a fixed number of
# steps and seed, so the plans are the same on every run and machine and what a test compares
# never depends on how busy the machine is. Leaves `work` (the current folder), `batch`, `fail`.
tree="$1"
demo="$2"
for tool in ${needs:-}; do
  command -v "$tool" > /dev/null || { echo "SKIP: $tool is not installed (scripts/deps installs it)"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -a "$tree"/. "$work"/
cp -a "$demo"/. "$work"/
printf '[Configuration]\nDlgOptiEditorParameters=/STEPS=200 /SEED=7\nLanguage=en\n' > "$work/Tavrel.CFG"
batch="$work/tavrel-batch"
fail() { echo "FAIL: $*"; exit 1; }
cd "$work"
