#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, and only those that are missing.
# Runs as root or through sudo. Safe to run again: with everything present it does nothing.
set -euo pipefail

packages=(
  cmake make g++ clang libclang-rt-14-dev googletest zlib1g-dev
  mingw-w64 libz-mingw-w64-dev
  wine wine32:i386 wine64 xvfb x11-utils
  python3 python3-pytest imagemagick nsis
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"
  elif command -v sudo >/dev/null 2>&1; then sudo "$@"
  else echo "install-deps: need root or sudo to run: $*" >&2; exit 1
  fi
}

is_installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

missing=()
for p in "${packages[@]}"; do
  is_installed "$p" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "install-deps: adding the i386 architecture for 32-bit Wine"
  as_root dpkg --add-architecture i386
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
as_root apt-get update -qq
if ! as_root apt-get install -y -qq --no-install-recommends "${missing[@]}" >/tmp/install-deps.log 2>&1; then
  # Find out which package cannot be installed, so the message names it.
  for p in "${missing[@]}"; do
    if ! as_root apt-get install -y -qq --no-install-recommends "$p" >>/tmp/install-deps.log 2>&1; then
      echo "install-deps: package '$p' could not be installed (see /tmp/install-deps.log)" >&2
      exit 1
    fi
  done
fi
echo "install-deps: done"
