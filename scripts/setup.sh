#!/usr/bin/env bash
# Installs what the builds and tests need on a Debian machine, and only what
# is missing: a second run costs a few dpkg queries.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev googletest python3
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine64 xvfb x11-utils xauth
  locales fonts-ipafont-gothic imagemagick zip unzip curl
  nginx squid apache2-utils
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if ((${#missing[@]})) || ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  if [[ $(id -u) -ne 0 ]]; then
    echo "setup: run once as root to install: ${missing[*]:-} (and the ja_JP.UTF-8 locale)" >&2
    exit 1
  fi
fi

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  # nginx and squid run only as the tests' own processes: their packages
  # must not start or leave system services behind.
  policy=/usr/sbin/policy-rc.d
  own_policy=
  if [[ ! -e $policy ]]; then
    printf '#!/bin/sh\nexit 101\n' >"$policy" && chmod 755 "$policy" && own_policy=1
  fi
  status=0
  apt-get update -qq &&
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
      "${missing[@]}" >/dev/null || status=$?
  [[ -z $own_policy ]] || rm -f "$policy"
  ((status == 0)) || exit "$status"
fi

# Wine takes code page 932 from the locale.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "setup: generating the ja_JP.UTF-8 locale"
  localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi
