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

# The Windows tests run in the tree this machine's Wine can run: the i686
# product itself, or the same sources built for x86_64 where the kernel runs
# no 32-bit programs.
wine_tree=$(bash scripts/wine-arch.sh)
if [ "$wine_tree" != win32 ]; then
  echo "== this machine runs no 32-bit programs: Windows tests run as $wine_tree programs =="
  echo "== Windows build ($wine_tree) =="
  cmake --preset "$wine_tree" $werror >/dev/null
  cmake --build --preset "$wine_tree"
fi

# Wine needs a display for windows, and the project's prefix.
. scripts/wine-session.sh

status=0
echo "== native tests =="
ctest --preset linux || status=1
# Fuzzing of the control through its exports and messages (about a minute
# per target, see scripts/fuzz.sh).
bash scripts/fuzz.sh || status=1
echo "== Windows tests under Wine ($wine_tree) =="
ctest --preset "$wine_tree" || status=1
exit $status
