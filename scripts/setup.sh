#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks to build and test both platforms.
# Safe to run again: it only installs what is missing.
set -euo pipefail

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

sudo_cmd=""
if [ "$(id -u)" -ne 0 ]; then sudo_cmd="sudo"; fi

for p in cmake ninja-build g++ libgtest-dev libgmock-dev googletest libbenchmark-dev \
         g++-mingw-w64-i686 mingw-w64-i686-dev xvfb xauth file pkg-config \
         fonts-nanum fonts-nanum-coding fonts-wine clang libclang-rt-dev; do
  have "$p" || need+=("$p")
done

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo_cmd dpkg --add-architecture i386
fi
have wine32:i386 || need+=("wine32:i386")
have wine || need+=("wine")

install_needed() {
  if [ ${#need[@]} -gt 0 ]; then
    echo "setup: installing ${need[*]}"
    export DEBIAN_FRONTEND=noninteractive
    if [ "$updated" -eq 0 ]; then $sudo_cmd apt-get update -qq; updated=1; fi
    $sudo_cmd apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
    need=()
  fi
}
updated=0
install_needed

# Where the kernel cannot run 32-bit programs (32-bit emulation switched off),
# the Windows tests run as x86_64 programs under 64-bit Wine.
if [ "$(bash "$(dirname "${BASH_SOURCE[0]}")/wine-arch.sh")" = win64 ]; then
  for p in wine64 g++-mingw-w64-x86-64 mingw-w64-x86-64-dev; do
    have "$p" || need+=("$p")
  done
  install_needed
fi

# GoogleTest needs std::mutex: the posix thread model of the cross compiler provides it.
echo "setup: ok"
