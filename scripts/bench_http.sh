#!/usr/bin/env bash
# Times the HTTP client on loopback and compares it with curl in the same
# run: whole exchanges (connect, request, head, close) of both against one
# local server, then the time from the peer's send to HeadRequest's return
# for answers after 0, 50 and 300 ms, natively and under Wine; natively also
# a header lookup over many continuation lines and the memory a flooding
# head costs.
#   BENCH_RUNS      exchanges per figure (default 200)
#   BENCH_NATIVE    native build folder (default build/bench-native)
#   BENCH_WIN64     win64 build folder (default build/bench-win64)
#   BENCH_WINE=0    skip the Wine figures
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${BENCH_RUNS:-200}
# The delayed answers take their delay each: fewer of them.
delay_runs=$((runs < 50 ? runs : 50))
native=${BENCH_NATIVE:-build/bench-native}
win64=${BENCH_WIN64:-build/bench-win64}

build() { # folder preset
  [[ -f $1/CMakeCache.txt ]] ||
    cmake --preset "$2" -B "$1" -DCMAKE_BUILD_TYPE=Release -DVELMORA_NET_BENCH=ON >/dev/null
  cmake --build "$1" -j2 --target bench_http >/dev/null
}

# median, p95 and max of one number a line, in ms
stats() {
  sort -g | awk '{ v[NR] = $1 } END {
    p = int(NR * 0.95); if (p < 1) p = 1; if (p > NR) p = NR
    printf "median %.3f ms  p95 %.3f ms  max %.3f ms  (%d runs)", v[int(NR / 2) + 1], v[p], v[NR], NR }'
}
median() { sort -g | awk '{ v[NR] = $1 } END { print v[int(NR / 2) + 1] }'; }

build "$native" native
bench=$native/bench_http
[[ -x $bench ]] || bench=$(find "$native" -name bench_http -type f | head -n1)

work=$(mktemp -d)
server=
cleanup() {
  [[ -n $server ]] && kill "$server" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# One server for curl's exchanges and ours.
"$bench" serve $((2 * runs)) >"$work/port" &
server=$!
for _ in $(seq 100); do [[ -s $work/port ]] && break; sleep 0.05; done
port=$(head -n1 "$work/port")
url=http://127.0.0.1:$port/

for _ in $(seq "$runs"); do
  curl -sI -o /dev/null -w '%{time_total}\n' "$url"
done | awk '{ printf "%.6f\n", $1 * 1000 }' >"$work/curl"
"$bench" client "$port" "$runs" >"$work/ours"
wait "$server" || true
server=

echo "== whole exchange on 127.0.0.1, native ($(uname -m)), same server"
echo "  TIdHTTP          $(stats <"$work/ours")"
echo "  curl -sI         $(stats <"$work/curl")  (curl's time_total)"
awk -v a="$(median <"$work/ours")" -v b="$(median <"$work/curl")" \
  'BEGIN { printf "  median ratio TIdHTTP / curl: %.2f (goal: at most 1.20)\n", a / b }'

echo "== peer's send to HeadRequest's return, native"
"$bench" delays "$delay_runs"

echo "== header lookup over continuation lines, native (linear: the time a line stays flat)"
"$bench" lookup
echo "== a flooding head, native"
"$bench" flood

[[ ${BENCH_WINE:-1} == 0 ]] && exit 0
build "$win64" win64
exe=$(find "$win64" -name bench_http.exe -type f | head -n1)
source scripts/wine-env.sh
trap 'wine_down; cleanup' EXIT
wine_up "$work/wine" >/dev/null
echo "== whole exchange on 127.0.0.1, Wine (Winsock), server in the same process"
echo "  TIdHTTP          $(wine_run "$exe" client 0 "$runs" | tr -d '\r' | stats)"
echo "== peer's send to HeadRequest's return, Wine"
wine_run "$exe" delays "$delay_runs" | tr -d '\r'
