import os
import tempfile
import unittest

import numpy

import pellucid
from dds_files import dds, write
from program_outputs import read_output, run_program

MASK = '--filename-mask=%filename%_m%mip%_f%face%_l%layer%.%ext%'


def assert_same_pixels(pixels, expected):
    """The program leaves out an alpha channel that is opaque everywhere and
    writes grey images as one channel."""
    if expected.ndim == 2:
        expected = expected[:, :, numpy.newaxis]
    channels = expected.shape[2]
    numpy.testing.assert_array_equal(pixels[:, :, :channels], expected)
    if pixels.shape[2] == 4 and channels == 3 and pixels.dtype == numpy.uint8:
        numpy.testing.assert_array_equal(pixels[:, :, 3], 255)


class ReadMatchesTheProgram(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.dir = self.folder.name

    def tearDown(self):
        self.folder.cleanup()

    def program_surface(self, source, conversion, mip='0', face='', layer='0', *options):
        out = os.path.join(self.dir, 'out')
        os.makedirs(out, exist_ok=True)
        run_program('-i', source, '-o', out, '-c', conversion, '--mipmaps=all', '--faces=all',
                    '--layers=all', MASK, *options)
        name = os.path.basename(source)[:-4]
        return read_output(os.path.join(out, f'{name}_m{mip}_f{face}_l{layer}.{conversion}'))

    def test_layouts(self):
        # (format, width, height, program output, options, dtype, channels)
        cases = [
            ('BC7_UNORM', 12, 8, 'png', [], numpy.uint8, 4),
            ('B8G8R8A8_UNORM', 5, 3, 'png', [], numpy.uint8, 4),
            ('BC1_UNORM', 7, 9, 'png', [], numpy.uint8, 4),
            ('R8_UNORM', 6, 5, 'png', [], numpy.uint8, 1),
            ('R16G16B16A16_UNORM', 3, 4, 'ppm', ['--ppm-bpp=48'], numpy.uint16, 4),
            ('BC6H_UF16', 8, 12, 'pfm', [], numpy.float32, 3),
            ('BC6H_SF16', 4, 4, 'pfm', [], numpy.float32, 3),
        ]
        for name, width, height, conversion, options, dtype, channels in cases:
            with self.subTest(name):
                source = write(os.path.join(self.dir, name + '.dds'), dds(name, width, height))
                pixels = pellucid.read(source)
                self.assertEqual(pixels.dtype, dtype)
                self.assertEqual(pixels.shape, (height, width, channels))
                expected = self.program_surface(source, conversion, '0', '', '0', *options)
                assert_same_pixels(pixels, expected)

    def test_cube_face_and_mip(self):
        source = write(os.path.join(self.dir, 'cube.dds'),
                       dds('B8G8R8A8_UNORM', 8, 8, mips=3, cube=True, seed=7))
        for face, name in ((0, 'posx'), (3, 'negy'), (5, 'negz')):
            for mip in (0, 2):
                with self.subTest(face=face, mip=mip):
                    expected = self.program_surface(source, 'png', str(mip), name)
                    assert_same_pixels(pellucid.read(source, mip=mip, face=face), expected)

    def test_array_layer(self):
        source = write(os.path.join(self.dir, 'array.dds'),
                       dds('BC7_UNORM', 8, 4, mips=2, layers=3, seed=3))
        expected = self.program_surface(source, 'png', '1', '', '2')
        pixels = pellucid.read(source, mip=1, layer=2)
        self.assertEqual(pixels.shape, (2, 4, 4))
        assert_same_pixels(pixels, expected)


class ReadRefuses(unittest.TestCase):
    def test_reasons(self):
        with tempfile.TemporaryDirectory() as folder:
            good = dds('BC7_UNORM', 8, 8, mips=2)
            files = {
                'missing.dds': None,
                'short.dds': good[:200],
                'text.dds': b'not a texture at all' * 10,
            }
            for name, content in files.items():
                if content is not None:
                    write(os.path.join(folder, name), content)
            cases = [
                ('missing.dds', {}, 'No such file'),
                ('short.dds', {}, 'truncated'),
                ('text.dds', {}, 'no DDS magic'),
                ('good.dds', {'mip': 2}, 'no surface mip 2'),
                ('good.dds', {'face': 1}, 'no surface'),
                ('good.dds', {'layer': 1}, 'no surface'),
            ]
            write(os.path.join(folder, 'good.dds'), good)
            for name, arguments, reason in cases:
                with self.subTest(name=name, arguments=arguments):
                    with self.assertRaises(ValueError) as caught:
                        pellucid.read(os.path.join(folder, name), **arguments)
                    self.assertIn(reason, str(caught.exception))
            self.assertEqual(pellucid.read(os.path.join(folder, 'good.dds'), mip=1).shape, (4, 4, 4))


if __name__ == '__main__':
    unittest.main()
