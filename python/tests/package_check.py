"""The Debian package that scripts/package.sh builds: its file list and its
Depends (run as a test entry of its own; it packs the whole build)."""
import os
import re
import subprocess
import tempfile
import unittest

SCRIPT = os.path.join(os.path.dirname(__file__), '..', '..', 'scripts', 'package.sh')


class Package(unittest.TestCase):
    def test_file_list_and_depends(self):
        with tempfile.TemporaryDirectory() as out:
            env = dict(os.environ, PELLUCID_PACKAGE_DIR=out)
            printed = subprocess.run([SCRIPT], env=env, capture_output=True, text=True,
                                     check=True, timeout=600).stdout.split()
            self.assertEqual(len(printed), 1, printed)
            deb = printed[0]
            self.assertTrue(deb.startswith(out) and deb.endswith('.deb') and os.path.isfile(deb))
            listing = subprocess.run(['dpkg-deb', '-c', deb], capture_output=True, text=True,
                                     check=True).stdout
            files = sorted(line.split()[-1] for line in listing.splitlines()
                           if line.startswith('-'))
            module = [f for f in files if re.fullmatch(
                r'\./usr/lib/python3/dist-packages/pellucid\.cpython-[^/]*\.so', f)]
            self.assertEqual(files, sorted(['./usr/bin/pellucidcmd',
                                            './usr/share/man/man1/pellucidcmd.1',
                                            './usr/share/bash-completion/completions/pellucidcmd']
                                           + module), listing)
            self.assertEqual(len(module), 1, listing)
            depends = subprocess.run(['dpkg-deb', '-f', deb, 'Depends'], capture_output=True,
                                     text=True, check=True).stdout
            for package in ('libfreeimage3', 'libdevil1c2', 'libssl3', 'libcairo2', 'libc6',
                            'python3-numpy', 'libtiff6', 'libjxr0', 'libfontconfig1',
                            'libfreetype6'):
                self.assertRegex(depends, r'(^|, )' + package + r'\b', depends)


if __name__ == '__main__':
    unittest.main()
