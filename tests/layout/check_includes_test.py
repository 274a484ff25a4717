#!/usr/bin/env python3
# Tests of scripts/check-includes on copies of this tree's sources, each
# with one include changed: every rule refuses what it should and names the
# file, and the known list cannot outlive its entries.
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
SCRIPT = os.path.join(ROOT, "scripts", "check-includes")
FOLDERS = ["base", "shell", "cipher", "carrier", "credentials", "cli", "cleaner", "tests"]


class CheckIncludesTest(unittest.TestCase):
    def setUp(self):
        self.tree = tempfile.mkdtemp(prefix="zorvane-includes.")
        self.addCleanup(shutil.rmtree, self.tree)
        keep = shutil.ignore_patterns("*.png", "*.zel", "*.tsv", "*.txt", "*.py", "*.rc")
        for folder in FOLDERS:
            shutil.copytree(os.path.join(ROOT, folder), os.path.join(self.tree, folder), ignore=keep)

    def check(self):
        return subprocess.run([sys.executable, SCRIPT, self.tree], capture_output=True, text=True)

    def append(self, path, line):
        with open(os.path.join(self.tree, path), "a") as f:
            f.write(line + "\n")

    def assertRefused(self, expected):
        result = self.check()
        self.assertEqual(result.returncode, 1, result.stdout)
        self.assertIn(expected, result.stdout)
        self.assertIn("include check: FAILED", result.stdout)

    def test_the_copy_passes_as_it_is(self):
        result = self.check()
        self.assertEqual(result.returncode, 0, result.stdout)
        self.assertIn("include check: ok", result.stdout)
        self.assertIn("base               -> nothing", result.stdout)

    def test_base_includes_nothing_of_ours(self):
        self.append("base/signatureform.cpp", '#include "cipher/transform.h"')
        self.assertRefused("base/signatureform.cpp includes cipher/transform.h: runs the wrong way")

    def test_a_subsystem_does_not_include_another(self):
        self.append("credentials/password.cpp", '#include "carrier/trailer.h"')
        self.assertRefused("credentials/password.cpp includes carrier/trailer.h: runs the wrong way")

    def test_only_dispatch_and_registration_know_the_subsystems(self):
        self.append("shell/about_win.cpp", '#include "cipher/cipher_win.h"')
        self.assertRefused("shell/about_win.cpp includes cipher/cipher_win.h: runs the wrong way")

    def test_a_pure_file_includes_no_win_header(self):
        self.append("cli/keys.cpp", '#include "cipher/cipher_win.h"')
        self.assertRefused("cli/keys.cpp includes cipher/cipher_win.h: a pure file includes a _win header")

    def test_the_cleaner_shares_nothing(self):
        self.append("cleaner/clean_win.cpp", '#include "base/pathname.h"')
        self.assertRefused("cleaner/clean_win.cpp includes base/pathname.h: runs the wrong way")

    def test_a_mended_include_must_leave_the_known_list(self):
        path = os.path.join(self.tree, "credentials", "messages_win.cpp")
        with open(path) as f:
            text = f.read()
        with open(path, "w") as f:
            f.write(text.replace('#include "shell/modal_win.h"\n', ""))
        self.assertRefused("credentials/messages_win.cpp no longer includes shell/modal_win.h")


if __name__ == "__main__":
    unittest.main()
