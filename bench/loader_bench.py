#!/usr/bin/env python3
"""loader_bench.py: dorvik-sim on a profile that imports a whole-registry export, against its floor.

Usage: loader_bench.py DORVIK_SIM WORK_DIR [--sizes 25,50,100,200] [--runs 3]

For each size (in MB) an export in the Version 5.00 format (UTF-16LE), and
one of 100 MB in the REGEDIT4 format, made by make_registry_export.py and
kept in WORK_DIR; each imported by a profile that is machines/winxp-complete
with the export before its own registry file. dorvik-sim runs the profile
and the floor decodes the export and counts its lines (iconv into wc -l),
side by side, RUNS times each. Prints the wall times, the ratio of their
medians with its spread over the runs, the peak memory against the file's
size, and the time per MB at each size (linear when it stays the same).
Also checks that the report is the profile's expected one.
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
BASE_PROFILE = os.path.join(ROOT, "machines", "winxp-complete")


def measure(command):
    """Wall seconds and peak resident memory (bytes) of the command and its children."""
    start = time.monotonic()
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    seconds = time.monotonic() - start
    process.returncode = os.waitstatus_to_exitcode(status)
    if process.returncode != 0:
        sys.exit(f"loader_bench: {' '.join(command)} failed with {process.returncode}")
    return seconds, usage.ru_maxrss * 1024


def make_profile(work, size_mb, fmt):
    """A profile folder importing an export of the size; the export is made once and kept."""
    folder = os.path.join(work, f"profile-{fmt}-{size_mb}")
    export = os.path.join(folder, "export.reg")
    if not os.path.exists(os.path.join(folder, ".ready")):
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
        subprocess.run([sys.executable, os.path.join(HERE, "make_registry_export.py"),
                        str(size_mb), fmt, export], check=True)
        open(os.path.join(folder, ".ready"), "w").close()
    shutil.copy(os.path.join(BASE_PROFILE, "registry.reg"), folder)
    with open(os.path.join(BASE_PROFILE, "machine.toml")) as source:
        toml = source.read().replace('import = ["registry.reg"]',
                                     'import = ["export.reg", "registry.reg"]')
    with open(os.path.join(folder, "machine.toml"), "w") as out:
        out.write(toml)
    return folder, export


def check_report(sim, folder):
    log = os.path.join(folder, "run.log")
    subprocess.run([sim, folder, "--log", log], check=True, stdout=subprocess.DEVNULL)
    with open(log, "rb") as got, open(os.path.join(BASE_PROFILE, "expected.log"), "rb") as want:
        if got.read() != want.read():
            sys.exit(f"loader_bench: the report on {folder} is not winxp-complete's expected.log")


def bench(sim, work, size_mb, fmt, runs):
    folder, export = make_profile(work, size_mb, fmt)
    check_report(sim, folder)
    encoding = "UTF-16LE" if fmt == "5" else "CP1252"
    floor = ["sh", "-c", f'iconv -f {encoding} -t UTF-8 "$0" | wc -l', export]
    sims, floors, memory = [], [], []
    for _ in range(runs):
        seconds, peak = measure([sim, folder])
        sims.append(seconds)
        memory.append(peak)
        floors.append(measure(floor)[0])
    size = os.path.getsize(export)
    ratios = [s / f for s, f in zip(sims, floors)]
    row = {
        "name": f"{'5.00' if fmt == '5' else 'REGEDIT4'} {size_mb} MB",
        "size": size,
        "sim": statistics.median(sims),
        "floor": statistics.median(floors),
        "ratio": statistics.median(sims) / statistics.median(floors),
        "spread": (min(ratios), max(ratios)),
        "memory": max(memory),
    }
    print(f"{row['name']:<16} {row['sim']:8.2f} s {row['floor']:8.2f} s "
          f"{row['ratio']:6.2f}x ({row['spread'][0]:.2f} to {row['spread'][1]:.2f}) "
          f"{row['memory'] / 2**20:8.0f} MiB {row['memory'] / size:5.2f}x "
          f"{row['sim'] / (size / 1e6) * 1000:7.1f} ms/MB", flush=True)
    return row


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("sim")
    parser.add_argument("work")
    parser.add_argument("--sizes", default="25,50,100,200")
    parser.add_argument("--runs", type=int, default=3)
    args = parser.parse_args()
    os.makedirs(args.work, exist_ok=True)
    sizes = [int(size) for size in args.sizes.split(",")]
    print(f"profile loader: dorvik-sim against iconv | wc -l, {args.runs} runs each, "
          "times are medians")
    print(f"{'export':<16} {'dorvik-sim':>10} {'floor':>10} {'ratio (spread)':>22} "
          f"{'peak memory':>12} {'/ file':>6} {'time per MB':>10}")
    rows = [bench(args.sim, args.work, size, "5", args.runs) for size in sizes]
    if 100 in sizes:
        rows.append(bench(args.sim, args.work, 100, "4", args.runs))
    per_mb = [row["sim"] / row["size"] for row in rows[:len(sizes)]]
    if len(per_mb) > 1:
        print(f"linearity: time per MB at {sizes[-1]} MB / at {sizes[0]} MB = "
              f"{per_mb[-1] / per_mb[0]:.2f} (1.00 is linear)")


if __name__ == "__main__":
    main()
