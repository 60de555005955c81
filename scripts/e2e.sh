#!/usr/bin/env bash
# Runs the end-to-end runner under Wine in a fresh prefix, with nginx and
# squid on 127.0.0.1 for it (scripts/real-servers.sh); arguments go to
# the runner (e.g. --gtest_filter='VelmoraStart.*'). Expects a built win64.
# Prints the runner's output; the exit code is the runner's, and 1 when Wine
# does not come up or the runner ran no test. E2E_BUILD names another win64
# build folder (default build/win64).
set -uo pipefail
cd "$(dirname "$0")/.."

log=${E2E_LOG:-$(mktemp)}
bin=${E2E_BUILD:-build/win64}/bin
source scripts/wine-env.sh
source scripts/real-servers.sh
wine_dir=$(mktemp -d)
servers_dir=$(mktemp -d)
trap 'servers_down; wine_down; rm -rf "$wine_dir" "$servers_dir"' EXIT

if ! servers_up "$servers_dir"; then
  echo "e2e: nginx or squid did not come up" | tee "$log"
  exit 1
fi
if ! wine_up "$wine_dir"; then
  echo "e2e: Wine did not come up" | tee "$log"
  exit 1
fi
VELMORA_BIN_DIR=$(wine_path "$bin") wine_run "$bin/velmora_e2e.exe" \
  --gtest_color=no "$@" 2>&1 | tee "$log"
status=${PIPESTATUS[0]}
grep -qE '^\[==========\] [0-9]+ tests? from .* ran' "$log" || status=1
exit "$status"
