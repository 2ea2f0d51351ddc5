#!/usr/bin/env bash
# Builds the Windows tree that runs under Wine here (scripts/wine-arch.sh) and
# times the real control library in it:
#   bash scripts/latency.sh [BYTES ...]
#     the keystroke latency table of the real control window (medians of 30
#     rounds): full repaint, a character typed at the start and at the end,
#     Backspace, Page Down and a caret move next to a bracket, for the
#     document sizes given (default 13 B, 10 MB, 100 MB);
#   bash scripts/latency.sh find [MIB] [ROUNDS]
#     find through the exports (medians of 7 rounds): a case-sensitive and a
#     case-blind find over a MIB MiB text (default 100) and counting every
#     match of a word by repeated finds.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$(pwd)
program=latency/mirel_latency
if [ "${1:-}" = find ]; then
  program=dllfind/mirel_dll_find
  shift
fi
bash scripts/setup.sh >/dev/null
wine_tree=$(bash scripts/wine-arch.sh)
cmake --preset "$wine_tree" >/dev/null
cmake --build --preset "$wine_tree" --target "${program#*/}" >/dev/null
. scripts/wine-session.sh
echo "Windows tree: $wine_tree"
scripts/wine-run.sh "build/$wine_tree/bench/$program.exe" "$@"
