#!/usr/bin/env bash
# Installs what the builds and tests need on a Debian machine, and only what
# is missing: a second run costs a few dpkg queries.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev googletest python3
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine64 xvfb x11-utils xauth
  locales fonts-ipafont-gothic imagemagick zip unzip curl
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  as_root=()
  [[ $(id -u) -eq 0 ]] || as_root=(sudo)
  "${as_root[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine takes code page 932 from the locale.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "setup: generating the ja_JP.UTF-8 locale"
  as_root=()
  [[ $(id -u) -eq 0 ]] || as_root=(sudo)
  "${as_root[@]}" localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi
