#!/usr/bin/env bash
# Builds the 64-bit programs and starts Velmora under Wine, inside Wine's
# virtual desktop. With $DISPLAY it stays until you close it; without one it
# runs on an Xvfb of its own and leaves a screenshot in out/velmora.png.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/setup.sh
scripts/build.sh win64

run_dir=$root/out/run
rm -rf "$run_dir" && mkdir -p "$run_dir"
cp build/win64/bin/Velmora.exe "$run_dir/"
for shipped in ServerList.txt ReadMe.txt; do
  if [[ -f build/win64/bin/$shipped ]]; then cp "build/win64/bin/$shipped" "$run_dir/"; fi
done

headless=
[[ -n ${DISPLAY:-} ]] || headless=1

source scripts/wine-env.sh
wine_dir=$(mktemp -d)
trap 'wine_down; rm -rf "$wine_dir"' EXIT
wine_up "$wine_dir"

cd "$run_dir"
wine_run Velmora.exe &
velmora=$!
if [[ -n $headless ]]; then
  # Wine needs a few seconds to bring up the desktop and the window.
  sleep "${SCREENSHOT_DELAY:-10}"
  import -window root "$root/out/velmora.png"
  echo "screenshot: out/velmora.png"
else
  wait "$velmora" || true
fi
