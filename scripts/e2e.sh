#!/usr/bin/env bash
# Runs the end-to-end runner under Wine in a fresh prefix, with nginx and
# squid on 127.0.0.1 for it (scripts/real-servers.sh); arguments go to the
# runner (e.g. --gtest_filter='VelmoraStart.*'). Prints the runner's output;
# the exit code is the runner's, and 1 when Wine does not come up or the
# runner ran no test.
#   E2E_ARCH=win64  (default) the 64-bit programs and runner of build/win64
#   E2E_ARCH=win32  the shipped 32-bit programs of build/win32, driven by the
#                   32-bit runner of build/win32-e2e, in 32-bit Wine
#   E2E_LOG         where the output goes as well
set -uo pipefail
cd "$(dirname "$0")/.."

log=${E2E_LOG:-$(mktemp)}
export WINE_ARCH=${E2E_ARCH:-win64}
if [[ $WINE_ARCH == win32 ]]; then
  runner_dir=build/win32-e2e/bin
  programs_dir=build/win32/bin
else
  runner_dir=build/win64/bin
  programs_dir=$runner_dir
fi
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
VELMORA_BIN_DIR=$(wine_path "$programs_dir") VELMORA_HOSTED_DIR=$(wine_path "$runner_dir") \
  wine_run "$runner_dir/velmora_e2e.exe" --gtest_color=no "$@" 2>&1 | tee "$log"
status=${PIPESTATUS[0]}
grep -qE '^\[==========\] [0-9]+ tests? from .* ran' "$log" || status=1
exit "$status"
