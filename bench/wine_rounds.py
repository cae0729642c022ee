"""Rounds of the Wine benchmark (started by bench/wine-run.sh, which builds
the programs and prepares the prefix, the display and the Wine server).

Per size of System32 (extra files on top of the prefix's own):
  check  quenk.exe /silent and the floor, each on a fresh seed, traced: both
         records must be the same, and the System32 listings are counted
  rounds quenk.exe (window, closed once it is up), the floor, the batch file,
         quenk.exe /silent and quenk.exe /silent /?, in an order that turns
         by one each round, each cleaning on a freshly seeded prefix
Prints the medians, the ratios and quenk.exe's time split.
"""

import difflib
import os
import re
import resource
import statistics
import subprocess
import sys
import time

WORDS = ["NVIDIA", "NVIDIAChipset", "ATi", "Creative", "Realtek"]
QUENK = r"C:\quenk\quenk.exe"
FLOOR = r"C:\quenk\quenk-floor.exe"
SEED = r"C:\quenk\quenk-seed.exe"
BATCH = r"C:\quenk\clean.bat"
SYSTEM32 = "c:\\windows\\system32\\"
TIMEOUT = 300

prefix = os.environ["WINEPREFIX"]
drive_c = os.path.join(prefix, "drive_c")
work = os.path.join(drive_c, "quenk")


def children_cpu():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def run(args):
    """Wall seconds of one Wine program from start to exit, and the CPU
    seconds of its own process (the Wine server's share not counted)."""
    cpu = children_cpu()
    start = time.monotonic()
    subprocess.run(["wine", *args], cwd=work, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=TIMEOUT)
    return time.monotonic() - start, children_cpu() - cpu


def seed(*args):
    return subprocess.run(["wine", SEED, *args], cwd=work, stdout=subprocess.PIPE,
                          stderr=subprocess.DEVNULL, text=True, timeout=TIMEOUT).stdout


def fresh():
    seed("clear")
    seed("seed")


def leftovers():
    """Seeded leftovers still there, and decoys that went."""
    report = seed("report")
    return report.count("still there"), report.count("GONE, BUT MUST STAY")


def fill(count):
    # The seed tool's "fill" makes each file through Wine, which looks the
    # name up in the whole folder first: minutes for 20,000 files. The files
    # are the same when made directly.
    folder = os.path.join(drive_c, "windows", "system32")
    for i in range(count):
        path = os.path.join(folder, f"extra{i:05d}.dll")
        if not os.path.exists(path):
            open(path, "wb").close()


def clear_logs():
    subprocess.run(["rm", "-rf", os.path.join(work, "Logs")], check=True)


def read_record(path):
    with open(path, "rb") as f:
        return f.read().decode("latin-1").replace("\r\n", "\n")


def system32_listings(trace):
    """Searches whose folder is System32 itself, from a trace+file log."""
    count = 0
    for match in re.finditer(r'trace:file:FindFirstFileExW L"((?:[^"\\]|\\.)*)"', trace):
        path = match.group(1).replace("\\\\", "\\").lower()
        if path.startswith(SYSTEM32) and "\\" not in path[len(SYSTEM32):]:
            count += 1
    return count


def traced(args):
    env = dict(os.environ, WINEDEBUG="trace+file")
    done = subprocess.run(["wine", *args], cwd=work, env=env, stdout=subprocess.DEVNULL,
                          stderr=subprocess.PIPE, timeout=TIMEOUT)
    return system32_listings(done.stderr.decode("latin-1"))


def check():
    """Both programs' records on a fresh seed, and their System32 listings."""
    fresh()
    clear_logs()
    quenk_listings = traced([QUENK, "/silent", *WORDS])
    logs = os.listdir(os.path.join(work, "Logs"))
    quenk_record = read_record(os.path.join(work, "Logs", logs[0])) if len(logs) == 1 else None
    fresh()
    floor_listings = traced([FLOOR, "/bench", r"C:\quenk\floor-record.txt"])
    floor_record = read_record(os.path.join(work, "floor-record.txt"))
    if quenk_record == floor_record:
        return quenk_listings, floor_listings, []
    diff = difflib.unified_diff((quenk_record or "").splitlines(), floor_record.splitlines(),
                                "quenk.exe's log file", "the floor's record", lineterm="")
    return quenk_listings, floor_listings, list(diff)


def quenk_window():
    fresh()
    closer = subprocess.Popen(["wine", SEED, "closewhenup"], cwd=work,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(0.5)  # the closer's own start is not quenk.exe's time
    seconds = run([QUENK, *WORDS])
    closer.wait(timeout=TIMEOUT)
    return seconds


def cleaning(args):
    fresh()
    clear_logs()
    return run(args)


PROGRAMS = {
    "quenk": quenk_window,
    "floor": lambda: cleaning([FLOOR, "/bench"]),
    "batch": lambda: cleaning(["cmd", "/c", BATCH]),
    "silent": lambda: cleaning([QUENK, "/silent", *WORDS]),
    "start": lambda: run([QUENK, "/silent", "/?"]),
}
LEFTOVERS_OF = ("quenk", "floor", "batch", "silent")


def measure(size, rounds):
    fill(size)
    quenk_listings, floor_listings, differences = check()
    times = {name: [] for name in PROGRAMS}
    cpu = {name: [] for name in PROGRAMS}
    left = {name: (0, 0) for name in LEFTOVERS_OF}
    names = list(PROGRAMS)
    for r in range(rounds):
        for name in names[r % len(names):] + names[:r % len(names)]:
            wall, used = PROGRAMS[name]()
            times[name].append(wall)
            cpu[name].append(used)
            if name in LEFTOVERS_OF:
                left[name] = max(left[name], leftovers())
    return {"size": size, "times": times, "cpu": cpu, "left": left, "differences": differences,
            "listings": (quenk_listings, floor_listings)}


def spread(values):
    return f"({min(values):.2f}-{max(values):.2f})"


def medians(table):
    return {k: statistics.median(v) for k, v in table.items()}


def report(results, rounds):
    print(f"\nFive-item run under Wine, medians of {rounds} rounds; the programs alternate"
          " within each round.\nRatios: of the medians, with the range of the rounds' own"
          " ratios in brackets.\n")
    print(f"{'extra files':>11}  {'quenk/floor':<18}{'batch/quenk':<18}"
          f"{'quenk s':>7} {'floor s':>7} {'batch s':>7}")
    for res in results:
        t, m = res["times"], medians(res["times"])
        qf = [q / f for q, f in zip(t["quenk"], t["floor"])]
        bq = [b / q for b, q in zip(t["batch"], t["quenk"])]
        print(f"{res['size']:>11,}  {m['quenk'] / m['floor']:5.2f} {spread(qf):<12}"
              f"{m['batch'] / m['quenk']:5.2f} {spread(bq):<12}"
              f"{m['quenk']:7.2f} {m['floor']:7.2f} {m['batch']:7.2f}")

    print("\nquenk.exe's time split, seconds: start = /silent /?; cleaning = the /silent run"
          " less start;\nwindow = the run with the window (closed once it is up) less the"
          " /silent run.\n")
    print(f"{'extra files':>11} {'start':>7} {'window':>7} {'cleaning':>9} {'whole':>7}")
    for res in results:
        m = medians(res["times"])
        print(f"{res['size']:>11,} {m['start']:7.2f} {m['quenk'] - m['silent']:7.2f}"
              f" {m['silent'] - m['start']:9.2f} {m['quenk']:7.2f}")

    print("\nCPU seconds of each program's own process (the Wine server's not counted),"
          " medians:\n")
    print(f"{'extra files':>11} {'quenk':>7} {'silent':>7} {'start':>7} {'floor':>7}"
          f" {'quenk/floor':>12}")
    for res in results:
        c = medians(res["cpu"])
        print(f"{res['size']:>11,} {c['quenk']:7.2f} {c['silent']:7.2f} {c['start']:7.2f}"
              f" {c['floor']:7.2f} {c['quenk'] / c['floor']:12.2f}")

    print("\nChecks, each on a fresh seed: System32 listings per run (searches in System32"
          " itself,\ncounted in a trace+file log); the floor's record against quenk.exe's log"
          " file;\nseeded leftovers left after quenk/floor/batch/silent, worst round.\n")
    print(f"{'extra files':>11} {'listings quenk':>15} {'listings floor':>15} {'same record':>12}"
          f" {'left q/f/b/s':>13}")
    failed = False
    for res in results:
        q, f = res["listings"]
        left = "/".join(str(res["left"][k][0]) for k in LEFTOVERS_OF)
        gone = sum(res["left"][k][1] for k in LEFTOVERS_OF)
        same = not res["differences"]
        print(f"{res['size']:>11,} {q:>15} {f:>15} {'yes' if same else 'NO':>12} {left:>13}"
              + (f"  decoys gone: {gone}" if gone else ""))
        for line in res["differences"][:40]:
            print("    " + line)
        failed = failed or not same or gone > 0

    print("\nEvery round's wall seconds:")
    for res in results:
        for name, values in res["times"].items():
            print(f"{res['size']:>11,} {name:<7}" + " ".join(f"{v:.2f}" for v in values))

    last = results[-1]
    m = medians(last["times"])
    ratio = m["quenk"] / m["floor"]
    print(f"\nAt {last['size']:,} extra files quenk.exe takes {ratio:.2f}x the floor's wall time"
          f" (target 0.80x or less: {'met' if ratio <= 0.8 else 'missed'}).")
    return 1 if failed else 0


def main():
    sizes = [int(s) for s in sys.argv[1].split()]
    rounds = int(sys.argv[2])
    results = []
    for size in sorted(sizes):
        print(f"{size:,} extra files: {rounds} rounds", flush=True)
        results.append(measure(size, rounds))
    return report(results, rounds)


if __name__ == "__main__":
    sys.exit(main())
