#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks to build and test both platforms.
# Safe to run again: it only installs what is missing.
#
# A package index that cannot be fetched (a mirror caught mid-sync) does not
# stop the setup: the update is retried, and the install goes ahead with what
# the indexes have; only an install that fails ends the setup, naming what
# could not be installed. Where the kernel runs 32-bit programs but 32-bit
# Wine cannot be installed, the Windows tests fall back to the win64 tree.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

sudo_cmd=""
if [ "$(id -u)" -ne 0 ]; then sudo_cmd="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
missing() { for p in "$@"; do have "$p" || echo "$p"; done; }

updated=0
update_indexes() {
  [ "$updated" -eq 0 ] || return 0
  updated=1
  local try
  for try in 1 2 3; do
    if $sudo_cmd apt-get update -qq; then return 0; fi
    echo "setup: apt-get update failed (try $try of 3)" >&2
    [ "$try" -eq 3 ] || sleep $((try * 5))
  done
  echo "setup: going on with the package indexes that could be read" >&2
}

# Installs the missing ones of "$@"; returns 1, naming them, when they cannot be.
try_install() {
  local need
  need=$(missing "$@")
  [ -n "$need" ] || return 0
  update_indexes
  echo "setup: installing" $need
  # shellcheck disable=SC2086
  if $sudo_cmd apt-get install -y -qq --no-install-recommends $need >/dev/null; then return 0; fi
  need=$(missing "$@")
  echo "setup: could not install:" $need >&2
  return 1
}

must_install() {
  try_install "$@" || { echo "setup: failed" >&2; exit 1; }
}

must_install cmake ninja-build g++ libgtest-dev libgmock-dev googletest libbenchmark-dev \
  g++-mingw-w64-i686 mingw-w64-i686-dev xvfb xauth file pkg-config \
  fonts-nanum fonts-nanum-coding fonts-wine clang libclang-rt-dev

if [ "$(bash "$here/wine-arch.sh" --kernel)" = win32 ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo_cmd dpkg --add-architecture i386
    updated=0
  fi
  if ! try_install wine wine32:i386; then
    echo "setup: 32-bit Wine cannot be installed now; the Windows tests will run as the win64 tree" >&2
  fi
fi

# Where the kernel cannot run 32-bit programs (32-bit emulation switched off),
# or 32-bit Wine is not to be had, the Windows tests run as x86_64 programs
# under 64-bit Wine.
if [ "$(bash "$here/wine-arch.sh")" = win64 ]; then
  must_install wine wine64 g++-mingw-w64-x86-64 mingw-w64-x86-64-dev
fi

echo "setup: ok"
