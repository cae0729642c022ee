# shellcheck shell=bash
# Shared by the scripts that run Wine (sourced): a Wine prefix of our own
# that cannot reach this machine's files, and an X display for it.

export WINEDEBUG=-all
# Wine spells file names in the Unix locale's character set: under the
# plain C locale it cannot make a name outside ASCII at all.
export LANG=C.UTF-8
# No Mono or Gecko prompts, and no menu entries or file types written into
# the Linux home.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

PREFIX_USER=""
PREFIX_HOME=""

# in_prefix CMD...: runs CMD for $WINEPREFIX as the prefix's owner: this
# user, or the one new_prefix was given (with a home next to the prefix).
in_prefix() {
  if [ -z "$PREFIX_USER" ]; then
    "$@"
    return
  fi
  su -s /bin/sh -c 'exec env "$@"' -- "$PREFIX_USER" sh HOME="$PREFIX_HOME" WINEPREFIX="$WINEPREFIX" \
    WINEDEBUG="$WINEDEBUG" WINEDLLOVERRIDES="$WINEDLLOVERRIDES" DISPLAY="${DISPLAY:-}" "$@"
}

# use_prefix DIR [USER]: later Wine commands (through in_prefix) use the
# prefix in DIR, owned by USER when given.
use_prefix() {
  export WINEPREFIX=$1
  PREFIX_USER=${2:-}
  PREFIX_HOME=$HOME
  [ -z "$PREFIX_USER" ] || PREFIX_HOME=$(dirname "$1")
}

# new_prefix DIR [USER]: a fresh 64-bit prefix in DIR, owned by USER when
# given, that sees no file of this machine: only drive C:, and real folders
# where Wine links profile folders (Desktop, Documents, ...) to the Linux
# home. Draws its own window frames so screenshots show them. Uses it from
# here on (use_prefix).
new_prefix() {
  local dir=$1
  rm -rf "$dir"
  mkdir -p "$(dirname "$dir")"
  use_prefix "$@"
  [ -z "$PREFIX_USER" ] || chown "$PREFIX_USER" "$PREFIX_HOME"
  local boot
  if ! boot=$(in_prefix wineboot -i 2>&1); then
    echo "Wine could not make a prefix in $dir${PREFIX_USER:+ as $PREFIX_USER}:" >&2
    printf '%s\n' "$boot" | tail -n 20 >&2
    return 1
  fi
  in_prefix wineserver -w
  cat >"$dir/drive_c/wm.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"Decorated"="Y"
REG
  in_prefix wine regedit /S 'C:\wm.reg' >/dev/null 2>&1
  rm -f "$dir/drive_c/wm.reg"
  # Wine draws its own caption buttons with Marlett, which it finds only here.
  for f in /usr/share/wine/fonts/marlett.ttf /usr/share/wine/wine/fonts/marlett.ttf; do
    [ -f "$f" ] && cp "$f" "$dir/drive_c/windows/Fonts/" && break
  done
  in_prefix wineserver -w
  find "$dir/dosdevices" -mindepth 1 -maxdepth 1 ! -name 'c:' -exec rm -f {} +
  local link
  while IFS= read -r -d '' link; do
    if ! inside_prefix "$dir" "$link"; then
      local folder=0
      [ -d "$link" ] && folder=1
      rm -f "$link"
      if [ "$folder" = 1 ]; then
        mkdir "$link"
        [ -z "$PREFIX_USER" ] || chown "$PREFIX_USER" "$link"
      fi
    fi
  done < <(find "$dir/drive_c" -type l -print0)
  check_prefix "$dir"
}

# inside_prefix DIR PATH: whether PATH, all links resolved, is DIR or below it.
inside_prefix() {
  local root target
  root=$(realpath "$1")
  target=$(realpath -m "$2")
  [ "$target" = "$root" ] || [[ "$target" == "$root"/* ]]
}

# check_prefix DIR: fails, naming each, when a link under drive_c leads out of
# the prefix, or a drive letter or share leads anywhere but into drive_c
# (the tests map one more letter and a share onto drive C itself).
check_prefix() {
  local dir=$1 bad=0 link
  while IFS= read -r -d '' link; do
    if ! inside_prefix "$dir" "$link"; then
      echo "leads out of the prefix: ${link#"$dir"/} -> $(realpath -m "$link")" >&2
      bad=1
    fi
  done < <(find "$dir/drive_c" -type l -print0)
  while IFS= read -r -d '' link; do
    if ! inside_prefix "$dir/drive_c" "$link"; then
      echo "a drive or share leads out of drive C: ${link#"$dir"/}" >&2
      bad=1
    fi
  done < <(
    find "$dir/dosdevices" -mindepth 1 -maxdepth 1 -name '?:' -print0
    [ -d "$dir/dosdevices/unc" ] && find "$dir/dosdevices/unc" -type l -print0
  )
  if [ "$(realpath -m "$dir/dosdevices/c:")" != "$(realpath "$dir/drive_c")" ]; then
    echo "C: is not the prefix's drive_c" >&2
    bad=1
  fi
  return "$bad"
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
  [ -n "${WINEPREFIX:-}" ] && in_prefix wineserver -k 2>/dev/null || true
}
