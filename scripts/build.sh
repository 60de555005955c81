#!/usr/bin/env bash
# Configures (once) and builds the given presets, by default all of them.
set -euo pipefail
cd "$(dirname "$0")/.."

presets=("$@")
((${#presets[@]})) || presets=(native native-asan fuzz win32 win32-e2e win64)

for preset in "${presets[@]}"; do
  echo "== build $preset"
  [[ -f build/$preset/CMakeCache.txt ]] || cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$(nproc)"
done
