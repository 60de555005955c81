#!/usr/bin/env bash
# Builds the 64-bit programs and starts Velmora under Wine, inside Wine's
# virtual desktop. With $DISPLAY it stays until you close it; without one it
# runs on an Xvfb of its own and leaves a screenshot in out/velmora.png, then
# starts it as at log-on while resident and leaves out/velmora-startup.png
# (the tray icon, no window).
#   scripts/run.sh --win32   the same with the shipped 32-bit Velmora, in
#                            32-bit Wine (scripts/root32.sh; run as root)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

export WINE_ARCH=win64
[[ ${1:-} == --win32 ]] && WINE_ARCH=win32
scripts/setup.sh
scripts/build.sh "$WINE_ARCH"
bin=$root/build/$WINE_ARCH/bin

run_dir=$root/out/run
rm -rf "$run_dir" && mkdir -p "$run_dir"
cp "$bin/Velmora.exe" "$run_dir/"
for shipped in ServerList.txt ReadMe.txt; do
  if [[ -f $bin/$shipped ]]; then cp "$bin/$shipped" "$run_dir/"; fi
done

headless=
[[ -n ${DISPLAY:-} ]] || headless=1

source scripts/wine-env.sh
wine_dir=$(mktemp -d)
trap 'wine_down; rm -rf "$wine_dir"' EXIT
wine_up "$wine_dir"

cd "$run_dir"
(wine_exec "$WINE_LOADER" Velmora.exe) &
velmora=$!
if [[ -z $headless ]]; then
  wait "$velmora" || true
  exit 0
fi
# Wine needs a few seconds to bring up the desktop and the window.
sleep "${SCREENSHOT_DELAY:-10}"
import -window root "$root/out/velmora.png"
echo "screenshot: out/velmora.png"
kill "$velmora" 2>/dev/null || true
wait "$velmora" 2>/dev/null || true

# A log-on start while resident, against a local server whose clock is years
# off, so that the update is refused quietly: only the tray icon is left.
startup_dir=$root/out/run-startup
rm -rf "$startup_dir" && mkdir -p "$startup_dir"
cp "$bin/Velmora.exe" "$startup_dir/"
python3 - >"$startup_dir/port" <<'PY' &
import http.server, socketserver, sys
class Old(http.server.BaseHTTPRequestHandler):
    def date_time_string(self, timestamp=None):
        return "Thu, 01 Jan 2015 00:00:00 GMT"
    def do_HEAD(self):
        self.send_response(200)
        self.end_headers()
    def log_message(self, *args):
        pass
with socketserver.TCPServer(("127.0.0.1", 0), Old) as server:
    print(server.server_address[1], flush=True)
    server.timeout = 1
    for _ in range(60):
        server.handle_request()
PY
old_server=$!
trap 'kill "$old_server" 2>/dev/null || true; wine_down; rm -rf "$wine_dir"' EXIT
for _ in $(seq 50); do [[ -s $startup_dir/port ]] && break; sleep 0.1; done
printf '127.0.0.1:%s\r\n' "$(head -n1 "$startup_dir/port")" >"$startup_dir/ServerList.txt"
printf '[Set]\r\nWebSite=0\r\nNonError=On\r\nServer=On\r\nGosa=On\r\nGosaTime=300\r\n' \
  >"$startup_dir/Set.ini"
cd "$startup_dir"
(wine_exec "$WINE_LOADER" Velmora.exe -s) &
velmora=$!
sleep "${SCREENSHOT_DELAY:-10}"
import -window root "$root/out/velmora-startup.png"
echo "screenshot: out/velmora-startup.png"
kill "$velmora" 2>/dev/null || true
wait "$velmora" 2>/dev/null || true
