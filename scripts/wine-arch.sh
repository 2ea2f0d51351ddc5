#!/usr/bin/env bash
# Prints which Windows tree runs under Wine on this machine: win32 (the i686
# product, under 32-bit Wine) where the kernel runs 32-bit programs, win64 (the
# same sources built for x86_64, under 64-bit Wine) where it does not, as on
# kernels started with 32-bit emulation switched off.
if [ -n "${MIREL_WINE_TREE:-}" ]; then
  echo "$MIREL_WINE_TREE"
elif /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
  echo win32
else
  echo win64
fi
