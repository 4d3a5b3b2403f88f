"""Runs the command-line program on a file and reads back what it wrote
(PNG through Pillow, 48-bit PPM and PFM by their layouts), so the module's
pixels can be held against the program's own."""
import os
import subprocess
import tempfile

import numpy
from PIL import Image

PROGRAM = os.environ.get('PELLUCIDCMD', 'pellucidcmd')


def run_program(*arguments):
    """Runs the program with a lock folder of its own (another copy running
    elsewhere must not make it wait); returns its standard output."""
    with tempfile.TemporaryDirectory() as lock_folder:
        env = dict(os.environ, XDG_RUNTIME_DIR=lock_folder)
        done = subprocess.run([PROGRAM, '-q', '--no-progress', *arguments], env=env,
                              capture_output=True, check=True, timeout=120)
    return done.stdout.decode()


def _netpbm_header(data, fields):
    """The whitespace-separated header fields and the offset of the pixels."""
    values, at = [], 0
    while len(values) < fields:
        while data[at:at + 1].isspace():
            at += 1
        end = at
        while not data[end:end + 1].isspace():
            end += 1
        values.append(data[at:end].decode())
        at = end
    return values, at + 1


def read_output(path):
    with open(path, 'rb') as f:
        data = f.read()
    if path.endswith('.png'):
        with Image.open(path) as image:
            return numpy.asarray(image)
    if path.endswith('.ppm'):
        (magic, width, height, top), at = _netpbm_header(data, 4)
        assert magic == 'P6' and top == '65535', (magic, top)
        pixels = numpy.frombuffer(data, '>u2', int(width) * int(height) * 3, at)
        return pixels.reshape(int(height), int(width), 3)
    if path.endswith('.pfm'):
        (magic, width, height, scale), at = _netpbm_header(data, 4)
        assert magic == 'PF', magic
        order = '<f4' if float(scale) < 0 else '>f4'
        pixels = numpy.frombuffer(data, order, int(width) * int(height) * 3, at)
        return pixels.reshape(int(height), int(width), 3)[::-1]  # stored bottom row first
    raise ValueError(path)
