#!/usr/bin/env bash
# The cost of the backup under Wine: one NVIDIA run whose Help\nvcpl folder
# holds 10,000 files of 4 KiB, once with the backup (every file saved first)
# and once without, on a freshly seeded prefix each time; and a start with
# nothing to clean, for the program's own start and exit. The files lie in
# 100 folders of 100 (PER=100), or all in the one folder (PER=0). Wall time
# from start to exit, medians of RUNS runs.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
files=${FILES:-10000}
size=${SIZE:-4096}
runs=${RUNS:-3}
per=${PER:-100}

scripts/deps.sh bench
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "$(nproc)" --target quenk quenk-seed
source scripts/wine-env.sh
trap 'stop_wine; stop_display' EXIT
new_prefix "$root/build/wine/bench-backup"
QUENK_XVFB=1 start_display
c="$WINEPREFIX/drive_c"
mkdir -p "$c/quenk"
cp build/mingw/src/quenk.exe build/mingw/tools/quenk-seed.exe "$c/quenk/"
wineserver -p 600
seed() { (cd "$c/quenk" && wine 'C:\quenk\quenk-seed.exe' "$@"); }
settings() { printf '[Backup]\r\nBackup=%s\r\n' "$1" >"$c/quenk/quenk.ini"; }

measure() {
  python3 - "$@" <<'PY'
import subprocess, sys, time
t = time.monotonic()
subprocess.run(sys.argv[2:], check=False, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
print(f"{sys.argv[1]} {time.monotonic() - t:.3f}")
PY
}
run() {  # run LABEL: one timed quenk.exe NVIDIA, closed as soon as its window is up
  (cd "$c/quenk" && seed closewhenup &)
  (cd "$c/quenk" && measure "$1" wine 'C:\quenk\quenk.exe' NVIDIA) >>"$results"
}
prepare() {  # prepare BACKUP: fresh leftovers, the big folder, the flag
  rm -rf "$c/quenk/Backups"
  seed clear
  seed seed NVIDIA
  if [ "$per" -gt 0 ]; then
    seed fill 'C:\windows\Help\nvcpl' "$files" "$size" "$per"
  else
    seed fill 'C:\windows\Help\nvcpl' "$files" "$size"
  fi
  settings "$1"
}

results=$(mktemp)
left=0
copied=0
for _ in $(seq "$runs"); do
  prepare 1
  run backup
  copied=$(find "$c/quenk/Backups" -type f -path '*nvcpl*' | wc -l)
  [ -d "$c/windows/Help/nvcpl" ] && left=$((left + 1))
  prepare 0
  run plain
  [ -d "$c/windows/Help/nvcpl" ] && left=$((left + 1))
  seed clear
  rm -rf "$c/quenk/Backups"
  run empty
done
python3 - "$results" "$files" "$size" "$copied" "$left" "$per" <<'PY'
import statistics, sys
rows = [l.split() for l in open(sys.argv[1])]
med = {k: statistics.median(float(r[1]) for r in rows if r[0] == k) for k in ("backup", "plain", "empty")}
n = len(rows) // 3
where = f"in folders of {sys.argv[6]}" if sys.argv[6] != "0" else "in one folder"
print(f"NVIDIA run, Help\\nvcpl with {sys.argv[2]} files of {sys.argv[3]} bytes {where}, Wine, median of {n} runs:")
print(f"  with backup    {med['backup']:7.2f} s  ({sys.argv[4]} files in the backup)")
print(f"  without backup {med['plain']:7.2f} s")
print(f"  nothing to do  {med['empty']:7.2f} s  (start, window, exit)")
run_b, run_p = med["backup"] - med["empty"], med["plain"] - med["empty"]
print(f"  whole program: {med['backup'] / med['plain']:.2f}x   the run alone: {run_b:.2f} s / {run_p:.2f} s = {run_b / run_p:.2f}x")
print(f"  runs that left the folder: {sys.argv[5]}")
PY
