"""DDS files for the Python tests, written here from the format's layout so
that a fault in the library's reader cannot hide itself in its own test data.
Pixel data is random (a fixed seed per file) or given."""
import random
import struct

DDSD = 0x1 | 0x2 | 0x4 | 0x1000  # caps, height, width, pixel format
MIPMAP_COUNT = 0x20000
CUBE_ALL = 0x200 | 0xFC00
DX10_CUBE = 0x4

# DXGI format number -> (bytes per 4x4 block, or 0, and bytes per pixel)
FORMATS = {
    'R8G8B8A8_UNORM': (28, 0, 4),
    'B8G8R8A8_UNORM': (87, 0, 4),
    'R16G16B16A16_UNORM': (11, 0, 8),
    'R8_UNORM': (61, 0, 1),
    'BC1_UNORM': (71, 8, 0),
    'BC6H_UF16': (95, 16, 0),
    'BC6H_SF16': (96, 16, 0),
    'BC7_UNORM': (98, 16, 0),
}


def surface_bytes(name, width, height):
    _, block, pixel = FORMATS[name]
    if block:
        return ((width + 3) // 4) * ((height + 3) // 4) * block
    return width * height * pixel


def mip_sizes(width, height, mips):
    for level in range(mips):
        yield max(1, width >> level), max(1, height >> level)


def dds(name, width, height, mips=1, layers=1, cube=False, data=None, seed=1):
    """A DX10 DDS file: for each array element, each cube face, the mip chain.
    data, when given, is the whole pixel data; otherwise it is random."""
    dxgi = FORMATS[name][0]
    header = struct.pack('<4s7I', b'DDS ', 124, DDSD | (MIPMAP_COUNT if mips > 1 else 0),
                         height, width, 0, 0, mips)
    header += bytes(44)
    header += struct.pack('<2I4s5I', 32, 0x4, b'DX10', 0, 0, 0, 0, 0)
    header += struct.pack('<5I', 0x1000 | (0x400008 if mips > 1 else 0),
                          CUBE_ALL if cube else 0, 0, 0, 0)
    header += struct.pack('<5I', dxgi, 3, DX10_CUBE if cube else 0, layers, 0)
    if data is None:
        size = sum(surface_bytes(name, w, h) for w, h in mip_sizes(width, height, mips))
        data = random.Random(seed).randbytes(size * layers * (6 if cube else 1))
    return header + data


def write(path, content):
    with open(path, 'wb') as f:
        f.write(content)
    return path
