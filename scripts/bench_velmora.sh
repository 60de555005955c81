#!/usr/bin/env bash
# Processor time of Velmora under Wine, from the process's own accounting
# (/proc of its Wine process, all threads): idle and resident, idle and not
# resident for comparison, and during the 30-second start-up delay; then
# whole updates against a local server, click to result text, beside the
# client's exchange alone (median of 10 each). Not run by the tests.
#   BENCH_WIN64   win64 build folder (default build/bench-win64)
#   BENCH_IDLE_S  seconds per idle figure (default 60)
#   BENCH_RUNS    updates per median (default 10)
set -euo pipefail
cd "$(dirname "$0")/.."

win64=${BENCH_WIN64:-build/bench-win64}
idle=${BENCH_IDLE_S:-60}
runs=${BENCH_RUNS:-10}
[[ -f $win64/CMakeCache.txt ]] || cmake --preset win64 -B "$win64" >/dev/null
cmake --build "$win64" -j2 --target Velmora velmora_bench >/dev/null

source scripts/wine-env.sh
work=$(mktemp -d)
pid=
stop() {
  if [[ -n $pid ]]; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    pid=
    # The Wine server notices the end a moment later; until then the next
    # copy still finds the running mark and ends itself.
    sleep 3
  fi
}
trap 'stop; wine_down; rm -rf "$work"' EXIT
wine_up "$work" || { echo "bench: Wine did not come up" >&2; exit 1; }
hz=$(getconf CLK_TCK)

# A folder with the program, a site nobody answers and these Set lines.
folder() { # name set-lines
  local dir=$work/$1
  mkdir -p "$dir"
  cp "$win64/bin/Velmora.exe" "$dir/"
  printf '127.0.0.1:9\r\n' >"$dir/ServerList.txt"
  printf '[Set]\r\nWebSite=0\r\n%b' "$2" >"$dir/Set.ini"
  printf '%s' "$dir"
}

# The loader becomes the program's process, so $! is its host process.
start() { # folder args...
  local dir=$1
  shift
  (cd "$dir" && exec "$WINE_LOADER" Velmora.exe "$@") >/dev/null 2>&1 &
  pid=$!
}

comm() { cat "/proc/$pid/comm"; }

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }

# Share of one core over a window that opens after the settle time.
measure() { # settle-seconds window-seconds
  sleep "$1"
  local before after
  before=$(cpu_ticks)
  sleep "$2"
  after=$(cpu_ticks)
  awk -v d=$((after - before)) -v hz="$hz" -v s="$2" -v p="$(comm)" 'BEGIN {
    printf "%.2f %% of one core (%.2f s of processor time in %d s, process %s)\n",
      100 * d / hz / s, d / hz, s, p }'
}

start "$(folder resident 'Server=On\r\n')"
echo "resident, idle:         $(measure 20 "$idle")"
stop
start "$(folder plain '')"
echo "not resident, idle:     $(measure 10 "$idle")"
stop
VELMORA_BIN_DIR=$(wine_path "$win64/bin") wine_run "$win64/bin/velmora_bench.exe" "$runs" 2>/dev/null || status=$?
# "-s" with the delay: the update comes 30 s after start-up, so the window
# from 3 s to 27 s lies inside the delay.
start "$(folder delayed 'Wait=On\r\n')" -s
echo "start-up delay:         $(measure 3 24)"
stop

exit "${status:-0}"
