#!/usr/bin/env bash
# Benchmark of the service wrapper: under Wine, the time from StartServiceA to
# the hosted program's first log line and from the stop request to
# SERVICE_STOPPED (median of BENCH_RUNS, default 10), beside the same program
# started directly; and the size of the 32-bit kestrun.exe. Each figure is
# compared with its goal. Expects built win64 and win32 trees (BENCH_BUILD64,
# BENCH_BUILD32, default build/win64 and build/win32). Exit code 1 when a
# figure is missing; goals missed are reported, not failed.
set -uo pipefail
cd "$(dirname "$0")/.."

build64=${BENCH_BUILD64:-build/win64}
build32=${BENCH_BUILD32:-build/win32}
runs=${BENCH_RUNS:-10}
for file in "$build64/bin/kestrun_bench.exe" "$build64/bin/kestrun.exe" \
  "$build64/bin/kshost_windows.exe" "$build32/bin/kestrun.exe"; do
  [[ -f $file ]] || { echo "bench: $file is missing; build win64 and win32 first" >&2; exit 1; }
done

source scripts/wine-env.sh
dir=$(mktemp -d)
trap 'wine_down; rm -rf "$dir"' EXIT
wine_up "$dir/wine" || exit 1
# Booted once more on a fresh server, the prefix has exactly one service
# manager; right after its creation it may have two, which answer in turn.
"$WINE_SERVER" -k
"$WINE_SERVER" -w
"$WINE_SERVER" -p
"$WINE_LOADER" wineboot >>"$dir/wine/wineboot.log" 2>&1

bench="$dir/bench dir"
mkdir "$bench"
cp "$build64/bin/kestrun.exe" "$build64/bin/kshost_windows.exe" "$build64/bin/kestrun_bench.exe" "$bench/"
wine_run "$bench/kestrun_bench.exe" "$(wine_path "$bench")" "$runs" | tr -d '\r' | tee "$dir/out"
status=${PIPESTATUS[0]}

result=$(grep '^RESULT ' "$dir/out")
[[ -n $result ]] || { echo "bench: no result" >&2; exit 1; }
start_ms=$(sed -E 's/.*start_ms=([-0-9.]+).*/\1/' <<<"$result")
stop_ms=$(sed -E 's/.*stop_ms=([-0-9.]+).*/\1/' <<<"$result")
direct_ms=$(sed -E 's/.*direct_ms=([-0-9.]+).*/\1/' <<<"$result")
size=$(stat -c %s "$build32/bin/kestrun.exe")

echo
echo "comparison with the goals:"
awk -v start="$start_ms" -v stop="$stop_ms" -v direct="$direct_ms" -v size="$size" 'BEGIN {
  printf "  start to first log line  %8.1f ms  goal < 300 ms     %s  (direct start %.1f ms, wrapper adds %.1f ms)\n",
    start, (start >= 0 && start < 300) ? "met" : "MISSED", direct, start - direct
  printf "  stop to SERVICE_STOPPED  %8.1f ms  goal < 300 ms     %s\n",
    stop, (stop >= 0 && stop < 300) ? "met" : "MISSED"
  printf "  32-bit kestrun.exe       %8d B   goal < 153600 B  %s  (%.1f KB)\n",
    size, (size < 153600) ? "met" : "MISSED", size / 1024
}'
exit "$status"
