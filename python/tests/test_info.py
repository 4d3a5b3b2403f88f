import json
import os
import tempfile
import unittest

import pellucid
from dds_files import dds, write
from program_outputs import run_program


class Info(unittest.TestCase):
    def test_same_as_the_programs_info_lines(self):
        with tempfile.TemporaryDirectory() as folder:
            write(os.path.join(folder, 'a_cube.dds'), dds('B8G8R8A8_UNORM', 4, 4, mips=3, cube=True))
            write(os.path.join(folder, 'b_array.dds'), dds('BC7_UNORM', 8, 8, layers=2))
            write(os.path.join(folder, 'c_broken.dds'), dds('BC7_UNORM', 16, 16)[:170])
            lines = run_program('-i', folder, '--info').splitlines()
            program = {os.path.basename(r['path']): r for r in map(json.loads, lines)}
            self.assertEqual(sorted(program), ['a_cube.dds', 'b_array.dds', 'c_broken.dds'])
            for name, expected in program.items():
                with self.subTest(name):
                    facts = pellucid.info(os.path.join(folder, name))
                    self.assertEqual(list(facts), list(expected))
                    self.assertEqual(facts, dict(expected, path=facts['path']))
            self.assertEqual(pellucid.info(os.path.join(folder, 'a_cube.dds'))['faces'], 6)
            self.assertIsNotNone(pellucid.info(os.path.join(folder, 'c_broken.dds'))['error'])


if __name__ == '__main__':
    unittest.main()
