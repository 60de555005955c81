#!/usr/bin/env bash
# How close an update comes to a server's clock under Wine: precise mode,
# the ordinary mode and the host's htpdate against one local server that
# runs 37.333 s ahead, at one-way delays of 0, 20 and 100 ms (10 runs each).
# Not run by the tests.
#   BENCH_WIN64   win64 build folder (default build/bench-win64)
#   BENCH_RUNS    runs per figure (default 10)
set -euo pipefail
cd "$(dirname "$0")/.."

win64=${BENCH_WIN64:-build/bench-win64}
command -v htpdate >/dev/null || apt-get install -y -qq htpdate >/dev/null
[[ -f $win64/CMakeCache.txt ]] || cmake --preset win64 -B "$win64" >/dev/null
cmake --build "$win64" -j2 --target Velmora velmora_bench_precise >/dev/null

source scripts/wine-env.sh
work=$(mktemp -d)
trap 'wine_down; rm -rf "$work"' EXIT
wine_up "$work" || { echo "bench: Wine did not come up" >&2; exit 1; }
PATH=$PATH:/usr/sbin VELMORA_BIN_DIR=$(wine_path "$win64/bin") \
  wine_run "$win64/bin/velmora_bench_precise.exe" "${BENCH_RUNS:-10}" 2>/dev/null
