#!/usr/bin/env python3
"""The effect chain's speed as a table: frames per second of each kernel as a
ratio to the plain chain (the baseline) measured in the same run, and
instructions per frame counted by callgrind, which do not depend on the load
of the machine.

    bench/chain-table.py [--build build/release] [--repetitions 5] [--min-time 0.05]
                         [--statistic best|median] [--filter REGEX] [--no-speed] [--no-count]
                         [--against OTHER_BUILD [--rounds 3]]

Speed: one pedal_bench run with the repetitions interleaved at random, the
best (or median) of each benchmark's repetitions, each kernel divided by the
baseline of the same mode, rate and block. Counts: chain_count under callgrind, counting
inside the block loop only (per-block work included) over 65536 frames.
Callgrind cannot run AVX-512, so that column stays empty.

With --against, the same for another build (say, of the code before a
change), the two builds' runs taking turns for --rounds rounds, and then
each kernel's frames per second in --build as a change against the other
build's, cell by cell.
"""
import argparse
import json
import os
import re
import statistics
import subprocess
import sys
import tempfile

VARIANTS = ["baseline", "scalar", "sse2", "avx2", "avx512"]
MODES = ["fuzz", "cabinet"]
CABINET = {"fuzz": "off", "cabinet": "on"}
RATES = [44100, 96000]
BLOCKS = [32, 64, 512, 4096]
NAME = re.compile(r"^Chain/(\w+)/(\w+)/rate:(\d+)/block:(\d+)$")


# The fastest repetition by default: on a shared machine other jobs only ever
# slow a run down, so the best of several is the steadiest figure.
STATISTICS = {"best": max, "median": statistics.median}


def speed_runs(bench, repetitions, min_time, pattern, runs):
    out = subprocess.run(
        [bench, "--benchmark_filter=^Chain/.*" + pattern, "--benchmark_format=json",
         f"--benchmark_repetitions={repetitions}", "--benchmark_enable_random_interleaving=true",
         f"--benchmark_min_time={min_time}"],
        check=True, capture_output=True, text=True).stdout
    for b in json.loads(out)["benchmarks"]:
        if b.get("run_type") != "iteration" or b.get("error_occurred"):
            continue
        m = NAME.match(b["run_name"])
        if m:
            key = (m[1], m[2], int(m[3]), int(m[4]))
            runs.setdefault(key, []).append(b["frames/s"])


def speeds(benches, repetitions, min_time, pattern, statistic, rounds=1):
    """Frames per second of every benchmark of each pedal_bench, the runs of
    the different binaries taking turns."""
    runs = [{} for _ in benches]
    for _ in range(rounds):
        for bench, r in zip(benches, runs):
            speed_runs(bench, repetitions, min_time, pattern, r)
    return [{k: STATISTICS[statistic](v) for k, v in r.items()} for r in runs]


def print_ratios(fps, rows, title):
    print(title + "\n")
    print("| cabinet | rate (Hz) | block | baseline (frames/s) | " + " | ".join(VARIANTS[1:]) + " |")
    print("|---|---|---|---:|" + "---:|" * (len(VARIANTS) - 1))
    for m, r, b in rows:
        base = fps.get(("baseline", m, r, b))
        cells = []
        for v in VARIANTS[1:]:
            x = fps.get((v, m, r, b))
            cells.append(f"{x / base:.1f}×" if x and base else "–")
        c = CABINET[m]
        print(f"| {c} | {r} | {b} | {base / 1e6:.1f} M | " if base else f"| {c} | {r} | {b} | – | ", end="")
        print(" | ".join(cells) + " |")
    print()


def print_changes(now, before, rows):
    print("Frames per second of --build against --against, cell by cell (+: faster):\n")
    print("| cabinet | rate (Hz) | block | " + " | ".join(VARIANTS) + " |")
    print("|---|---|---|" + "---:|" * len(VARIANTS))
    for m, r, b in rows:
        cells = []
        for v in VARIANTS:
            x, y = now.get((v, m, r, b)), before.get((v, m, r, b))
            cells.append(f"{(x / y - 1) * 100:+.1f} %" if x and y else "–")
        print(f"| {CABINET[m]} | {r} | {b} | " + " | ".join(cells) + " |")
    print()


def count(counter, variant, mode, rate, block, frames=65536):
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, "callgrind.out")
        r = subprocess.run(
            ["valgrind", "--tool=callgrind", "--toggle-collect=*RunBlocks*", f"--callgrind-out-file={out}",
             counter, variant, mode, str(rate), str(block), str(frames)],
            capture_output=True, text=True)
        if r.returncode != 0:
            return None
        with open(out) as f:
            for line in f:
                if line.startswith("totals:") or line.startswith("summary:"):
                    return int(line.split()[1]) / (frames // block * block)
    return None


def main():
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("--build", default=os.path.join(os.path.dirname(__file__), "..", "build", "release"))
    p.add_argument("--repetitions", type=int, default=5)
    p.add_argument("--statistic", choices=sorted(STATISTICS), default="best")
    p.add_argument("--min-time", default="0.05")
    p.add_argument("--filter", default=".*", help="regular expression on <variant>/<mode>/rate:<r>/block:<b>")
    p.add_argument("--no-speed", action="store_true")
    p.add_argument("--no-count", action="store_true")
    p.add_argument("--against", help="another build folder, measured in turns with --build")
    p.add_argument("--rounds", type=int, default=3, help="turns of each build with --against")
    a = p.parse_args()
    bench = os.path.join(a.build, "bin", "pedal_bench")
    counter = os.path.join(a.build, "bin", "chain_count")

    rows = [(m, r, b) for m in MODES for r in RATES for b in BLOCKS
            if any(re.search(a.filter, f"{v}/{m}/rate:{r}/block:{b}") for v in VARIANTS)]
    if not a.no_speed:
        benches = [bench] + ([os.path.join(a.against, "bin", "pedal_bench")] if a.against else [])
        fps = speeds(benches, a.repetitions, a.min_time, a.filter, a.statistic, a.rounds if a.against else 1)
        how = f"{a.statistic} of {a.repetitions * (a.rounds if a.against else 1)} interleaved repetitions"
        print_ratios(fps[0], rows, f"Frames per second, as a ratio to the baseline ({how}):")
        if a.against:
            print_ratios(fps[1], rows, f"The same for {a.against}:")
            print_changes(fps[0], fps[1], rows)
    if not a.no_count:
        other = os.path.join(a.against, "bin", "chain_count") if a.against else None
        print("Instructions per frame (callgrind, block loop only" +
              (f"; --build / {a.against}" if other else "") + "):\n")
        print("| cabinet | rate (Hz) | block | " + " | ".join(VARIANTS) + " |")
        print("|---|---|---|" + "---:|" * len(VARIANTS))
        for m, r, b in rows:
            cells = []
            for v in VARIANTS:
                if not re.search(a.filter, f"{v}/{m}/rate:{r}/block:{b}"):
                    cells.append("–")
                    continue
                n = count(counter, v, m, r, b)
                o = count(other, v, m, r, b) if other else None
                cell = f"{n:.0f}" if n else "–"
                cells.append(f"{cell} / {o:.0f}" if o else cell)
            print(f"| {CABINET[m]} | {r} | {b} | " + " | ".join(cells) + " |")
            sys.stdout.flush()


if __name__ == "__main__":
    main()
