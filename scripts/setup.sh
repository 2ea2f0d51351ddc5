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
         clang libclang-rt-dev; do
  have "$p" || need+=("$p")
done

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo_cmd dpkg --add-architecture i386
  updated=0
else
  updated=1
fi
have wine32:i386 || need+=("wine32:i386")
have wine || need+=("wine")

if [ ${#need[@]} -gt 0 ]; then
  echo "setup: installing ${need[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $sudo_cmd apt-get update -qq
  $sudo_cmd apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

# GoogleTest needs std::mutex: the posix thread model of the cross compiler provides it.
echo "setup: ok"
