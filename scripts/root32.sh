# Sourced by e2e.sh and run.sh: a Debian i386 root with Debian's 32-bit Wine,
# whose i386 code runs under qemu-i386 user-mode emulation, for running the
# 32-bit programs (this machine's kernel runs no 32-bit x86 code itself).
#   root32_prepare   make the root in build/i386-root, or reuse a complete one
#   root32_up        mount what the runs need and register qemu-i386
#   root32_down      undo every mount and registration root32_up made
# Nothing of the host's own packages or architectures changes: debootstrap
# and qemu-i386 are taken out of their packages into build/i386-tools.
# Wine's server is the native 64-bit wineserver64 of the same Wine version:
# the emulated one cannot read other processes' memory.

ROOT32_DIR=${ROOT32_DIR:-$PWD/build/i386-root}
ROOT32_TOOLS=${ROOT32_TOOLS:-$PWD/build/i386-tools}
ROOT32_SUITE=bookworm
# What the root holds; a root made from another list is made anew.
ROOT32_PACKAGES="wine32 locales fonts-ipafont-gothic tzdata libc6:amd64"
ROOT32_MOUNTS=()
ROOT32_BINFMT_MOUNTED=
ROOT32_BINFMT_REGISTERED=

# The first http(s) address of the Debian archive in this machine's apt
# sources, one-line or deb822 form.
root32_mirror() {
  local files=(/etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources)
  local f
  for f in "${files[@]}"; do
    [[ -f $f ]] || continue
    awk '
      /^deb[ \t]/ { for (i = 2; i <= NF; i++) if ($i ~ /^https?:\/\//) { print $i; exit } }
      /^URIs:/ { for (i = 2; i <= NF; i++) if ($i ~ /^https?:\/\//) { print $i; exit } }
    ' "$f"
  done | grep -v -- '-security' | head -n1
}

# Downloads a package with a temporary source list (nothing left behind)
# and unpacks it into a folder; $1 package (name, name/suite or
# name:arch=version), $2 folder, $3 suites.
root32_unpack() {
  local package=$1 into=$2 suites=$3 mirror work
  mirror=$(root32_mirror)
  [[ -n $mirror ]] || { echo "root32: no Debian mirror in the apt sources" >&2; return 1; }
  work=$(mktemp -d)
  mkdir -p "$work/lists/partial" "$work/archives/partial"
  local suite
  for suite in $suites; do
    printf 'deb %s %s main\n' "$mirror" "$suite"
  done >"$work/sources.list"
  local options=(-o "Dir::Etc::SourceList=$work/sources.list" -o "Dir::Etc::SourceParts=-"
    -o "Dir::State::Lists=$work/lists" -o "Dir::Cache::Archives=$work/archives"
    -o "APT::Get::List-Cleanup=0" -o "APT::Sandbox::User=root")
  if ! apt-get "${options[@]}" update -qq >/dev/null ||
    ! (cd "$work" && apt-get "${options[@]}" download -qq "$package" >/dev/null); then
    echo "root32: cannot download $package" >&2
    rm -rf "$work"
    return 1
  fi
  mkdir -p "$into"
  dpkg-deb -x "$work"/*.deb "$into"
  rm -rf "$work"
}

# qemu-i386 10 from the backports: 7.2 of the release spends about 90 s of
# processor time in every Wine process start. Only that one binary is kept.
root32_tools() {
  if [[ ! -x $ROOT32_TOOLS/qemu-i386 ]]; then
    local unpacked=$ROOT32_TOOLS/qemu-user
    rm -rf "$unpacked"
    root32_unpack qemu-user/$ROOT32_SUITE-backports "$unpacked" \
      "$ROOT32_SUITE $ROOT32_SUITE-backports" || return 1
    mv "$unpacked/usr/bin/qemu-i386" "$ROOT32_TOOLS/qemu-i386" && rm -rf "$unpacked" || return 1
  fi
  if [[ ! -x $ROOT32_TOOLS/debootstrap/usr/sbin/debootstrap ]]; then
    rm -rf "$ROOT32_TOOLS/debootstrap"
    root32_unpack debootstrap "$ROOT32_TOOLS/debootstrap" "$ROOT32_SUITE" || return 1
  fi
}

# binfmt_misc: mounted if it is not, qemu-i386 registered with flags OPF
# (the interpreter is opened now, so it works inside the root).
root32_binfmt_up() {
  local binfmt=/proc/sys/fs/binfmt_misc
  if [[ ! -e $binfmt/register ]]; then
    mount -t binfmt_misc binfmt_misc "$binfmt" || return 1
    ROOT32_BINFMT_MOUNTED=1
  fi
  [[ -e $binfmt/velmora-qemu-i386 ]] && echo -1 >"$binfmt/velmora-qemu-i386"
  local magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  local mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  printf ':velmora-qemu-i386:M::%s:%s:%s:OPF\n' "$magic" "$mask" \
    "$ROOT32_TOOLS/qemu-i386" >"$binfmt/register" || return 1
  ROOT32_BINFMT_REGISTERED=1
}

root32_mount() { # kind source target
  local target=$ROOT32_DIR$3
  mkdir -p "$target"
  if [[ $1 == bind ]]; then
    mount --bind "$2" "$target" || return 1
  else
    mount -t "$1" "$2" "$target" || return 1
  fi
  ROOT32_MOUNTS+=("$target")
}

root32_chroot() {
  chroot "$ROOT32_DIR" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
    DEBIAN_FRONTEND=noninteractive "$@"
}

# Mount points inside the root, deepest first.
root32_mounted() {
  awk -v root="$ROOT32_DIR/" 'index($5 "/", root) == 1 { print $5 }' /proc/self/mountinfo | sort -r
}

# What an interrupted run left mounted goes first; never remove the root
# with the host's /tmp or the project still bound into it.
root32_unmount_left() {
  local target
  while read -r target; do
    umount "$target" 2>/dev/null || umount -l "$target" 2>/dev/null
  done < <(root32_mounted)
  ROOT32_MOUNTS=()
  if [[ -n $(root32_mounted) ]]; then
    echo "root32: still mounted in the root: $(root32_mounted | tr '\n' ' ')" >&2
    return 1
  fi
}

root32_prepare() {
  local stamp=$ROOT32_DIR/.velmora-root
  if [[ -f $stamp && $(cat "$stamp") == "$ROOT32_PACKAGES" ]]; then
    root32_tools
    return
  fi
  echo "root32: making the i386 root in $ROOT32_DIR"
  root32_tools || return 1
  local mirror
  mirror=$(root32_mirror)
  root32_unmount_left || return 1
  rm -rf --one-file-system "$ROOT32_DIR"
  mkdir -p "$ROOT32_DIR"
  root32_binfmt_up || return 1
  DEBOOTSTRAP_DIR=$ROOT32_TOOLS/debootstrap/usr/share/debootstrap \
    "$ROOT32_TOOLS/debootstrap/usr/sbin/debootstrap" --arch=i386 --variant=minbase \
    "$ROOT32_SUITE" "$ROOT32_DIR" "$mirror" >"$ROOT32_TOOLS/debootstrap.log" 2>&1 || {
    echo "root32: debootstrap failed, see $ROOT32_TOOLS/debootstrap.log" >&2
    return 1
  }
  root32_mount proc proc /proc && root32_mount bind /dev /dev || return 1
  printf 'deb %s %s main\n' "$mirror" "$ROOT32_SUITE" >"$ROOT32_DIR/etc/apt/sources.list"
  printf 'ja_JP.UTF-8 UTF-8\n' >"$ROOT32_DIR/etc/locale.gen"
  # shellcheck disable=SC2086
  root32_chroot dpkg --add-architecture amd64 &&
    root32_chroot apt-get update -qq &&
    root32_chroot apt-get install -y -qq --no-install-recommends $ROOT32_PACKAGES \
      >"$ROOT32_TOOLS/packages.log" 2>&1 || {
    echo "root32: installing into the root failed, see $ROOT32_TOOLS/packages.log" >&2
    return 1
  }
  # The native server of the very same Wine version.
  local version
  version=$(root32_chroot dpkg-query -W -f='${Version}' wine32) || return 1
  root32_unpack "wine64:amd64=$version" "$ROOT32_TOOLS/wine64" "$ROOT32_SUITE" || return 1
  cp "$ROOT32_TOOLS/wine64/usr/lib/wine/wineserver64" "$ROOT32_DIR/usr/lib/wine/" || return 1
  root32_chroot apt-get clean
  printf '%s' "$ROOT32_PACKAGES" >"$stamp"
}

# The root sees the host's /tmp (X's socket, the prefix, the test servers'
# logs) and the project at the same path as the host does.
root32_up() {
  root32_unmount_left || return 1
  root32_prepare || return 1
  [[ -n $ROOT32_BINFMT_REGISTERED ]] || root32_binfmt_up || return 1
  if ((${#ROOT32_MOUNTS[@]} == 0)); then
    root32_mount proc proc /proc && root32_mount bind /dev /dev || return 1
  fi
  root32_mount bind /dev/shm /dev/shm && root32_mount bind /dev/pts /dev/pts || return 1
  root32_mount bind /tmp /tmp && root32_mount bind "$PWD" "$PWD" || return 1
}

root32_down() {
  local i
  for ((i = ${#ROOT32_MOUNTS[@]} - 1; i >= 0; i--)); do
    umount "${ROOT32_MOUNTS[i]}" 2>/dev/null || umount -l "${ROOT32_MOUNTS[i]}" 2>/dev/null
  done
  ROOT32_MOUNTS=()
  local binfmt=/proc/sys/fs/binfmt_misc
  if [[ -n $ROOT32_BINFMT_REGISTERED && -e $binfmt/velmora-qemu-i386 ]]; then
    echo -1 >"$binfmt/velmora-qemu-i386"
  fi
  ROOT32_BINFMT_REGISTERED=
  if [[ -n $ROOT32_BINFMT_MOUNTED ]]; then
    umount "$binfmt" 2>/dev/null
    ROOT32_BINFMT_MOUNTED=
  fi
}
