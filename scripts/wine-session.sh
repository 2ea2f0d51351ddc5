# Sourced by the scripts that run Windows programs: gives Wine a display (a
# private Xvfb when there is none), the project's prefix, and stops both on exit.
# Expects $root to be the repository root.
mirel_xvfb_pid=""
export MIREL_WINEPREFIX=${MIREL_WINEPREFIX:-$root/build/wineprefix}
export WINEPREFIX=$MIREL_WINEPREFIX WINEDEBUG=${WINEDEBUG:--all}

mirel_wine_session_end() {
  wineserver -k 2>/dev/null || true
  if [ -n "$mirel_xvfb_pid" ]; then kill "$mirel_xvfb_pid" 2>/dev/null || true; fi
}
trap mirel_wine_session_end EXIT

if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 91 140); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
      mirel_xvfb_pid=$!
      export DISPLAY=":$n"
      break
    fi
  done
  if [ -z "${DISPLAY:-}" ]; then
    echo "no free display number for Xvfb" >&2
    exit 1
  fi
  sleep 1
fi

# Made once, before programs run in parallel.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "== creating the Wine prefix (once) =="
  LC_ALL=ko_KR.UTF-8 WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1 || true
  wineserver -w || true
fi
