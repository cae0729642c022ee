#!/usr/bin/env bash
# A full five-item run under Wine on a prefix whose System32 holds 20,000
# extra files: quenk.exe's wall time and peak memory, measured in the same
# run as a batch file that does the same removals with del, rd and reg
# delete under the same Wine. Each is run on a freshly seeded prefix, three
# times; the figures are the medians.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
extra=${EXTRA_FILES:-20000}
runs=${RUNS:-3}

scripts/deps.sh bench
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "$(nproc)" --target quenk quenk-seed
cmake --preset bench >/dev/null
cmake --build --preset bench -j "$(nproc)" --target make_batch
source scripts/wine-env.sh
trap 'stop_wine; stop_display' EXIT
new_prefix "$root/build/wine/bench"
QUENK_XVFB=1 start_display
c="$WINEPREFIX/drive_c"
mkdir -p "$c/quenk"
cp build/mingw/src/quenk.exe build/mingw/tools/quenk-seed.exe "$c/quenk/"
build/bench/bench/make_batch >"$c/quenk/clean.bat"
wineserver -p 300
seed() { (cd "$c/quenk" && wine 'C:\quenk\quenk-seed.exe' "$@"); }
seed fill 'C:\windows\system32' "$extra"

# measure LABEL COMMAND...: prints wall seconds and the peak resident set of
# the command's processes (the Wine server, already running, is not counted).
measure() {
  python3 - "$@" <<'PY'
import resource, subprocess, sys, time
t = time.monotonic()
subprocess.run(sys.argv[2:], check=False, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
wall = time.monotonic() - t
rss = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss / 1024
print(f"{sys.argv[1]} {wall:.3f} {rss:.1f}")
PY
}

results=$(mktemp)
for i in $(seq "$runs"); do
  seed clear; seed seed
  (cd "$c/quenk" && seed closewhenup &)
  (cd "$c/quenk" && measure quenk wine 'C:\quenk\quenk.exe' NVIDIA NVIDIAChipset ATi Creative Realtek) >>"$results"
  left_quenk=$(seed report | grep -c "still there" || true)
  seed clear; seed seed
  (cd "$c/quenk" && measure batch wine cmd /c 'C:\quenk\clean.bat') >>"$results"
  left_batch=$(seed report | grep -c "still there" || true)
done
python3 - "$results" "$extra" "$left_quenk" "$left_batch" <<'PY'
import statistics, sys
rows = [l.split() for l in open(sys.argv[1])]
print(f"Five-item run, System32 with {sys.argv[2]} extra files, Wine, median of {len(rows)//2} runs:")
print(f"{'':8} {'wall s':>8} {'peak MiB':>9}  leftovers left")
for who, left in (("quenk", sys.argv[3]), ("batch", sys.argv[4])):
    w = [float(r[1]) for r in rows if r[0] == who]
    m = [float(r[2]) for r in rows if r[0] == who]
    print(f"{who:8} {statistics.median(w):8.2f} {statistics.median(m):9.1f}  {left}")
PY
