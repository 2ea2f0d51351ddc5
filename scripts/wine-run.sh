#!/usr/bin/env bash
# Runs a Windows program under Wine with the project's private prefix and a
# Korean system locale (ANSI code page 949), as ctest's cross-compiling emulator.
# The tree that scripts/wine-arch.sh picks decides the loader and the prefix.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
tree=$(bash "$here/scripts/wine-arch.sh")
if [ "$tree" = win64 ]; then
  loader=$(command -v wine64 || echo /usr/lib/wine/wine64)
  export WINEPREFIX=${MIREL_WINEPREFIX:-$here/build/wineprefix64}
else
  loader=wine
  export WINEPREFIX=${MIREL_WINEPREFIX:-$here/build/wineprefix}
fi
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
exec env LC_ALL=ko_KR.UTF-8 "$loader" "$@"
