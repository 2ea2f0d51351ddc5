#!/usr/bin/env bash
# Installs what is missing and builds both platforms; the sample host that
# shows a bundled file is not part of the tree yet.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/setup.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32
echo "Built build/win32/MirelCtrl.dll and MirelCtrlD.dll. The sample host program is not built yet."
