#!/usr/bin/env bash
# Installs what is missing, builds the Windows tree and runs the sample host
# under Wine on its bundled sample file; the host writes a screenshot of its
# window and exits. MIREL_HOST_BUILD_DIR chooses another build directory.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$(pwd)
wine_tree=$(bash scripts/wine-arch.sh)
build_dir=${MIREL_HOST_BUILD_DIR:-build/$wine_tree}
shot=build/host-screenshot.bmp

bash scripts/setup.sh
cmake --preset "$wine_tree" -B "$build_dir" >/dev/null
cmake --build "$build_dir" --target mirelhost

# Wine needs a display for windows, and the project's prefix.
. scripts/wine-session.sh

# No window manager runs under Xvfb: Wine draws the host's frame itself, so
# the title bar (file name, encoding, newline kind) is in the screenshot.
scripts/wine-run.sh reg add 'HKCU\Software\Wine\AppDefaults\mirelhost.exe\X11 Driver' \
  /v Decorated /d N /f >/dev/null 2>&1 || true

rm -f "$shot"
echo "== running the sample host on its bundled sample =="
status=0
scripts/wine-run.sh "$build_dir/host/mirelhost.exe" --screenshot "$shot" || status=$?
if [ "$status" -ne 0 ] || [ ! -s "$shot" ]; then
  echo "run-host: the sample host failed (exit code $status)" >&2
  exit $(( status == 0 ? 1 : status ))
fi
echo "Screenshot of the host window: $root/$shot"
