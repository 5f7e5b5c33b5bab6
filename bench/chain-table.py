#!/usr/bin/env python3
"""The effect chain's speed as a table: frames per second of each kernel as a
ratio to the plain chain (the baseline) measured in the same run, and
instructions per frame counted by callgrind, which do not depend on the load
of the machine.

    bench/chain-table.py [--build build/release] [--repetitions 5] [--min-time 0.05]
                         [--statistic best|median] [--filter REGEX] [--no-speed] [--no-count]

Speed: one pedal_bench run with the repetitions interleaved at random, the
best (or median) of each benchmark's repetitions, each kernel divided by the
baseline of the same mode, rate and block. Counts: chain_count under callgrind, counting
inside the block loop only (per-block work included) over 65536 frames.
Callgrind cannot run AVX-512, so that column stays empty.
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


def speeds(bench, repetitions, min_time, pattern, statistic):
    out = subprocess.run(
        [bench, "--benchmark_filter=^Chain/.*" + pattern, "--benchmark_format=json",
         f"--benchmark_repetitions={repetitions}", "--benchmark_enable_random_interleaving=true",
         f"--benchmark_min_time={min_time}"],
        check=True, capture_output=True, text=True).stdout
    runs = {}
    for b in json.loads(out)["benchmarks"]:
        if b.get("run_type") != "iteration" or b.get("error_occurred"):
            continue
        m = NAME.match(b["run_name"])
        if m:
            key = (m[1], m[2], int(m[3]), int(m[4]))
            runs.setdefault(key, []).append(b["frames/s"])
    return {k: STATISTICS[statistic](v) for k, v in runs.items()}


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
    a = p.parse_args()
    bench = os.path.join(a.build, "bin", "pedal_bench")
    counter = os.path.join(a.build, "bin", "chain_count")

    rows = [(m, r, b) for m in MODES for r in RATES for b in BLOCKS
            if any(re.search(a.filter, f"{v}/{m}/rate:{r}/block:{b}") for v in VARIANTS)]
    fps = {} if a.no_speed else speeds(bench, a.repetitions, a.min_time, a.filter, a.statistic)

    if not a.no_speed:
        print(f"Frames per second, as a ratio to the baseline ({a.statistic} of "
              f"{a.repetitions} interleaved repetitions):\n")
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
    if not a.no_count:
        print("Instructions per frame (callgrind, block loop only):\n")
        print("| cabinet | rate (Hz) | block | " + " | ".join(VARIANTS) + " |")
        print("|---|---|---|" + "---:|" * len(VARIANTS))
        for m, r, b in rows:
            cells = []
            for v in VARIANTS:
                n = count(counter, v, m, r, b) if re.search(a.filter, f"{v}/{m}/rate:{r}/block:{b}") else None
                cells.append(f"{n:.0f}" if n else "–")
            print(f"| {CABINET[m]} | {r} | {b} | " + " | ".join(cells) + " |")
            sys.stdout.flush()


if __name__ == "__main__":
    main()
