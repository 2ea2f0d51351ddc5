#!/usr/bin/env bash
# Prints which Windows tree runs under Wine on this machine: win32 (the i686
# product, under 32-bit Wine) where the kernel runs 32-bit programs and 32-bit
# Wine is installed, win64 (the same sources built for x86_64, under 64-bit
# Wine) where it does not, as on kernels started with 32-bit emulation
# switched off, or where 32-bit Wine could not be installed.
# With --kernel it tells only what the kernel can run.
kernel_runs_32bit() { /lib/ld-linux.so.2 --version >/dev/null 2>&1; }
wine32_installed() {
  dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed'
}

if [ "${1:-}" = --kernel ]; then
  if kernel_runs_32bit; then echo win32; else echo win64; fi
elif [ -n "${MIREL_WINE_TREE:-}" ]; then
  echo "$MIREL_WINE_TREE"
elif kernel_runs_32bit && wine32_installed; then
  echo win32
else
  echo win64
fi
