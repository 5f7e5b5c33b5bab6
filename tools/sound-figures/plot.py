#!/usr/bin/env python3
"""plot.py DIR: draws DIR/<figure>.png from the tables sound-figures wrote
into DIR (cabinet-response, fuzz-curve, spectrogram), and alias-spectrum
from the table alias-meter wrote there, when there is one."""
import io
import sys
from pathlib import Path

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402
from PIL import Image  # noqa: E402

DPI = 100


def read_rows(path):
    """The table's rows, grouped by their tag word, as arrays of numbers."""
    rows = {}
    for line in Path(path).read_text().splitlines():
        if not line or line.startswith("#"):
            continue
        tag, *numbers = line.split()
        rows.setdefault(tag, []).append([float(n) for n in numbers])
    return {tag: np.array(values) for tag, values in rows.items()}


def save(fig, path):
    """Saves with a palette of 256 colours, which keeps the file a third of
    its full-colour size with no visible change."""
    buffer = io.BytesIO()
    fig.savefig(buffer, dpi=DPI)
    plt.close(fig)
    image = Image.open(buffer).convert("RGB")
    image.quantize(256, method=Image.Quantize.MEDIANCUT).save(path, optimize=True)


def cabinet_response(dir):
    rows = read_rows(dir / "cabinet-response.tsv")["response"]
    fig, ax = plt.subplots(figsize=(7.5, 4.0), layout="constrained")
    for rate, style in ((44100, "-"), (96000, "--")):
        at = rows[rows[:, 0] == rate]
        khz = f"{rate / 1000:g} kHz"
        ax.semilogx(at[:, 1], at[:, 2], style, color="C3", label=f"cabinet, {khz}")
        ax.semilogx(at[:, 1], at[:, 3], style, color="C0", label=f"fuzz-path filters, {khz}")
    ax.set_xlim(20, 48000)
    ax.set_ylim(-90, 10)
    ax.set_xlabel("Frequency (Hz)")
    ax.set_ylabel("Gain (dB)")
    ax.set_title("Cabinet stage and fuzz-path filters: magnitude response")
    ax.grid(True, which="both", alpha=0.3)
    ax.legend(loc="lower center", fontsize="small", ncols=2)
    save(fig, dir / "cabinet-response.png")


def fuzz_curve(dir):
    rows = read_rows(dir / "fuzz-curve.tsv")
    attacks, drives, curve = rows["attack"][0], rows["drive"][0], rows["curve"]
    fig, ax = plt.subplots(figsize=(7.5, 4.0), layout="constrained")
    for i, (attack, drive) in enumerate(zip(attacks, drives)):
        ax.plot(curve[:, 0], curve[:, i + 1], label=f"Attack {attack:g} (drive {drive:g})")
    ax.set_xlabel("Clipper input (the guitar after the input filters)")
    ax.set_ylabel("Clipper output")
    ax.set_title("The clipper's static curve")
    ax.grid(True, alpha=0.3)
    ax.legend(loc="upper left", fontsize="small")
    save(fig, dir / "fuzz-curve.png")


def spectrogram(dir):
    rows = read_rows(dir / "spectrogram.tsv")
    bands = rows["band"][0]
    # Band edges halfway between centres on the logarithmic scale.
    ratio = np.sqrt(bands[1] / bands[0])
    edges = np.append(bands / ratio, bands[-1] * ratio)
    takes = (("dry", "Dry phrase"), ("fuzz", 'Through Marrow-Grit, preset 0 "Init"'))
    low = min(rows[tag][:, 1:].min() for tag, _ in takes)
    high = max(rows[tag][:, 1:].max() for tag, _ in takes)
    fig, axes = plt.subplots(2, 1, figsize=(7.5, 6.0), sharex=True, sharey=True, layout="constrained")
    for ax, (tag, title) in zip(axes, takes):
        frames = rows[tag]
        times = frames[:, 0]
        step = times[1] - times[0]
        time_edges = np.append(times - step / 2, times[-1] + step / 2)
        mesh = ax.pcolormesh(time_edges, edges, frames[:, 1:].T, vmin=low, vmax=high, cmap="magma",
                             rasterized=True)
        ax.set_yscale("log")
        ax.set_ylabel("Frequency (Hz)")
        ax.set_title(title)
    axes[-1].set_xlabel("Time (s)")
    fig.colorbar(mesh, ax=axes, label="Level (dB against a full-scale sine)")
    save(fig, dir / "spectrogram.png")


def alias_spectrum(dir):
    """The same sine through the exact pedal and through HQ: every bin off
    the harmonics is an alias (or noise)."""
    path = dir / "alias-spectrum.tsv"
    if not path.exists():
        return
    figures = {}
    for line in path.read_text().splitlines():
        if line.startswith("# "):
            label, *pairs = line[2:].split()
            figures[label] = dict(pair.split("=") for pair in pairs)
    rows = read_rows(path)
    titles = {"exact": "Marrow-Grit", "hq": "Marrow-Grit HQ"}
    fig, axes = plt.subplots(len(rows), 1, figsize=(7.5, 5.5), layout="constrained", sharex=True)
    for ax, (label, at) in zip(np.atleast_1d(axes), rows.items()):
        on = at[:, 2] > 0.5
        ax.plot(at[:, 0] / 1000, np.where(on, np.nan, at[:, 1]), color="C3", lw=0.7, label="off the harmonics")
        ax.plot(at[:, 0] / 1000, np.where(on, at[:, 1], np.nan), color="C0", lw=0.9, label="harmonics")
        sar = float(figures.get(label, {}).get("sar_db", "nan"))
        ax.set_title(f"{titles.get(label, label)}: signal to alias {sar:.0f} dB", fontsize="medium")
        ax.set_ylim(-160, 5)
        ax.set_ylabel("dB re strongest")
        ax.grid(True, alpha=0.3)
    ax.set_xlim(0, at[-1, 0] / 1000)
    ax.set_xlabel("Frequency (kHz)")
    ax.legend(loc="upper right", fontsize="small")
    fig.suptitle("1244.5 Hz at 0.5, Attack 1, Cabinet off, Level 1, 44.1 kHz")
    save(fig, dir / "alias-spectrum.png")


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    dir = Path(sys.argv[1])
    cabinet_response(dir)
    fuzz_curve(dir)
    spectrogram(dir)
    alias_spectrum(dir)


if __name__ == "__main__":
    main()
