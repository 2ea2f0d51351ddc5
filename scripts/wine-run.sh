#!/usr/bin/env bash
# Runs a Windows program under Wine with the project's private prefix and a
# Korean system locale (ANSI code page 949), as ctest's cross-compiling emulator.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${MIREL_WINEPREFIX:-$here/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
exec env LC_ALL=ko_KR.UTF-8 wine "$@"
