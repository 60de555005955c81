# Sourced by run.sh, e2e.sh and the benchmarks: a fresh Wine prefix inside
# Wine's virtual desktop "shell", on $DISPLAY or on an Xvfb of its own.
#   wine_up DIR    create the prefix in DIR (and an X server when needed)
#   wine_run ...   run a Windows program
#   wine_exec ...  a command of Wine's (loader, server) in place of the shell,
#                  for a process whose id is the program's: (wine_exec ...) &
#   wine_down      end the prefix's wineserver and our X server
# WINE_ARCH=win32 runs the 32-bit programs: Debian's 32-bit Wine inside the
# i386 root of scripts/root32.sh; otherwise the host's 64-bit Wine.
# Code page 932 and the zone bias -540 come from the locale and TZ.

WINE_ARCH=${WINE_ARCH:-win64}
if [[ $WINE_ARCH == win32 ]]; then
  source scripts/root32.sh
  WINE_LOADER=/usr/lib/wine/wine
  WINE_SERVER=/usr/lib/wine/wineserver64
else
  # The wine launcher may pick the 32-bit loader and fail: the 64-bit one.
  WINE_LOADER=/usr/lib/wine/wine64
  WINE_SERVER=/usr/lib/wine/wineserver64
  [[ -x $WINE_SERVER ]] || WINE_SERVER=$(command -v wineserver)
fi
XVFB_PID=

wine_up() {
  local dir=$1
  mkdir -p "$dir"
  export WINEPREFIX=$dir/prefix WINEARCH=$WINE_ARCH WINEDEBUG=${WINEDEBUG:--all}
  export WINESERVER=$WINE_SERVER VELMORA_WINE_LOADER=$WINE_LOADER
  export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 TZ=Asia/Tokyo
  # No prompts for the .NET and HTML engines, which nothing here uses.
  export WINEDLLOVERRIDES="mscoree=;mshtml="

  if [[ $WINE_ARCH == win32 ]]; then
    root32_up || { echo "wine-env: the i386 root did not come up" >&2; return 1; }
  fi
  if [[ -z ${DISPLAY:-} ]]; then
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$dir/display" 2>"$dir/xvfb.log" &
    XVFB_PID=$!
    local i
    for ((i = 0; i < 100; i++)); do
      [[ -s $dir/display ]] && break
      sleep 0.1
    done
    [[ -s $dir/display ]] || { echo "wine-env: Xvfb did not start" >&2; return 1; }
    export DISPLAY=:$(head -n1 "$dir/display")
  fi

  # A persistent server first, and wineboot's output in a file: otherwise the
  # service manager inherits our pipes and a piped command never ends.
  mkdir -p "$WINEPREFIX"
  (wine_exec "$WINE_SERVER" -p)
  wine_run wineboot -i >"$dir/wineboot.log" 2>&1 || {
    echo "wine-env: wineboot failed, see $dir/wineboot.log" >&2
    return 1
  }
  # A new prefix comes up with two service managers that take requests in
  # turn, so a service just created is sometimes not found. Booting again on
  # a fresh server leaves one.
  wine_stop_server
  (wine_exec "$WINE_SERVER" -p)
  wine_run wineboot >>"$dir/wineboot.log" 2>&1
  printf '%s\r\n' 'REGEDIT4' '' \
    '[HKEY_CURRENT_USER\Software\Wine\Explorer]' '"Desktop"="shell"' '' \
    '[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]' '"shell"="1024x768"' '' >"$dir/desktop.reg"
  wine_run regedit "$(wine_path "$dir/desktop.reg")" >>"$dir/wineboot.log" 2>&1
}

# Wine maps the Unix root to drive Z: (the i386 root sees our paths as we do).
wine_path() {
  local p
  p=$(realpath -m "$1")
  printf 'Z:%s' "${p//\//\\}"
}

# chroot starts in the root's "/": the command starts in our folder instead.
wine_exec() {
  if [[ $WINE_ARCH == win32 ]]; then
    exec chroot "$ROOT32_DIR" /usr/bin/env --chdir="$PWD" "$@"
  fi
  exec "$@"
}

wine_run() { (wine_exec "$WINE_LOADER" "$@"); }

# -k fails once no server is left for the prefix.
wine_stop_server() {
  local i
  for ((i = 0; i < 50; i++)); do
    (wine_exec "$WINE_SERVER" -k) 2>/dev/null || break
    sleep 0.1
  done
}

wine_down() {
  [[ -z ${WINEPREFIX:-} ]] || wine_stop_server
  if [[ -n $XVFB_PID ]]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=
  fi
  if [[ $WINE_ARCH == win32 ]]; then
    root32_down
  fi
}
