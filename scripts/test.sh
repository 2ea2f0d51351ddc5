#!/usr/bin/env bash
# Installs what is missing, builds both platforms and runs every test:
# natively (AddressSanitizer and UBSan) and the Windows programs under Wine.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$(pwd)

bash scripts/setup.sh

werror=-DMIREL_WERROR=ON

echo "== native build (linux) =="
cmake --preset linux $werror >/dev/null
cmake --build --preset linux
echo "== Windows build (win32) =="
cmake --preset win32 $werror >/dev/null
cmake --build --preset win32

# Wine needs a display for windows; start a private Xvfb when there is none.
xvfb_pid=""
cleanup() {
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  MIREL_WINEPREFIX="$root/build/wineprefix" WINEPREFIX="$root/build/wineprefix" wineserver -k 2>/dev/null || true
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 91 140); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
      xvfb_pid=$!
      export DISPLAY=":$n"
      break
    fi
  done
  sleep 1
fi
# Create the Wine prefix once, before tests run in parallel.
export WINEPREFIX="$root/build/wineprefix" WINEDEBUG=-all
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "== creating the Wine prefix =="
  LC_ALL=ko_KR.UTF-8 WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1 || true
  wineserver -w || true
fi

status=0
echo "== native tests =="
ctest --preset linux || status=1
echo "== Windows tests under Wine =="
ctest --preset win32 || status=1
exit $status
