# Sourced by the batch tests that look at an optimised demo job, with the caller's arguments and
# `needs` (see demo_copy.sh): the demo laid out afresh and its kitchen job optimised once,
# keeping the stock. Leaves what demo_copy.sh leaves, and `stock` and `job`, the stock and job
# files as the optimisation left them.
. "$(dirname "${BASH_SOURCE[0]}")/demo_copy.sh"

"$batch" --install "$work" startup > startup.log
"$batch" --install "$work" optimise DEMO_KITCHEN.TVL --stock keep > run.log || { cat run.log; fail "optimise failed"; }
stock=$(cat DAT/Plates.dat)
job=$(cat TVL/DEMO_KITCHEN.TVL)
