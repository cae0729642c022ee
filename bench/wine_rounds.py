"""Rounds of the Wine benchmark (started by bench/wine-run.sh, which builds
the programs and prepares the prefix, the display and the Wine server).

Per size of System32 (extra files on top of the prefix's own):
  check  quenk.exe /silent, quenk.exe /silent /? and the floor, each on a
         fresh seed, under strace: both records must be the same, and the
         complete reads of System32 (getdents64 on its fd up to the end) are
         counted
  rounds quenk.exe (window, closed once it is up), the floor, the batch file,
         quenk.exe /silent, quenk.exe /silent /? and the floor's do-nothing
         start, in an order that turns by one each round, each cleaning on a
         freshly seeded prefix
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


def system32_reads(trace):
    """Complete reads of System32 in an strace -y log of getdents64: each
    read of its directory fd that returns 0 ends one."""
    return sum(1 for line in trace.splitlines()
               if re.search(r"getdents64\(\d+<[^>]*/windows/system32>", line)
               and line.rstrip().endswith("= 0"))


def traced(args):
    log = os.path.join(work, "getdents.strace")
    subprocess.run(["strace", "-f", "-y", "-e", "trace=getdents64", "-o", log, "wine", *args],
                   cwd=work, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   timeout=TIMEOUT)
    with open(log, encoding="latin-1") as f:
        reads = system32_reads(f.read())
    os.remove(log)
    return reads


def check():
    """Both programs' records on a fresh seed, and their System32 reads:
    quenk.exe's run, its start alone and the floor's."""
    start_reads = traced([QUENK, "/silent", "/?"])
    fresh()
    clear_logs()
    quenk_listings = traced([QUENK, "/silent", *WORDS])
    logs = os.listdir(os.path.join(work, "Logs"))
    quenk_record = read_record(os.path.join(work, "Logs", logs[0])) if len(logs) == 1 else None
    fresh()
    floor_listings = traced([FLOOR, "/bench", r"C:\quenk\floor-record.txt"])
    floor_record = read_record(os.path.join(work, "floor-record.txt"))
    if quenk_record == floor_record:
        return (quenk_listings, start_reads, floor_listings), []
    diff = difflib.unified_diff((quenk_record or "").splitlines(), floor_record.splitlines(),
                                "quenk.exe's log file", "the floor's record", lineterm="")
    return (quenk_listings, start_reads, floor_listings), list(diff)


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
    # Without "/bench" the floor does nothing: a console program's start.
    "floorstart": lambda: run([FLOOR]),
}
LEFTOVERS_OF = ("quenk", "floor", "batch", "silent")


def measure(size, rounds):
    fill(size)
    listings, differences = check()
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
            "listings": listings}


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

    print("\nThe cleaning alone, seconds: quenk.exe's = /silent less /silent /?; the floor's ="
          " the floor less\nits do-nothing start. Ratios of the medians, the rounds' own in"
          " brackets.\n")
    print(f"{'extra files':>11} {'quenk':>7} {'floor':>7}  {'quenk/floor':<18}"
          f"{'whole /silent/floor':<22}")
    cleanings = []
    for res in results:
        t, m = res["times"], medians(res["times"])
        q = [s - st for s, st in zip(t["silent"], t["start"])]
        f = [fl - fs for fl, fs in zip(t["floor"], t["floorstart"])]
        qc, fc = statistics.median(q), statistics.median(f)
        cleanings.append((res["size"], qc, fc))
        per_round = [a / b for a, b in zip(q, f) if b > 0]
        whole = [s / fl for s, fl in zip(t["silent"], t["floor"])]
        print(f"{res['size']:>11,} {qc:7.2f} {fc:7.2f}  {qc / fc:5.2f} {spread(per_round):<12}"
              f"{m['silent'] / m['floor']:5.2f} {spread(whole):<16}")
    growth = None
    if len(cleanings) > 1 and cleanings[-1][0] > cleanings[0][0]:
        (s0, q0, f0), (s1, q1, f1) = cleanings[0], cleanings[-1]
        per = (s1 - s0) / 1000
        growth = ((q1 - q0) / per, (f1 - f0) / per)
        print(f"\nGrowth of the cleaning per 1,000 extra System32 entries ({s0:,} to {s1:,}):"
              f" quenk.exe {growth[0] * 1000:.1f} ms, the floor {growth[1] * 1000:.1f} ms"
              f" ({growth[0] / growth[1]:.2f} of the floor's)." if growth[1] > 0 else "")

    print("\nChecks, each on a fresh seed: complete reads of System32 per run (strace of"
          " getdents64\non its fd: quenk.exe /silent, of them at its start (/silent /?), the"
          " floor); the floor's\nrecord against quenk.exe's log file; seeded leftovers left"
          " after quenk/floor/batch/silent,\nworst round.\n")
    print(f"{'extra files':>11} {'reads quenk':>12} {'at start':>9} {'reads floor':>12}"
          f" {'same record':>12} {'left q/f/b/s':>13}")
    failed = False
    for res in results:
        q, st, f = res["listings"]
        left = "/".join(str(res["left"][k][0]) for k in LEFTOVERS_OF)
        gone = sum(res["left"][k][1] for k in LEFTOVERS_OF)
        same = not res["differences"]
        print(f"{res['size']:>11,} {q:>12} {st:>9} {f:>12} {'yes' if same else 'NO':>12}"
              f" {left:>13}" + (f"  decoys gone: {gone}" if gone else ""))
        for line in res["differences"][:40]:
            print("    " + line)
        failed = failed or not same or gone > 0

    print("\nEvery round's wall seconds:")
    for res in results:
        for name, values in res["times"].items():
            print(f"{res['size']:>11,} {name:<7}" + " ".join(f"{v:.2f}" for v in values))

    size, qc, fc = cleanings[-1]
    reads = max(res["listings"][0] for res in results)
    print(f"\nTargets: complete System32 reads per run at most 2: {reads}"
          f" ({'met' if reads <= 2 else 'missed'}); the cleaning at {size:,} extra files"
          f" {qc / fc:.2f}x the floor's (0.5x or less: {'met' if qc / fc <= 0.5 else 'missed'})"
          + (f"; growth {growth[0] / growth[1]:.2f} of the floor's (a third or less:"
             f" {'met' if growth[0] / growth[1] <= 1 / 3 else 'missed'})" if growth and growth[1] > 0
             else "") + ".")
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
