#!/usr/bin/env bash
# The size of the two shipped 32-bit programs and what makes up Velmora.exe,
# from the linker's map; for comparison, in the same run, Velmora.exe built
# for speed (Release) instead of for size.
#   BENCH_RELEASE   build folder of the comparison (default build/bench-win32-release)
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/build.sh win32 >/dev/null
release=${BENCH_RELEASE:-build/bench-win32-release}
[[ -f $release/CMakeCache.txt ]] ||
  cmake --preset win32 -B "$release" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$release" -j2 --target Velmora >/dev/null

size() { stat -c %s "$1"; }
kb() { awk -v b="$1" 'BEGIN { printf "%.1f KB", b / 1024 }'; }

velmora=build/win32/bin/Velmora.exe
echo "== shipped 32-bit programs (optimised for size, stripped)"
echo "  Velmora.exe  $(size "$velmora") B  ($(kb "$(size "$velmora")"); goal: at most 300 KB)"
echo "  kestrun.exe  $(size build/win32/bin/kestrun.exe) B  ($(kb "$(size build/win32/bin/kestrun.exe)"))"
echo "== Velmora.exe, what its size is made of (bytes of the sections placed)"
python3 tests/bench/map_sizes.py build/win32/Velmora.map 12
echo "== for comparison, the same sources"
echo "  built for speed (Release), stripped: $(size "$release/bin/Velmora.exe") B" \
  "($(kb "$(size "$release/bin/Velmora.exe")"))"
