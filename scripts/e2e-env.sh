# shellcheck shell=bash
# Shared by scripts/test and scripts/soak (sourced after wine-env.sh, from
# the source tree's root, after the MinGW-w64 build): the prefixes the Win32
# tests run in, and one run of the end-to-end layer.

E2E_PREFIX=$(pwd)/build/wine/test
# Write failures need a user without root rights: Wine run as root writes
# read-only files. A prefix of nobody's own, with folders made unwritable.
# It lies outside the clone, which may sit in a folder nobody cannot enter
# (root's home, mktemp -d); one per clone, so two clones never share it.
NOBODY_HOME=/tmp/quenk-nobody-$(pwd | md5sum | cut -c1-12)
NOBODY_PREFIX=$NOBODY_HOME/prefix
# A drive too small for a backup: a tmpfs of its own, mounted as root inside
# drive C, so that no drive of the prefix leads out of it.
FULL_DRIVE=$E2E_PREFIX/drive_c/quenk-full-drive

as_root() { [ "$(id -u)" -eq 0 ]; }

# full_drive: a 256 KiB tmpfs as drive F: of the main prefix. The marker in
# drive C names the letter, or says why there is none: the tests that need
# the drive skip with that reason.
full_drive() {
  local marker="$E2E_PREFIX/drive_c/quenk-fixtures/full-drive.txt" why=""
  mkdir -p "$FULL_DRIVE"
  if ! as_root; then
    why="not root: no tmpfs can be mounted"
  elif ! why=$(mount -t tmpfs -o size=256k,mode=0777 quenk-full "$FULL_DRIVE" 2>&1); then
    why="the machine refuses the mount: ${why:-mount failed}"
  else
    why=""
  fi
  if [ -n "$why" ]; then
    printf 'skip %s\n' "$why" >"$marker"
    return 0
  fi
  ln -sfn ../drive_c/quenk-full-drive "$E2E_PREFIX/dosdevices/f:"
  printf 'F:\n' >"$marker"
}

# Before the prefix is made afresh, and at the end.
unmount_full_drive() {
  if mountpoint -q "$FULL_DRIVE" 2>/dev/null; then umount "$FULL_DRIVE" || true; fi
}

# e2e_prefixes: both prefixes made afresh with the programs under test in
# drive C; the display must be up. Leaves the main prefix in use.
e2e_prefixes() {
  unmount_full_drive
  if as_root; then
    rm -rf "$NOBODY_HOME"
    mkdir -m 755 "$NOBODY_HOME"
    new_prefix "$NOBODY_PREFIX" nobody
    if ! su -s /bin/sh -c 'test -w "$0/drive_c"' nobody "$NOBODY_PREFIX"; then
      echo "the unprivileged user cannot write its own prefix $NOBODY_PREFIX" >&2
      return 1
    fi
    local n="$NOBODY_PREFIX/drive_c"
    mkdir -p "$n/quenk" "$n/tests" "$n/quenk-locked"
    cp build/mingw/src/quenk.exe "$n/quenk/"
    cp build/mingw/src/quenk.exe "$n/quenk-locked/"
    cp build/mingw/tests/e2e_tests.exe "$n/tests/"
    chown -R nobody "$n/quenk" "$n/tests" "$n/quenk-locked"
    chmod 555 "$n/quenk-locked"
    in_prefix wineserver -p 120
  fi

  new_prefix "$E2E_PREFIX"
  local c="$E2E_PREFIX/drive_c"
  mkdir -p "$c/quenk" "$c/tests"
  cp build/mingw/src/quenk.exe "$c/quenk/"
  cp build/mingw/tests/contract_win32.exe build/mingw/tests/e2e_tests.exe "$c/tests/"
  # The shipped profiles, which the tests put beside the program when they need them.
  mkdir -p "$c/quenk-fixtures/shipped"
  cp profiles/shipped/*.toml "$c/quenk-fixtures/shipped/"
  # Wine cannot make links from Win32: the link fixtures are made here.
  mkdir -p "$c/quenk-fixtures/tree" "$c/quenk-fixtures/outside"
  echo keep >"$c/quenk-fixtures/outside/keep.txt"
  ln -sfn ../outside "$c/quenk-fixtures/tree/link"
  # Ways a registry value could reach protected folders: links at the first,
  # a middle and the last level, links that point at each other, a dangling
  # link, another drive letter and an administrative share for drive C.
  ln -sfn windows "$c/W"
  ln -sfn users "$c/Documents and Settings"
  mkdir -p "$c/quenk-fixtures/mid" "$c/quenk-fixtures/dangling"
  ln -sfn ../../windows "$c/quenk-fixtures/mid/win"
  ln -sfn ../windows/system32/drivers "$c/quenk-fixtures/last"
  ln -sfn loop2 "$c/quenk-fixtures/loop1"
  ln -sfn loop1 "$c/quenk-fixtures/loop2"
  ln -sfn nowhere "$c/quenk-fixtures/dangling/gone"
  # Links inside a tree to a file and to an empty folder outside it (Wine
  # would delete both targets through them).
  mkdir -p "$c/quenk-fixtures/filelinks" "$c/quenk-fixtures/precious/empty"
  echo precious >"$c/quenk-fixtures/precious/thesis.doc"
  echo x >"$c/quenk-fixtures/filelinks/plain.txt"
  ln -sfn ../precious/thesis.doc "$c/quenk-fixtures/filelinks/thesis-link.doc"
  ln -sfn ../precious/empty "$c/quenk-fixtures/filelinks/favs"
  # The same deep down, where the path is too long for Wine to name a handle.
  local deep="$c/quenk-fixtures/longlink" up="../precious/deep.doc" i
  echo precious >"$c/quenk-fixtures/precious/deep.doc"
  for i in $(seq 28); do deep="$deep/dddddddddd"; up="../$up"; done
  mkdir -p "$deep"
  ln -sfn "$up" "$deep/deep.doc"
  ln -sfn ../drive_c "$E2E_PREFIX/dosdevices/q:"
  mkdir -p "$E2E_PREFIX/dosdevices/unc/localhost"
  ln -sfn ../../../drive_c "$E2E_PREFIX/dosdevices/unc/localhost/c\$"
  full_drive
  # An unwritable program folder for the write-failure tests (they skip as root).
  mkdir -p "$c/quenk-locked" && cp build/mingw/src/quenk.exe "$c/quenk-locked/" && chmod 555 "$c/quenk-locked"
  # Keeps the Wine server (and its desktop with the tray) up between programs.
  wineserver -p 120
}

# win32_program PROGRAM [ARGS...]: one of the test programs in the main prefix.
win32_program() {
  use_prefix "$E2E_PREFIX"
  (cd "$E2E_PREFIX/drive_c" && wine "C:\\tests\\$1" "${@:2}")
}

# run_e2e [GTEST FLAGS...]: the end-to-end tests in the main prefix, and as
# root the write failures again as nobody; fails when any test fails.
run_e2e() {
  local failed=0
  win32_program e2e_tests.exe --gtest_brief=1 "$@" || failed=1
  if as_root; then
    use_prefix "$NOBODY_PREFIX" nobody
    (cd "$NOBODY_PREFIX/drive_c" &&
      in_prefix wine 'C:\tests\e2e_tests.exe' --gtest_brief=1 --gtest_filter='WriteFailures.*') ||
      failed=1
    use_prefix "$E2E_PREFIX"
  fi
  return "$failed"
}

# sealed_prefixes: fails unless the profile folders of both prefixes are real
# folders and no path in their drive C: leads out of them. The check is
# first shown a link out, which it must catch.
sealed_prefixes() {
  local probe="$E2E_PREFIX/drive_c/quenk-fixtures/to-root"
  ln -sfn / "$probe"
  if check_prefix "$E2E_PREFIX" 2>/dev/null; then
    echo "check_prefix missed a link to /" >&2
    rm -f "$probe"
    return 1
  fi
  rm -f "$probe"
  local prefixes=("$E2E_PREFIX:$(id -un)") entry dir user folder
  as_root && prefixes+=("$NOBODY_PREFIX:nobody")
  for entry in "${prefixes[@]}"; do
    dir=${entry%:*} user=${entry##*:}
    check_prefix "$dir" || return 1
    for folder in Desktop Documents Downloads Music Pictures Videos \
      AppData/Roaming/Microsoft/Windows/Templates; do
      if [ -L "$dir/drive_c/users/$user/$folder" ] || [ ! -d "$dir/drive_c/users/$user/$folder" ]; then
        echo "not a real folder: drive_c/users/$user/$folder" >&2
        return 1
      fi
    done
  done
}

stop_e2e() {
  use_prefix "$NOBODY_PREFIX" nobody
  if [ -d "$NOBODY_PREFIX" ]; then
    in_prefix wineserver -k 2>/dev/null || true
    in_prefix wineserver -w 2>/dev/null || true
  fi
  rm -rf "$NOBODY_HOME"
  use_prefix "$E2E_PREFIX"
  stop_wine
  # After the server that holds it has gone.
  in_prefix wineserver -w 2>/dev/null || true
  unmount_full_drive
}
