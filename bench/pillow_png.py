#!/usr/bin/python3
"""Pillow's side of bench/png_speed.sh: converts DDS files to PNG (or BMP)
with a multiprocessing pool of one process per core.

Usage: bench/pillow_png.py <png|bmp> <zlib level> <output folder/> <input.dds>...
"""
import multiprocessing
import os
import sys

from PIL import Image


def convert(job):
    source, target, extension, level = job
    with Image.open(source) as image:
        if extension == 'png':
            image.save(target, compress_level=level)
        else:
            image.save(target)
    return 1


def main():
    extension, level, folder = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    jobs = []
    for source in sys.argv[4:]:
        name = os.path.splitext(os.path.basename(source))[0]
        jobs.append((source, os.path.join(folder, name + '.' + extension), extension, level))
    with multiprocessing.Pool(os.cpu_count()) as pool:
        print(sum(pool.map(convert, jobs, chunksize=1)))


if __name__ == '__main__':
    main()
