# Shared by scripts/test and scripts/run (sourced): a Wine prefix of our own
# and an X display for it.

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# new_prefix DIR: a fresh 64-bit prefix that sees no file of this machine
# (only drive C:), drawing its own window frames so screenshots show them.
new_prefix() {
  local dir=$1
  rm -rf "$dir"
  mkdir -p "$(dirname "$dir")"
  export WINEPREFIX=$dir
  wineboot -i >/dev/null 2>&1
  wineserver -w
  find "$WINEPREFIX/dosdevices" -mindepth 1 -maxdepth 1 ! -name 'c:' -exec rm -f {} +
  cat >"$WINEPREFIX/drive_c/wm.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"Decorated"="Y"
REG
  wine regedit /S 'C:\wm.reg' >/dev/null 2>&1
  rm -f "$WINEPREFIX/drive_c/wm.reg"
  # Wine draws its own caption buttons with Marlett, which it finds only here.
  for f in /usr/share/wine/fonts/marlett.ttf /usr/share/wine/wine/fonts/marlett.ttf; do
    [ -f "$f" ] && cp "$f" "$WINEPREFIX/drive_c/windows/Fonts/" && break
  done
  wineserver -w
}

XVFB_PID=""
# start_display: uses $DISPLAY when there is one (and QUENK_XVFB is not 1),
# otherwise starts an Xvfb of our own on a free display number.
start_display() {
  if [ -n "${DISPLAY:-}" ] && [ "${QUENK_XVFB:-0}" != 1 ]; then return; fi
  local n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && return; sleep 0.1; done
  echo "Xvfb did not start on :$n" >&2
  return 1
}

stop_display() {
  if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null || true; wait "$XVFB_PID" 2>/dev/null || true; fi
  XVFB_PID=""
}

stop_wine() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null || true
}
