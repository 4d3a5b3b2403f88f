#!/usr/bin/python3
"""pellucid.read against Pillow on six 2048 x 2048 BC7 textures.

Writes six BC7 files of random blocks (DXGI format 98, content from
random.Random(seed).randbytes, one seed per file, every block of a valid
mode), then times reading all six
into numpy arrays: pellucid.read(f) against numpy.asarray(Image.open(f)),
in turns (each round starts with the other reader), the files in the page
cache. Prints each round and the ratio of the medians; the target is 1/3 or
less. Both readers decode on one thread.

Usage: PYTHONPATH=build/python bench/python_read.py [rounds]   (default 5;
Debian's python3 with python3-numpy and python3-pil)
"""
import os
import random
import statistics
import struct
import sys
import tempfile
import time

import numpy
from PIL import Image

import pellucid

SIDE = 2048
FILES = 6


def bc7_file(seed):
    blocks = (SIDE // 4) * (SIDE // 4) * 16
    header = struct.pack('<4s7I', b'DDS ', 124, 0x1 | 0x2 | 0x4 | 0x1000 | 0x80000, SIDE, SIDE,
                         blocks, 0, 0)
    header += bytes(44)
    header += struct.pack('<2I4s5I', 32, 0x4, b'DX10', 0, 0, 0, 0, 0)
    header += struct.pack('<5I', 0x1000, 0, 0, 0, 0)
    header += struct.pack('<5I', 98, 3, 0, 1, 0)
    data = numpy.frombuffer(random.Random(seed).randbytes(blocks), numpy.uint8).copy()
    # A first byte of 0 names no mode: readers differ on such blocks (black
    # with or without alpha). Those become mode 7 blocks.
    modes = data[::16]
    modes[modes == 0] = 0x80
    return header + data.tobytes()


def read_pellucid(paths):
    return [pellucid.read(path) for path in paths]


def read_pillow(paths):
    arrays = []
    for path in paths:
        with Image.open(path) as image:
            arrays.append(numpy.asarray(image))
    return arrays


def timed(reader, paths):
    start = time.perf_counter()
    arrays = reader(paths)
    elapsed = time.perf_counter() - start
    assert all(a.shape == (SIDE, SIDE, 4) for a in arrays)
    return elapsed


def main():
    rounds = int(sys.argv[1]) if len(sys.argv) > 1 else 5
    base = '/dev/shm' if os.access('/dev/shm', os.W_OK) else None
    with tempfile.TemporaryDirectory(dir=base) as folder:
        paths = []
        for seed in range(FILES):
            paths.append(os.path.join(folder, f'bc7_{seed}.dds'))
            with open(paths[-1], 'wb') as f:
                f.write(bc7_file(seed))
        # Same pixels from both, once, before timing anything.
        for ours, theirs in zip(read_pellucid(paths[:1]), read_pillow(paths[:1])):
            assert numpy.array_equal(ours, theirs), 'the readers disagree'
        readers = [('pellucid', read_pellucid), ('pillow', read_pillow)]
        times = {name: [] for name, _ in readers}
        for turn in range(rounds):
            order = readers if turn % 2 == 0 else readers[::-1]
            for name, reader in order:
                times[name].append(timed(reader, paths))
            print(f'round {turn + 1}: pellucid {times["pellucid"][-1] * 1000:.0f} ms,'
                  f' pillow {times["pillow"][-1] * 1000:.0f} ms', flush=True)
        ours, theirs = statistics.median(times['pellucid']), statistics.median(times['pillow'])
        print(f'{FILES} BC7 files of {SIDE}x{SIDE}: pellucid.read {ours * 1000:.0f} ms,'
              f' Pillow {theirs * 1000:.0f} ms, ratio {ours / theirs:.3f} (target <= 0.333)')


if __name__ == '__main__':
    main()
