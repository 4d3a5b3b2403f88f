#!/usr/bin/env python3
"""Draws the sample textures of this folder.

Each picture is computed pixel by pixel, written as an uncompressed TGA and
handed to nvcompress (NVIDIA Texture Tools, installed by scripts/setup.sh) for
the block-compressed variants; the uncompressed variants are written here
directly. Run from anywhere: python3 samples/make_samples.py
"""
import math
import os
import struct
import subprocess
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))


def checker(x, y, w, h):
    on = ((x // 8) + (y // 8)) % 2 == 0
    return (230, 200, 40, 255) if on else (40, 60, 160, 255)


def rings(x, y, w, h):
    d = math.hypot(x - w / 2 + 0.5, y - h / 2 + 0.5)
    v = 0.5 + 0.5 * math.cos(d * 0.6)
    return (int(255 * v), int(120 + 100 * v), int(255 * (1 - v)), 255)


def bricks(x, y, w, h):
    row = y // 8
    shift = 8 if row % 2 else 0
    mortar = y % 8 == 0 or (x + shift) % 16 == 0
    if mortar:
        return (200, 200, 190, 255)
    shade = 150 + ((x * 7 + y * 13) % 40)
    return (shade, 60, 40, 255)


def disc(x, y, w, h):
    # A soft white disc on a transparent background: alpha matters here.
    d = math.hypot(x - w / 2 + 0.5, y - h / 2 + 0.5) / (w / 2)
    a = max(0.0, min(1.0, (1.0 - d) * 3))
    return (255, int(180 + 75 * (1 - d)) if d < 1 else 180, 90, int(255 * a))


def pixels(draw, w, h):
    return [[draw(x, y, w, h) for x in range(w)] for y in range(h)]


def write_tga(path, rows):
    h, w = len(rows), len(rows[0])
    # Uncompressed true-colour, 32 bits, origin at the top left.
    header = struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, 0, w, h, 32, 0x28)
    with open(path, "wb") as f:
        f.write(header)
        for row in rows:
            for r, g, b, a in row:
                f.write(bytes((b, g, r, a)))


def write_uncompressed_dds(path, rows, alpha):
    h, w = len(rows), len(rows[0])
    flags = 0x1 | 0x2 | 0x4 | 0x8 | 0x1000  # caps, height, width, pitch, pixel format
    header = b"DDS " + struct.pack("<7I", 124, flags, h, w, w * 4, 0, 0) + b"\0" * 44
    pf_flags = 0x40 | (0x1 if alpha else 0)
    header += struct.pack("<8I", 32, pf_flags, 0, 32, 0xFF0000, 0xFF00, 0xFF,
                          0xFF000000 if alpha else 0)
    header += struct.pack("<5I", 0x1000, 0, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(header)
        for row in rows:
            for r, g, b, a in row:
                f.write(bytes((b, g, r, a if alpha else 255)))


def main():
    samples = [
        ("checker_dxt1.dds", checker, 64, ["-bc1"]),
        ("rings_dxt5.dds", rings, 64, ["-bc3"]),
        ("bricks_dxt1_nomips.dds", bricks, 64, ["-bc1", "-nomips"]),
        ("disc_dxt5_alpha.dds", disc, 48, ["-alpha", "-bc3"]),
        ("rings_rgb.dds", rings, 32, None),
        ("disc_rgba.dds", disc, 32, "alpha"),
    ]
    with tempfile.TemporaryDirectory() as work:
        for name, draw, size, options in samples:
            rows = pixels(draw, size, size)
            target = os.path.join(HERE, name)
            if isinstance(options, list):
                source = os.path.join(work, name + ".tga")
                write_tga(source, rows)
                subprocess.run(["nvcompress"] + options + [source, target], check=True,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            else:
                write_uncompressed_dds(target, rows, options == "alpha")
            print(name, os.path.getsize(target), "bytes")


if __name__ == "__main__":
    main()
