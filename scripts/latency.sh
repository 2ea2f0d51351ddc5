#!/usr/bin/env bash
# Builds the Windows tree and prints the keystroke latency table of the real
# control window under Wine (medians of 30 rounds): full repaint, a character
# typed at the start and at the end, Backspace, Page Down and a caret move
# next to a bracket, for the document sizes given (default 13 B, 10 MB, 100 MB).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$(pwd)
bash scripts/setup.sh >/dev/null
wine_tree=$(bash scripts/wine-arch.sh)
cmake --preset "$wine_tree" >/dev/null
cmake --build --preset "$wine_tree" --target mirel_latency >/dev/null
. scripts/wine-session.sh
echo "Windows tree: $wine_tree"
scripts/wine-run.sh "build/$wine_tree/bench/latency/mirel_latency.exe" "$@"
