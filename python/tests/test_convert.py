import hashlib
import os
import tempfile
import unittest

import pellucid
from dds_files import dds, write
from program_outputs import read_output
from test_read import assert_same_pixels


class Convert(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.root = os.path.join(self.folder.name, 'textures')
        self.out = os.path.join(self.folder.name, 'png')
        os.makedirs(os.path.join(self.root, 'sub'))
        os.makedirs(self.out)
        write(os.path.join(self.root, 'a.dds'), dds('BC7_UNORM', 8, 8, seed=11))
        write(os.path.join(self.root, 'sub', 'b.dds'), dds('B8G8R8A8_UNORM', 3, 5, seed=12))
        write(os.path.join(self.root, 'sub', 'broken.dds'), dds('BC7_UNORM', 16, 16)[:180])

    def tearDown(self):
        self.folder.cleanup()

    def test_a_tree(self):
        records = pellucid.convert(self.root, self.out, 'png', png_compression='zlib6')
        by_name = {os.path.basename(r['input']): r for r in records}
        self.assertEqual(sorted(by_name), ['a.dds', 'b.dds', 'broken.dds'], records)
        for name, output in (('a.dds', 'a.png'), ('b.dds', os.path.join('sub', 'b.png'))):
            record = by_name[name]
            self.assertEqual((record['status'], record['error'], record['of']),
                             ('converted', None, None), record)
            self.assertEqual(len(record['outputs']), 1, record)
            written = record['outputs'][0]
            self.assertEqual(os.path.realpath(written['path']),
                             os.path.realpath(os.path.join(self.out, output)))
            with open(written['path'], 'rb') as f:
                content = f.read()
            self.assertEqual(written['bytes'], len(content))
            self.assertEqual(written['sha256'], hashlib.sha256(content).hexdigest())
            assert_same_pixels(pellucid.read(record['input']), read_output(written['path']))
        broken = by_name['broken.dds']
        self.assertEqual((broken['status'], broken['outputs']), ('failed', []), broken)
        self.assertFalse(os.path.exists(os.path.join(self.out, 'sub', 'broken.png')))

    def test_invalid_options(self):
        cases = [
            ({'jpg_quality': 0}, 'jpg', 'Invalid jpg-quality value'),
            ({'jpg_qualty': 90}, 'jpg', 'Unknown option --jpg-qualty'),
            ({}, 'nosuchformat', 'Invalid conversion type'),
        ]
        for options, conversion, reason in cases:
            with self.subTest(options=options, conversion=conversion):
                with self.assertRaises(ValueError) as caught:
                    pellucid.convert(self.root, self.out, conversion, **options)
                self.assertIn(reason, str(caught.exception))
        self.assertEqual(os.listdir(self.out), [])


if __name__ == '__main__':
    unittest.main()
