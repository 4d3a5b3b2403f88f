#!/usr/bin/python3
"""Pillow's BC7 decoding speed, the yardstick for the reader's BC7 decoder.

Writes the same 4096 x 4096 BC7 file of random blocks that dds_decode_bench
decodes (DXGI format 98, content from std::mt19937 seeded with 42, one byte
of each draw) and times PIL.Image.open(file).load() on it, with the file
already in the page cache. Prints each run and the medians (wall clock and
CPU time) in ms and Mpixel/s; compare with `dds_decode_bench --benchmark_filter=ownReader/3`
run alternately with this script.

Usage: bench/pillow_decode.py [runs]   (default 7; Debian's python3 with python3-pil)
"""
import os
import statistics
import struct
import sys
import tempfile
import time

from PIL import Image

SIDE = 4096


def mt19937_bytes(seed, count):
    """The low bytes of the first count draws of std::mt19937(seed)."""
    import random
    state = [seed & 0xFFFFFFFF]
    for i in range(1, 624):
        previous = state[-1]
        state.append((1812433253 * (previous ^ (previous >> 30)) + i) & 0xFFFFFFFF)
    generator = random.Random()
    generator.setstate((3, tuple(state + [624]), None))
    draws = generator.getrandbits
    return bytes(draws(32) & 0xFF for _ in range(count))


def bc7_file():
    blocks = (SIDE // 4) * (SIDE // 4) * 16
    header = struct.pack('<4s7I', b'DDS ', 124, 0x1 | 0x2 | 0x4 | 0x1000 | 0x80000, SIDE, SIDE,
                         blocks, 0, 0)
    header += bytes(44)
    header += struct.pack('<2I4s5I', 32, 0x4, b'DX10', 0, 0, 0, 0, 0)
    header += struct.pack('<5I', 0x1000, 0, 0, 0, 0)
    header += struct.pack('<5I', 98, 3, 0, 1, 0)
    return header + mt19937_bytes(42, blocks)


def main():
    runs = int(sys.argv[1]) if len(sys.argv) > 1 else 7
    assert mt19937_bytes(5489, 1) == bytes([3499211612 & 0xFF]), 'not std::mt19937'
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, 'bc7.dds')
        with open(path, 'wb') as f:
            f.write(bc7_file())
        times, cpu_times = [], []
        for _ in range(runs):
            start, cpu_start = time.perf_counter(), time.process_time()
            with Image.open(path) as image:
                image.load()
                size = image.size
            times.append(time.perf_counter() - start)
            cpu_times.append(time.process_time() - cpu_start)
            print(f'pillow BC7 {size[0]}x{size[1]}: {times[-1] * 1000:.1f} ms,'
                  f' CPU {cpu_times[-1] * 1000:.1f} ms', flush=True)
        median, cpu_median = statistics.median(times), statistics.median(cpu_times)
        # CPU time is the figure to compare with the benchmark's CPU column on
        # a busy machine; wall-clock time counts the waits for a core as well.
        print(f'pillow BC7 median: {median * 1000:.1f} ms, CPU {cpu_median * 1000:.1f} ms,'
              f' {SIDE * SIDE / cpu_median / 1e6:.1f} Mpixel/s of CPU time')


if __name__ == '__main__':
    main()
