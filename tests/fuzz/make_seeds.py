#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets (run from anywhere).

Dispatcher seeds are little scripts in the byte language FuzzDispatcher.cpp
reads: a host session, block sizes changing under running audio, a narrowed
speaker arrangement, the editor's controls and a state load. State seeds are
chunks (the first byte picks the order of operations). Image seeds are the
pedal's three small PNGs plus a few tiny images of other formats. Preset
seeds are the pedal's checked-in .fxp/.fxb files, one of them cut short, and
the two chunk kinds as the host tests' probe plug-in saves them.

Files named regression-* are inputs that once crashed a target, kept as they
were found (this script leaves them alone): every fuzz run replays them first.
"""
import pathlib
import shutil
import struct
import zlib

HERE = pathlib.Path(__file__).resolve().parent
ROOT = HERE.parent.parent
CORPUS = HERE / "corpus"

# Float() picks, by index
F = {0.0: 0, 1.0: 1, 0.5: 2, 0.25: 3, 8000: 7, 44100: 10, 48000: 11, 96000: 12, 384000: 14, "nan": 20, "inf": 18}


def index(v):  # small indices -2..21
    return bytes([v + 2])


def value(v):
    if -2 <= v <= 37:
        return bytes([v + 2])
    return bytes([160]) + struct.pack("<H", v)


def flt(v):
    return bytes([F[v]])


OWN_ARGUMENTS = {4, 13, 14, 23, 24, 25, 33, 34, 42, 51, 66, 69}
TEXTS = {5, 6, 7, 8, 29, 45, 47, 48}


def dispatch(opcode, idx=0, val=0, opt=0.0, null=False, extra=b""):
    script = bytes([0, opcode]) + index(idx) + value(val) + flt(opt) + bytes([0 if null else 1]) + extra
    if opcode not in OWN_ARGUMENTS and opcode not in TEXTS and not (opcode == 50 and idx == 7):
        script += b"\x04"  # size of the spare buffer: 33 bytes
    return script


def block_size(n):
    return dispatch(11, val=0, extra=bytes([0]) + struct.pack("<H", n))


def set_param(i, v):
    return bytes([3]) + index(i) + flt(v)


def process(kind, frames, signal=2, level=255, period=20):
    # mode 255 takes frames from the 32-bit pick modulo (4 x block + 1)
    return bytes([4, kind, 255]) + struct.pack("<I", frames) + bytes([signal, level, period])


def mains(on):
    return bytes([7, 1, 1 if on else 0])


def editor(action, x, y, bits=0, extra=b""):
    return bytes([6, x + 16]) + struct.pack("<H", y + 20) + bytes([bits, action]) + extra


def chunk(values, header=True):
    body = b"".join(struct.pack("<d", v) for v in values)
    return (b"tffp" + struct.pack("<I", 0x10000) if header else b"") + body


def write(folder, name, data):
    path = CORPUS / folder
    path.mkdir(parents=True, exist_ok=True)
    (path / name).write_bytes(data)


def png(width, height, colour_type, depth, rows, interlace=0, extra_chunks=b""):
    def part(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", width, height, depth, colour_type, 0, 0, interlace)
    raw = b"".join(b"\x00" + r for r in rows)
    return b"\x89PNG\r\n\x1a\n" + part(b"IHDR", header) + extra_chunks + part(b"IDAT", zlib.compress(raw)) + part(b"IEND", b"")


def fx_file(kind, fields, body):
    """A preset file: 'CcnK', byteSize, the kind, then big-endian fields."""
    rest = kind + fields + body
    return b"CcnK" + struct.pack(">I", len(rest)) + rest


def main():
    # Each dispatcher input: the host's identity, then the chain's
    # instruction set in the high nibble (widest, scalar, SSE2, AVX2).
    session = (
        b"\x00\x01"
        + dispatch(0)
        + dispatch(10, opt=48000)
        + block_size(512)
        + mains(True)
        + process(1, 512)
        + set_param(1, 0.25)
        + process(2, 512, signal=1)
        + dispatch(7, idx=0)
        + dispatch(7, idx=2)
        + dispatch(23, idx=0)
        + dispatch(2, val=3)
        + process(0, 300, signal=5)
        + process(1, 300)
        + mains(False)
    )
    write("dispatcher", "session", session)

    blocks = (
        b"\x00\x21" + dispatch(0) + block_size(64) + mains(True) + process(1, 250) + block_size(1)
        + process(2, 3) + block_size(4096) + process(0, 9000) + dispatch(10, opt=8000) + process(1, 700)
        + dispatch(10, opt=384000) + process(2, 4096, signal=1)
    )
    write("dispatcher", "block-sizes", blocks)

    narrow = (
        b"\x00\x31" + dispatch(0) + block_size(128) + mains(True)
        + dispatch(42, val=0, extra=bytes([1]) + index(1) + index(1))
        + process(1, 500) + process(2, 500) + process(0, 500)
        + dispatch(69, extra=bytes([1]))
        + dispatch(42, extra=bytes([1]) + index(0) + index(2)) + process(1, 300)
    )
    write("dispatcher", "speakers", narrow)

    clicks = (
        b"\x00\x00" + dispatch(0) + mains(True)
        + editor(8, 0, 0)
        + editor(0, 95, 190) + editor(11, 0, 0) + editor(1, 95, 190) + editor(11, 0, 0)
        + editor(0, 40, 100) + editor(2, 40, 60) + editor(1, 40, 60)
        + editor(0, 20, 40) + editor(11, 0, 0) + editor(0, 100, 250) + editor(11, 0, 0)
        + editor(0, 40, 100, bits=1) + editor(9, 0, 0, extra=b"0.75".ljust(47, b"\x00"))
        + editor(4, 140, 100, extra=bytes([250])) + editor(3, 140, 100)
        + editor(0, 100, 75) + editor(11, 0, 0) + process(1, 256)
    )
    write("dispatcher", "editor", clicks)

    good = chunk([0.8, 0.3, 1.0, 0.0])
    load = b"\x00\x11" + dispatch(0) + dispatch(24, extra=struct.pack("<H", len(good)) + good) + process(1, 128)
    write("dispatcher", "chunk", load)

    write("state", "bank", b"\x05" + chunk([0.8, 0.3, 1.0, 0.0]))
    write("state", "program", b"\x01" + chunk([0.1, 0.9, 0.0, 1.0]))
    write("state", "headerless", b"\x04" + chunk([0.5, 0.5, 1.0, 1.0], header=False))
    write("state", "short", b"\x02" + chunk([0.7, 2.0])[:20])
    write("state", "outside-range", b"\x0d" + chunk([-3.0, 1e300, 7.0, float("nan")]))

    presets = ROOT / "tests" / "presets" / "data"
    (CORPUS / "preset").mkdir(parents=True, exist_ok=True)
    shutil.copyfile(presets / "marrowgrit.fxp", CORPUS / "preset" / "program.fxp")
    shutil.copyfile(presets / "marrowgrit.fxb", CORPUS / "preset" / "bank.fxb")
    write("preset", "bank-cut-short.fxb", (presets / "marrowgrit.fxb").read_bytes()[:1000])
    probe_chunk = b"gain=0.3000"
    write("preset", "program-chunk.fxp",
          fx_file(b"FPCh", struct.pack(">iiii", 1, 0x4D675072, 3, 2) + b"Clean".ljust(28, b"\0"),
                  struct.pack(">i", len(probe_chunk)) + probe_chunk))
    write("preset", "bank-chunk.fxb",
          fx_file(b"FBCh", struct.pack(">iiiii", 2, 0x4D675072, 3, 3, 0).ljust(144, b"\0"),
                  struct.pack(">i", len(probe_chunk)) + probe_chunk))

    for name in ("marrowgrit_led.png", "marrowgrit_switch_01.png", "marrowgrit_switch_02.png"):
        shutil.copyfile(ROOT / "pedal" / "img" / name, CORPUS / "images" / name)
    write("images", "grey-1bit.png", png(9, 3, 0, 1, [b"\xa5\x80", b"\x5a\x00", b"\xff\x80"]))
    write("images", "palette-trns.png",
          png(2, 2, 3, 8, [b"\x00\x01", b"\x01\x00"],
              extra_chunks=(lambda p, t: p + t)(
                  struct.pack(">I", 6) + b"PLTE" + b"\xff\x00\x00\x00\x00\xff"
                  + struct.pack(">I", zlib.crc32(b"PLTE\xff\x00\x00\x00\x00\xff")),
                  struct.pack(">I", 1) + b"tRNS" + b"\x80" + struct.pack(">I", zlib.crc32(b"tRNS\x80")))))
    write("images", "grey-alpha-16.png", png(2, 1, 4, 16, [b"\x12\x34\xff\xff\x00\x00\x80\x00"]))
    write("images", "rgb-interlaced.png", png(3, 3, 2, 8, [b"\x10\x20\x30" * 3] * 3, interlace=1))
    clap_seeds()


def clap_event(time, param, value):  # a parameter value event with a plain header
    return b"\x00" + bytes([time, 0, param]) + struct.pack("<d", value)


def clap_process(frames, how, events, channels=2):
    body = bytes([5]) + struct.pack("<H", frames) + bytes([how, len(events)]) + b"".join(events)
    return body + bytes([channels, 1])


def clap_seeds():
    """Seeds of FuzzClap.cpp's byte language: a session and a state load."""
    audio = b"".join(struct.pack("<f", 0.4 * ((i * 7) % 13 - 6) / 6) for i in range(32)) * 4
    start = b"\x00" + audio + b"\x00\x00" + struct.pack("<HH", 1, 2048) + b"\x02"
    session = (start + clap_process(512, 0, [clap_event(100, 2, 0.0), clap_event(200, 0, 0.25)])
               + clap_process(256, 3, [clap_event(0, 3, 0.0)])
               + b"\x07" + b"\x01" + clap_event(0, 1, 0.9) + b"\x01"
               + b"\x01\x00" + b"\x00" + struct.pack("<HH", 64, 64) + b"\x02" + clap_process(64, 0, []))
    write("clap", "session", session)
    write("clap", "state", start + b"\x08\x07" + chunk([0.8, 0.3, 1.0, 0.0]))


if __name__ == "__main__":
    main()
