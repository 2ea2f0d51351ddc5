#!/usr/bin/env bash
# Installs what is missing, builds both platforms and runs every test:
# natively (AddressSanitizer and UBSan), the fuzz targets for a bounded time,
# and the Windows programs under Wine.
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

# Wine needs a display for windows, and the project's prefix.
. scripts/wine-session.sh

status=0
echo "== native tests =="
ctest --preset linux || status=1
# Fuzzing of the control through its exports and messages (about a minute
# per target, see scripts/fuzz.sh).
bash scripts/fuzz.sh || status=1
echo "== Windows tests under Wine =="
ctest --preset win32 || status=1
exit $status
