# Sourced by the scripts that run Windows programs: gives Wine a display (a
# private Xvfb when there is none) and the project's prefix with its fonts,
# and stops both on exit. Expects $root to be the repository root.
mirel_xvfb_pid=""
mirel_wine_tree=$(bash "$root/scripts/wine-arch.sh")
if [ "$mirel_wine_tree" = win64 ]; then
  export MIREL_WINEPREFIX=${MIREL_WINEPREFIX:-$root/build/wineprefix64}
else
  export MIREL_WINEPREFIX=${MIREL_WINEPREFIX:-$root/build/wineprefix}
fi
export WINEPREFIX=$MIREL_WINEPREFIX WINEDEBUG=${WINEDEBUG:--all}
# The server that belongs to the loader wine-run.sh uses.
wineserver() {
  if [ "$mirel_wine_tree" = win64 ] && [ -x /usr/lib/wine/wineserver64 ]; then
    /usr/lib/wine/wineserver64 "$@"
  else
    command wineserver "$@"
  fi
}

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
  "$root/scripts/wine-run.sh" wineboot -i >/dev/null 2>&1 || true
  wineserver -w || true
fi

# Wine draws the title bar's buttons with the Marlett symbol face, which
# fonts-wine installs where this Wine does not look for fonts: the prefix's
# font folder has a copy.
mirel_marlett=/usr/share/wine/fonts/marlett.ttf
mirel_prefix_fonts="$WINEPREFIX/drive_c/windows/Fonts"
if [ -f "$mirel_marlett" ] && [ -d "$mirel_prefix_fonts" ] && ! cmp -s "$mirel_marlett" "$mirel_prefix_fonts/marlett.ttf"; then
  cp "$mirel_marlett" "$mirel_prefix_fonts/marlett.ttf"
fi

# The font mapping is applied again whenever it changes, so an existing prefix
# never keeps an older one.
mirel_fonts_reg="$root/scripts/wine/fonts.reg"
mirel_fonts_stamp="$WINEPREFIX/.mirel-fonts"
if ! cmp -s "$mirel_fonts_reg" "$mirel_fonts_stamp"; then
  echo "== setting the Wine prefix's fonts =="
  if "$root/scripts/wine-run.sh" regedit /S "Z:${mirel_fonts_reg//\//\\}" >/dev/null 2>&1; then
    wineserver -w || true
    cp "$mirel_fonts_reg" "$mirel_fonts_stamp"
  else
    echo "wine-session: could not set the prefix's fonts" >&2
  fi
fi
