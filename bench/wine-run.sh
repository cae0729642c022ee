#!/usr/bin/env bash
# A full five-item run under Wine: quenk.exe against the floor (bench/floor.cpp,
# the same removals with nothing but raw Win32 calls, one search per mask)
# and against a batch file (bench/make_batch.cpp: del, rd and reg delete),
# all on one freshly seeded prefix whose System32 holds 0, 5,000 and 20,000
# extra files. The programs alternate within each round; the figures are
# medians, the ratios hold better than absolute times on a shared machine.
# The cleaning is set against the floor's with each program's start taken
# off, and strace counts the complete reads of System32 per run.
#   RUNS=7 SIZES="0 5000 20000" bench/wine-run.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
sizes=${SIZES:-0 5000 20000}
runs=${RUNS:-7}

scripts/deps.sh bench
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "$(nproc)" --target quenk quenk-seed quenk-floor
cmake --preset bench >/dev/null
cmake --build --preset bench -j "$(nproc)" --target make_batch
source scripts/wine-env.sh
trap 'stop_wine; stop_display' EXIT
new_prefix "$root/build/wine/bench"
c="$WINEPREFIX/drive_c"
# Profile folders that Wine links to this machine's home become real ones.
find "$c/users" -mindepth 2 -maxdepth 2 -type l -exec sh -c 'rm -f "$1" && mkdir -p "$1"' _ {} \;
QUENK_XVFB=1 start_display
mkdir -p "$c/quenk"
cp build/mingw/src/quenk.exe build/mingw/tools/quenk-seed.exe build/mingw/bench/quenk-floor.exe \
  "$c/quenk/"
build/bench/bench/make_batch >"$c/quenk/clean.bat"
# The same removals as the floor and the batch file, so without the backup
# (bench/backup-run.sh measures what the backup costs).
printf '[Backup]\r\nBackup=0\r\n' >"$c/quenk/quenk.ini"
# One server for the whole benchmark (a restart would boot the prefix again),
# and one program that keeps the desktop up, as a logged-on Windows does:
# without it every program with a window pays for starting Wine's desktop.
wineserver -p
(cd "$c" && exec wine notepad >/dev/null 2>&1) &
python3 bench/wine_rounds.py "$sizes" "$runs"
