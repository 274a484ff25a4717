#!/usr/bin/env python3
# Tests of scripts/check-includes on copies of this tree's sources, each
# with one include changed: every rule refuses what it should and names the
# file.
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
SCRIPT = os.path.join(ROOT, "scripts", "check-includes")
FOLDERS = ["base", "shell", "cipher", "carrier", "credentials", "cli", "cleaner", "tests"]

# A line added to one file, and what the check must say about it.
REFUSALS = [
    ("base/signatureform.cpp", '#include "cipher/transform.h"',
     "base/signatureform.cpp includes cipher/transform.h: runs the wrong way"),
    ("credentials/password.cpp", '#include "carrier/trailer.h"',
     "credentials/password.cpp includes carrier/trailer.h: runs the wrong way"),
    ("shell/about_win.cpp", '#include "cipher/cipher_win.h"',
     "shell/about_win.cpp includes cipher/cipher_win.h: runs the wrong way"),
    # A subsystem sees the shell only through its services header, and no
    # other subsystem at all.
    ("carrier/embed_win.cpp", '#include "shell/shell_win.h"',
     "carrier/embed_win.cpp includes shell/shell_win.h: runs the wrong way"),
    ("carrier/embed_win.cpp", '#include "cipher/cipher_win.h"',
     "carrier/embed_win.cpp includes cipher/cipher_win.h: runs the wrong way"),
    ("cipher/encrypt_win.cpp", '#include "credentials/credentials_win.h"',
     "cipher/encrypt_win.cpp includes credentials/credentials_win.h: runs the wrong way"),
    ("cli/keys.cpp", '#include "cipher/cipher_win.h"',
     "cli/keys.cpp includes cipher/cipher_win.h: a pure file includes a _win header"),
    ("cleaner/clean_win.cpp", '#include "base/pathname.h"',
     "cleaner/clean_win.cpp includes base/pathname.h: runs the wrong way"),
]


class CheckIncludesTest(unittest.TestCase):
    def copy_tree(self):
        tree = tempfile.mkdtemp(prefix="zorvane-includes.")
        self.addCleanup(shutil.rmtree, tree)
        sources_only = shutil.ignore_patterns("*.png", "*.zel", "*.tsv", "*.txt", "*.py", "*.rc")
        for folder in FOLDERS:
            shutil.copytree(os.path.join(ROOT, folder), os.path.join(tree, folder),
                            ignore=sources_only)
        return tree

    def check(self, tree):
        return subprocess.run([sys.executable, SCRIPT, tree], capture_output=True, text=True)

    def assertRefused(self, tree, expected):
        result = self.check(tree)
        self.assertEqual(result.returncode, 1, result.stdout)
        self.assertIn(expected, result.stdout)
        self.assertIn("include check: FAILED", result.stdout)

    def test_the_copy_passes_as_it_is(self):
        result = self.check(self.copy_tree())
        self.assertEqual(result.returncode, 0, result.stdout)
        self.assertIn("include check: ok", result.stdout)
        self.assertIn("base               -> nothing", result.stdout)

    def test_each_rule_refuses_what_it_should(self):
        for path, line, expected in REFUSALS:
            with self.subTest(path):
                tree = self.copy_tree()
                with open(os.path.join(tree, path), "a") as f:
                    f.write(line + "\n")
                self.assertRefused(tree, expected)


if __name__ == "__main__":
    unittest.main()
