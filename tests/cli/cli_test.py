#!/usr/bin/env python3
# Tests of zorvane-cli from outside: the known-answer cipher files and carriers
# of tests/data both ways, exit codes, refusals, secrets from stdin, the
# environment and a pseudo-terminal, and failures that must leave nothing.
# ZORVANE_CLI names the program; ZORVANE_CLI_RUNNER (e.g. "wine") runs it.
import fcntl
import os
import pty
import re
import resource
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import termios
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from zorvane_format import (DATA, carrier_vectors, cipher_vectors, sha, selftest_vector_count,  # noqa: E402
                            trailer)

CLI = os.path.abspath(os.environ.get("ZORVANE_CLI", "dist/zorvane-cli"))
RUNNER = os.environ.get("ZORVANE_CLI_RUNNER", "").split()


def read(path):
    with open(path, "rb") as f:
        return f.read()


def text(output):
    # What a program printed, with plain line ends (the Windows program prints CR LF).
    said = output.decode()
    return said.replace("\r\n", "\n") if CLI.lower().endswith(".exe") else said


def clean_env(**extra):
    return dict({k: v for k, v in os.environ.items() if not k.startswith("ZORVANE_SIGNATURE")}, **extra)


def signed(s1, s2, **extra):
    return clean_env(ZORVANE_SIGNATURE1=s1, ZORVANE_SIGNATURE2=s2, **extra)


def nested(length, most):
    # A relative folder name of `length` characters with its last "/": folders
    # of `most` characters, then one of at least one character (an empty one
    # would make "//", which the system reads as one "/").
    parts = (length - 2) // (most + 1)
    return ("d" * most + "/") * parts + "e" * (length - parts * (most + 1) - 1) + "/"


class CliCase(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="zorvane-cli-test.")
        self.addCleanup(shutil.rmtree, self.dir)

    def cli(self, code, *args, keys=None, env=None, limit=None, descriptors=None, new_session=False, out=None,
            err=None):
        """Runs the program with these secrets on standard input, checks its exit
        code and, where given, what it printed: bytes exactly, a str as text
        with plain line ends."""
        def limit_size():
            if limit is not None:
                resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit))
            if descriptors is not None:
                resource.setrlimit(resource.RLIMIT_NOFILE, (descriptors, descriptors))
        stdin = keys if isinstance(keys, bytes) else b"".join((k if isinstance(k, bytes) else k.encode()) + b"\n"
                                                              for k in keys or [])
        result = subprocess.run(RUNNER + [CLI] + list(args), cwd=self.dir, input=stdin, capture_output=True,
                                env=env if env is not None else clean_env(), preexec_fn=limit_size,
                                start_new_session=new_session, timeout=120)
        self.assertEqual(result.returncode, code, "stdout %r stderr %r" % (result.stdout, result.stderr))
        for got, want in ((result.stdout, out), (result.stderr, err)):
            if want is not None:
                self.assertEqual(text(got) if isinstance(want, str) else got, want)
        return result

    def start(self, argv, **kw):
        # A child that outlives a failing test is ended by the cleanup.
        child = subprocess.Popen(argv, cwd=self.dir, **kw)
        self.addCleanup(child.wait)
        self.addCleanup(lambda: child.poll() is None and child.kill())
        return child

    def start_on_terminal(self, argv, env=None):
        # A child whose controlling terminal is a new pseudo-terminal, and its master
        # side; the terminal's settings from before the child could change them.
        master, slave = pty.openpty()
        self.addCleanup(os.close, master)
        self.terminal_before = termios.tcgetattr(master)
        child = self.start(argv, stdin=slave, stdout=slave, stderr=slave, env=env if env is not None else clean_env(),
                           start_new_session=True, preexec_fn=lambda: fcntl.ioctl(0, termios.TIOCSCTTY, 0))
        os.close(slave)
        return child, master

    def run_on_terminal(self, argv, answers, env=None, settle=0):
        """Runs argv on a new pseudo-terminal, typing each answer once its prompt
        was shown since the last answer and the output then rested `settle`
        seconds (Wine's console may draw the prompt's space as a cursor move
        and drop what comes too early); the exit code and all it showed."""
        child, master = self.start_on_terminal(argv, env)
        seen = b""
        answered = 0
        pending = list(answers)
        while True:
            self.assertTrue(select.select([master], [], [], 30)[0], "no answer from the terminal: %r" % seen)
            try:
                chunk = os.read(master, 65536)
            except OSError:
                break
            if not chunk:
                break
            seen += chunk
            if pending and pending[0][0] in seen[answered:] and not select.select([master], [], [], settle)[0]:
                answered = len(seen)
                os.write(master, pending.pop(0)[1])
        return child.wait(), seen

    def put(self, *files):
        # Names and their bytes, by turns.
        for name, data in zip(files[::2], files[1::2]):
            with open(self.path(name), "wb") as f:
                f.write(data)

    def copy_data(self, sub, name, as_name=None):
        shutil.copy(os.path.join(DATA, sub, name), os.path.join(self.dir, as_name or name))

    def path(self, name):
        return os.path.join(self.dir, name)

    def listing(self):
        return sorted(os.listdir(self.dir))

    def refused(self, code, cases, others=(), **kw):
        # Each run (the command and its files, the secrets) exits with `code`, says
        # why (bytes exactly, a str as text) and nothing more, and leaves every
        # file but `others` as it was (`kw` goes to each run: a file size limit, say).
        def files():
            return {n: read(self.path(n)) for n in self.listing() if n not in others}
        before = files()
        for args, keys, said in cases:
            with self.subTest(args=args, keys=keys):
                self.cli(code, args[0], "--keys-from-stdin", *args[1:], keys=keys, out=b"",
                         err=("zorvane-cli: %s\n" if isinstance(said, str) else b"zorvane-cli: %s\n") % said, **kw)
                self.assertEqual(files(), before)


class VectorTest(CliCase):
    """The files the window program's commands were checked against, both ways."""

    def test_decrypts_every_known_cipher_file(self, names=None):
        # Each under its own name or the one given; then encrypted back to the
        # same bytes when in the mode encrypt writes, and refused with a wrong Key 2.
        for name, s1, s2, mode, size, digest, cp in cipher_vectors():
            plain = (names or {name: name}).get(name)
            if plain is None:
                continue
            with self.subTest(name):
                self.copy_data("cipher", name, plain)
                out, again = [n[:-4] + "zel" + n[-4:] for n in (plain, plain[:-4] + "zel" + plain[-4:])]
                self.cli(0, "decrypt", "--keys-from-stdin", "--codepage", cp, plain, keys=[s1, s2],
                         out="%s -> %s\n" % (plain, out))
                self.assertEqual(sha(read(self.path(out))), digest)
                self.assertEqual(len(read(self.path(out))), size)
                if mode == 3:
                    self.cli(0, "encrypt", out, env=signed(s1, s2, ZORVANE_CODEPAGE=cp))
                    self.assertEqual(read(self.path(again)), read(self.path(plain)))
                self.cli(2, "decrypt", "--keys-from-stdin", "--codepage", cp, "-o", "x.bin", plain, keys=[s1, "x"])
        self.assertNotIn("x.bin", self.listing())

    def test_encrypts_byte_identical_mode3_files(self):
        for name, s1, s2, mode, size, digest, cp in cipher_vectors():
            if mode != 3:
                continue
            with self.subTest(name):
                self.copy_data("cipher", name, "known.zel")
                self.cli(0, "decrypt", "--force", "--keys-from-stdin", "-o", "plain.bin", "known.zel",
                         "--codepage", cp, keys=[s1, s2])
                # Keys padded with spaces by hand are the same signature.
                self.cli(0, "encrypt", "--force", "plain.bin", env=signed(s1.ljust(7), s2, ZORVANE_CODEPAGE=cp))
                self.assertEqual(read(self.path("plainzel.bin")), read(self.path("known.zel")))

    def test_extracts_every_known_carrier_step_by_step(self, rows=None):
        for carrier, step, key, size, hidden, after, stored, cp in rows or carrier_vectors():
            with self.subTest(carrier=carrier, step=step):
                if step == 1:
                    self.copy_data("carrier", carrier)
                out = re.split(r"[\\/:]", stored)[-1]
                self.cli(0, "extract", "--force", "--keys-from-stdin", carrier, keys=[key],
                         env=clean_env(ZORVANE_CODEPAGE=cp), out="%s -> %s (stored as %s)\n" % (carrier, out, stored))
                self.assertEqual(sha(read(self.path(out))), hidden)
                self.assertEqual(sha(read(self.path(carrier))), after)

    def test_embeds_the_trailer_the_format_describes(self):
        image = read(os.path.join(DATA, "carrier", "image.png"))
        hidden = bytes(range(256)) * 41 + b"tail"
        self.put("image.png", image, "secret.bin", hidden)
        self.cli(0, "embed", "--keys-from-stdin", "secret.bin", "image.png", keys=["Pass 7x"])
        data = read(self.path("image.png"))
        name = data[-260:].split(b"\0")[0].decode()
        self.assertEqual(name, os.path.realpath(self.path("secret.bin")))
        self.assertEqual(data, image + trailer("Pass 7x", hidden, name))
        os.remove(self.path("secret.bin"))
        self.cli(0, "extract", "--keys-from-stdin", "image.png", keys=["Pass 7x"])
        self.assertEqual(read(self.path("secret.bin")), hidden)
        self.assertEqual(read(self.path("image.png")), image)

    def test_selftest_passes(self):
        self.assertIn(b"all %d vectors passed" % selftest_vector_count(), self.cli(0, "selftest").stdout)


class CommandLineTest(CliCase):
    """Exit codes, refusals and where secrets come from, with what the
    program says each time."""

    def test_usage_errors_exit_1(self):
        self.put("a.png", b"x" * 400, "b.bin", b"y")
        usage = b"\n\nUsage: zorvane-cli COMMAND [OPTIONS] FILE...\n"
        page = b'zorvane-cli: --codepage "%s" is not a code page number or "bytes"\n'
        cases = [
            ((), b"zorvane-cli: no command given" + usage),
            (("frobnicate",), b'zorvane-cli: unknown command "frobnicate"' + usage),
            (("encrypt",), b"missing file name"),
            (("encrypt", "--secret", "Alpha", "a.png"), b'unknown option "--secret"'),
            (("decrypt", "-o", "x", "a.png", "b.bin"), b"-o takes one input file only"),
            (("embed", "b.bin"), b"missing file name"),
            (("embed", "b.bin", "a.png", "c.png"), b"too many file names"),
            (("extract", "a.png", "b.bin"), b"too many file names"),
            (("extract",), b"missing file name"),
            (("embed", "--force", "b.bin", "a.png"), b'unknown option "--force"'),
            (("embed", "-o", "x", "b.bin", "a.png"), b'unknown option "-o"'),
            (("decrypt", "a.png", "-o"), b"-o needs a file name"),
            (("selftest", "a.png"), b"too many file names"),
            (("selftest", "--keys-from-stdin"), b'unknown option "--keys-from-stdin"'),
            (("decrypt", "a.png", "--codepage"), b'--codepage needs a code page number or "bytes"'),
            (("encrypt", "--codepage", "klingon", "a.png"), page % b"klingon"),
            (("extract", "--codepage", "9999", "a.png"),
             b"zorvane-cli: code page 9999 cannot be opened on this system (on Linux it needs "
             b"glibc's gconv modules)\n"),
            # The bounds of a code page number: 1 to 65535.
            (("encrypt", "--codepage", "0", "a.png"), page % b"0"),
            (("encrypt", "--codepage", "65536", "a.png"), page % b"65536"),
            # Too long for the message: cut where its buffer ends.
            (("encrypt", "--codepage", "9" * 300, "a.png"), (page % (b"9" * 300))[:212] + b"\n"),
            (("extract", "--codepage", "65535", "a.png"),
             b"zorvane-cli: code page 65535 cannot be opened on this system"),
        ]
        for args, said in cases:
            with self.subTest(args):
                result = self.cli(1, *args, keys=["k", "k"], out=b"")
                if said.startswith(b"zorvane-cli: "):
                    self.assertTrue(result.stderr.startswith(said), result.stderr)
                else:
                    # One line: the command, the reason, where help is.
                    command = args[0].encode()
                    self.assertEqual(result.stderr, b"zorvane-cli %s: %s (zorvane-cli %s --help)\n"
                                     % (command, said, command))
        self.assertEqual(self.listing(), ["a.png", "b.bin"])

    def test_stdin_ending_early_and_no_terminal_exit_1(self):
        self.put("a.bin", b"abc")
        self.cli(1, "encrypt", "--keys-from-stdin", "a.bin", keys=["only one"],
                 err=b"zorvane-cli: Signature 2: standard input ended before it\n")
        # A new session has no controlling terminal to ask on.
        self.cli(1, "encrypt", "a.bin", new_session=True, err=b"zorvane-cli: Signature 1: no terminal to ask on; "
                 b"use --keys-from-stdin or set ZORVANE_SIGNATURE1\n")
        result = self.cli(1, "extract", "a.bin", new_session=True)
        self.assertTrue(result.stderr.startswith(b"zorvane-cli: Key: no terminal"), result.stderr)
        self.assertEqual(self.listing(), ["a.bin"])

    def test_secrets_have_the_signature_form_wherever_they_come_from(self):
        # An empty line, an empty variable and seven spaces are one signature;
        # a line ended by CR LF is its text; only the first seven characters
        # count, and the rest of a long line is not the next secret.
        self.put("x.bin", bytes(range(256)) * 4)
        runs = [
            ("a-stdin.zel", ["", "Zz"], None),
            ("a-crlf.zel", ["\r", "Zz\r"], None),
            ("a-eof.zel", b"\nZz", None),  # the last line without its line end
            ("a-env.zel", None, signed("", "Zz")),
            ("a-spaces.zel", None, signed("       ", "Zz     ")),
            ("b-env.zel", None, signed("Seven77", "Zz")),
            ("b-long.zel", ["Seven77" + "x" * 5000, "Zz"], None),
            ("b-cut.zel", ["Seven77x" + "ü" * 3000, "Zz"], None),  # cut inside a character
            ("b-cut3.zel", ["Seven77" + "€" * 3000, "Zz"], None),  # after two of its three bytes
            ("b-longer.zel", ["Seven77tail", "Zz" + "     y" * 300], None),
        ]
        for name, keys, env in runs:
            with self.subTest(name):
                stdin = ["--keys-from-stdin"] if keys is not None else []
                self.cli(0, "encrypt", *stdin, "-o", name, "x.bin", keys=keys, env=env,
                         out=b"x.bin -> %s\n" % name.encode())
        for group in "ab":
            files = [read(self.path(name)) for name, _, _ in runs if name.startswith(group)]
            self.assertEqual(files, [files[0]] * len(files), group)
        self.assertNotEqual(read(self.path("a-env.zel")), read(self.path("b-env.zel")))

    def test_options_end_at_a_double_dash(self):
        self.put("-x.bin", b"dash")
        env = signed("s1", "s2")
        self.cli(0, "encrypt", "--", "-x.bin", env=env, out=b"-x.bin -> -xzel.bin\n")
        self.cli(0, "decrypt", "-o", "back.bin", "--", "-xzel.bin", env=env)
        self.assertEqual(read(self.path("back.bin")), b"dash")

    def test_text_pdf_and_zip_carriers_are_refused(self):
        # PDF and ZIP carriers by their first bytes, and only without --any-carrier.
        self.put("h.bin", b"hidden")
        text = b"a carrier cannot be a text file (.txt or .ini)"
        kind = (b"is a %s: while a file is hidden in it, programs that open it may call it damaged, "
                b"and repairing it there loses the hidden file; nothing changed (--any-carrier "
                b"embeds anyway)")
        for carrier, data, keys, said in [
                ("notes.txt", b"text", ["k"], text), ("SETUP.INI", b"text", None, text),
                ("letter.bin", b"PK\3\4text", ["k"], kind % b"ZIP archive or office document"),
                ("paper.png", b" " * 1019 + b"%PDF-1.4", ["k"], kind % b"PDF document")]:
            with self.subTest(carrier):
                self.put(carrier, data)
                stdin, env = (["--keys-from-stdin"], None) if keys else ([], clean_env(ZORVANE_SIGNATURE1="k"))
                self.cli(1, "embed", *stdin, "h.bin", carrier, keys=keys, env=env,
                         err=b"zorvane-cli: %s: %s\n" % (carrier.encode(), said))
                self.assertEqual(read(self.path(carrier)), data)
                if said != text:
                    self.cli(0, "embed", "--any-carrier", "--keys-from-stdin", "h.bin", carrier, keys=["k"])
                    self.assertEqual(read(self.path(carrier)), data + trailer(
                        "k", b"hidden", os.path.realpath(self.path("h.bin"))))
        self.assertEqual(self.listing(), ["SETUP.INI", "h.bin", "letter.bin", "notes.txt", "paper.png"])

    def test_refusals_exit_2_and_write_nothing(self):
        self.copy_data("cipher", "mode3-3000.zel", "c.zel")
        self.copy_data("carrier", "image-one.png", "one.png")
        self.put("cut.zel", read(self.path("c.zel"))[:20], "random.bin", bytes(range(200)) * 3,
                 "short.bin", b"0123456789", "empty.bin", b"", "plain.png", b"\x89PNG" * 100)
        self.put("far.png", b"\x89PNG" * 100 + trailer("k1", b"x" * 50, "C:\\far.bin")[:-268]
                 + b"99999\0\0\0" + b"C:\\far.bin".ljust(260, b"\0"))
        wrong = b"wrong key (or not a cipher file); nothing written"
        no_trailer = b"wrong key (or no carrier trailer); nothing written"
        cases = [
            ("decrypt", "c.zel", ["Harbour", "Lanterx"], wrong),    # wrong Key 2
            ("decrypt", "c.zel", ["harbour", "Lantern"], wrong),    # case counts
            ("decrypt", "c.zel", ["Lantern", "Harbour"], wrong),    # keys swapped
            ("decrypt", "random.bin", ["Harbour", "Lantern"], wrong),
            ("decrypt", "short.bin", ["Harbour", "Lantern"], wrong),
            ("decrypt", "empty.bin", ["Harbour", "Lantern"], wrong),
            # The right keys on a file cut inside its header.
            ("decrypt", "cut.zel", ["Harbour", "Lantern"],
             b"not a cipher file for these keys; nothing written"),
            ("extract", "one.png", ["k2"], no_trailer),
            ("extract", "plain.png", ["k1"], no_trailer),
            ("extract", "short.bin", ["k1"], b"no carrier trailer (shorter than 300 bytes); nothing written"),
            ("extract", "far.png", ["k1"],
             b"no carrier trailer (its size field points outside the file); nothing written"),
        ]
        self.refused(2, [((command, name), keys, b"%s: %s" % (name.encode(), said))
                         for command, name, keys, said in cases])

    def test_file_errors_exit_3(self):
        self.copy_data("cipher", "mode3-0.zel", "e.zel")
        self.put("ezel.zel", b"already here", "h.bin", b"hidden", "aあ" * 63, b"x")
        os.mkdir(self.path("dir.png"))
        os.mkfifo(self.path("fifo.png"))
        # A carrier whose stored name is its own: the hidden file must not
        # take its place, however the output is named and whatever --force says.
        self.put("photo.png", b"\x89PNG" * 1250 + trailer("k1", b"h" * 1000, "C:\\sub\\photo.png"))
        os.symlink("photo.png", self.path("link.png"))
        itself = b"is the carrier itself; give another output with -o"
        missing = b"No such file or directory"
        cases = [
            (("encrypt", "dir.png"), ["a", "b"], b"dir.png: cannot open: Is a directory"),
            (("embed", "h.bin", "fifo.png"), ["k"], b"fifo.png: cannot read: Illegal seek"),
            (("encrypt", "missing.doc"), ["a", "b"], b"missing.doc: cannot open: " + missing),
            (("decrypt", "e.zel"), ["Alpha", "Bravo12"], b"ezel.zel: already exists (--force replaces it)"),
            (("extract", "missing.png"), ["k"], b"missing.png: cannot open for writing: " + missing),
            (("extract", "dir.png"), ["k"], b"dir.png: cannot open for writing: Is a directory"),
            (("embed", "h.bin", "missing.png"), ["k"], b"missing.png: cannot open for writing: " + missing),
            (("embed", "gone.bin", "e.zel"), ["k"], b"gone.bin: cannot open: " + missing),
            # 315 bytes in code page 930, which puts shifts around each Japanese character.
            (("embed", "--codepage", "930", "aあ" * 63, "e.zel"), ["k"],
             ("aあ" * 63).encode() + b": file name too long to store in a carrier"),
            (("extract", "photo.png"), ["k1"], b"photo.png: " + itself),
            (("extract", "--force", "photo.png"), ["k1"], b"photo.png: " + itself),
            (("extract", "--force", "-o", "./photo.png", "photo.png"), ["k1"], b"./photo.png: " + itself),
            (("extract", "--force", "link.png"), ["k1"], b"photo.png: " + itself),
        ]
        self.refused(3, cases, others=("dir.png", "fifo.png"))
        self.assertEqual(os.listdir(self.path("dir.png")), [])

    def test_no_overwrite_without_force(self):
        for force in ["--force", "-f"]:
            with self.subTest(force):
                self.copy_data("carrier", "image-one.png", "one.png")
                self.put("one.txt", b"mine")
                self.refused(3, [(("extract", "one.png"), ["k1"], b"one.txt: already exists (--force replaces it)")])
                self.cli(0, "extract", force, "--keys-from-stdin", "one.png", keys=["k1"],
                         out=b"one.png -> one.txt (stored as C:\\Users\\demo\\one.txt)\n")
                self.assertEqual(read(self.path("one.txt")), b"Z")
                self.assertEqual(self.listing(), ["one.png", "one.txt"])

    def test_stored_name_without_a_file_name_needs_o(self):
        own = b"\x89PNG" * 100
        for stored in ["C:\\Users\\demo\\", "/home/me/", "D:", "C:\\data\\..", "."]:
            with self.subTest(stored):
                self.put("c.png", own + trailer("k1", b"hidden", stored))
                self.refused(3, [(("extract", "c.png"), ["k1"], b'extract: stored name "%s" has no file name; '
                                  b"give one with -o" % stored.encode())])
                self.cli(0, "extract", "--keys-from-stdin", "-o", "h.bin", "c.png", keys=["k1"])
                self.assertEqual(read(self.path("h.bin")), b"hidden")
                self.assertEqual(read(self.path("c.png")), own)
                os.remove(self.path("h.bin"))

    def test_stored_name_is_the_full_path_when_it_fits(self):
        # 259 characters fit the name field; a longer full path gives way to
        # the file name alone, also when its bytes are stored as they are.
        self.put("photo.png", b"\x89PNG" * 100)
        for length, page in [(259, "1252"), (260, "1252"), (300, "1252"), (260, "bytes")]:
            with self.subTest(length=length, page=page):
                # Folders of at most 100 characters below the test's own.
                folder = nested(length - len(os.path.realpath(self.dir)) - len("/h.bin"), 100)
                os.makedirs(self.path(folder))
                self.put(folder + "h.bin", b"deep")
                hidden = os.path.realpath(self.path(folder + "h.bin"))
                self.assertEqual(len(hidden), length)
                self.cli(0, "embed", "--keys-from-stdin", "--codepage", page, hidden, "photo.png", keys=["k"])
                stored = read(self.path("photo.png"))[-260:].split(b"\0")[0].decode()
                self.assertEqual(stored, hidden if length < 260 else "h.bin")
                self.cli(0, "extract", "--keys-from-stdin", "photo.png", keys=["k"])
                self.assertEqual(read(self.path("h.bin")), b"deep")
                os.remove(self.path("h.bin"))
                shutil.rmtree(self.path(folder.split("/")[0]))

    def test_secrets_cross_in_the_code_page(self):
        # Typed as UTF-8, a secret gives the bytes of the code page (1252,
        # --codepage, ZORVANE_CODEPAGE); what it lacks, or not UTF-8, is refused.
        self.put("x.bin", bytes(range(256)))
        cp, see = (lambda n: {"ZORVANE_CODEPAGE": n}), " (see --codepage)"
        runs = [([], {}, ["Müller", "k2"], b"M\xfcller", ""),
                (["--codepage", "1252"], {}, ["Straßenbahn", "k2"], b"Stra\xdfen", ""),
                ([], cp("1251"), ["Ключ№7", "k2"], b"\xca\xeb\xfe\xf7\xb97", ""),
                (["--codepage", "1250"], cp("1251"), ["Łódź", "k2"], b"\xa3\xf3d\x9f", ""),
                (["--codepage", "932"], {}, ["日本", "k2"], b"\x93\xfa\x96\x7b", ""),
                ([], {}, ["Müllerā", "k2"], None, 'Signature 1: "ā" (U+0101) is not a character of code page 1252' + see),
                ([], {}, ["k1", "Жук"], None, 'Signature 2: "Ж" (U+0416) is not a character of code page 1252' + see),
                (["--codepage", "1251"], cp("bytes"), ["Müller", "k2"], None,
                 'Signature 1: "ü" (U+00FC) is not a character of code page 1251' + see),
                ([], cp("1251"), [b"M\xfcller", "k2"], None, "Signature 1: not UTF-8 text (byte 0xFC at 1)"),
                ([], cp("latin"), ["k1", "k2"], None, 'ZORVANE_CODEPAGE "latin" is not a code page number or "bytes"'),
                (["--codepage", "274"], {}, ["~", "k2"], None,
                 'Signature 1: "~" (U+007E) is not a character of code page 274' + see)]
        for k, (args, env, keys, expected, refusal) in enumerate(runs):
            with self.subTest(keys=keys, args=args, env=env):
                self.cli(1 if refusal else 0, "encrypt", "--keys-from-stdin", *args, "-o", "%d.zel" % k, "x.bin",
                         keys=keys, env=clean_env(**env), err="zorvane-cli: %s\n" % refusal if refusal else "")
                if expected:
                    self.cli(0, "encrypt", "--keys-from-stdin", "--codepage", "bytes", "-o", "b.zel", "-f", "x.bin",
                             keys=[expected, "k2"])
                    self.assertEqual(read(self.path("%d.zel" % k)), read(self.path("b.zel")))
        # The bounds of UTF-8: the first and last character of each length, the
        # forms too long for their value, the surrogates, past U+10FFFF, a lone
        # continuation byte and a cut sequence: a code point named, or a byte.
        bounds = [("c280", "U+0080"), ("c1bf", 0xC1), ("dfbf", "U+07FF"), ("e0a080", "U+0800"),
                  ("e09fbf", 0xE0), ("e1808f", "U+100F"), ("ed9fbf", "U+D7FF"), ("eda080", 0xED),
                  ("efbfbf", "U+FFFF"), ("f0908080", "U+10000"), ("f08fbfbf", 0xF0),
                  ("f48fbfbf", "U+10FFFF"), ("f4908080", 0xF4), ("f5808080", 0xF5), ("80", 0x80),
                  ("e180", 0xE1)]
        for hexes, named in bounds:
            with self.subTest(hexes):
                result = self.cli(1, "encrypt", "--keys-from-stdin", "-o", "u.zel", "x.bin",
                                  keys=[bytes.fromhex(hexes), "k2"])
                said = ("%s is not a character of code page 1252" % named if named == "U+0080" else
                        "(%s) is not a character of code page 1252" % named if isinstance(named, str)
                        else "not UTF-8 text (byte 0x%02X at 0)" % named)
                self.assertIn(said, text(result.stderr))
        self.assertEqual(self.listing(), ["0.zel", "1.zel", "2.zel", "3.zel", "4.zel", "b.zel", "x.bin"])

    def test_codepage_bytes_opens_files_of_earlier_versions(self):
        # Earlier versions on Linux took the UTF-8 bytes as they were. A wrong
        # key beyond ASCII says how it was taken; an ASCII one does not.
        image = b"\x89PNG" * 100
        self.put("old.png", image + trailer("Müller".encode(), b"hidden", b"/home/me/B\xc3\xbccher.txt"))
        self.copy_data("cipher", "umlaut-1252.zel", "new.zel")
        said = "zorvane-cli: %s: wrong key (or %s); nothing written\n"
        hint = "zorvane-cli: the keys were taken in %s\n"
        for args, name, key, message in [
                ([], "old.png", "Muller", said % ("old.png", "no carrier trailer")),
                ([], "old.png", "Müller", said % ("old.png", "no carrier trailer") + hint % "code page 1252; a file "
                 "locked by an earlier zorvane-cli on Linux may need --codepage bytes"),
                (["--codepage", "bytes"], "new.zel", "Müller", said % ("new.zel", "not a cipher file") + hint %
                 "--codepage bytes; files of the window program need its code page (--codepage N)")]:
            self.cli(2, "decrypt" if name == "new.zel" else "extract", "--keys-from-stdin", *args, name,
                     keys=[key, "Straßenbahn€"], err=message)
        self.cli(0, "extract", "--keys-from-stdin", "--codepage", "bytes", "old.png", keys=["Müller"],
                 out="old.png -> Bücher.txt (stored as /home/me/Bücher.txt)\n")
        self.assertEqual((read(self.path("Bücher.txt")), read(self.path("old.png"))), (b"hidden", image))

    def test_names_cross_in_the_code_page(self):
        # The "zel" rule counts characters. Stored names go into the code page
        # and back; a folder it lacks leaves the file name, a file name it lacks
        # is refused, a stored name that does not convert back gets a safe name.
        env = signed("Mueller", "k2")
        image = b"\x89PNG" * 100
        for name in ["Отчёт", "Bücher.txt", "Папка/x.bin", "photo.png"]:
            os.makedirs(os.path.dirname(self.path(name)), exist_ok=True)
            self.put(name, image if name == "photo.png" else name.encode())
        self.cli(0, "encrypt", "Отчёт", env=env, out="Отчёт -> Оzelтчёт\n")
        folder = os.path.realpath(self.dir) + "/"
        for hidden, cp, stored in [("Bücher.txt", "1252", folder + "Bücher.txt"),
                                   ("Отчёт", "1251", folder + "Отчёт"), ("Папка/x.bin", "1252", "x.bin")]:
            self.cli(0, "embed", "--codepage", cp, hidden, "photo.png", env=env)
            self.assertEqual(read(self.path("photo.png"))[-260:].split(b"\0")[0], stored.encode("cp" + cp))
            os.remove(self.path(hidden))
            out = stored.split("/")[-1]
            self.cli(0, "extract", "photo.png", env=signed("Mueller", "k2", ZORVANE_CODEPAGE=cp),
                     out="photo.png -> %s (stored as %s)\n" % (out, stored))
            self.assertEqual(read(self.path(out)), hidden.encode())
        self.cli(3, "embed", "Отчёт", "photo.png", env=env,
                 err='zorvane-cli: Отчёт: "О" (U+041E) is not a character of code page 1252 (see --codepage)\n')
        self.put("c.png", image + trailer("Mueller", b"hid", b"C:\\dir\\B\x81cher.txt"))
        self.cli(0, "extract", "c.png", env=env, out="c.png -> B_81cher.txt (stored as C:\\dir\\B\\x81cher.txt: "
                 "byte 0x81 is not a character of code page 1252 (see --codepage); a safe name instead)\n")
        self.assertEqual((read(self.path("B_81cher.txt")), read(self.path("photo.png"))), (b"hid", image))

    def test_temporary_name_may_fill_the_path_buffer_exactly(self):
        # The temporary file beside a target is its folder, 19 characters of
        # pattern and a NUL in a 4096-byte buffer: a folder of 4076 characters
        # fits exactly, one more does not.
        self.put("plain.bin", b"plain")
        for length, code in [(4076, 0), (4077, 3)]:
            with self.subTest(length):
                folder = nested(length, 200)
                self.assertEqual(len(folder), length)
                # Too long from the root: made and read from the test's folder.
                here = os.getcwd()
                os.chdir(self.dir)
                self.addCleanup(os.chdir, here)
                os.makedirs(folder)
                result = self.cli(code, "encrypt", "--keys-from-stdin", "-o", folder + "o", "plain.bin",
                                  keys=["k1", "k2"])
                made = os.listdir(folder)
                os.chdir(here)
                self.assertEqual(made, ["o"] if code == 0 else [])
                if code:
                    self.assertIn(b"too long", result.stderr.lower())
                shutil.rmtree(self.path(folder.split("/")[0]))

    def test_list_goes_on_after_a_failure_and_reports_the_first(self):
        for name in ["A.DOC", "C.DOC"]:
            self.put(name, name.encode() * 50)
        env = signed("s1", "s2")
        self.cli(3, "encrypt", "A.DOC", "B.DOC", "C.DOC", env=env, out=b"A.DOC -> Azel.DOC\nC.DOC -> Czel.DOC\n",
                 err=b"zorvane-cli: B.DOC: cannot open: No such file or directory\n")
        self.assertEqual(self.listing(), ["A.DOC", "Azel.DOC", "C.DOC", "Czel.DOC"])
        self.cli(0, "decrypt", "Azel.DOC", "Czel.DOC", env=env)
        self.assertEqual(read(self.path("Azelzel.DOC")), b"A.DOC" * 50)
        self.assertEqual(read(self.path("Czelzel.DOC")), b"C.DOC" * 50)

    def test_a_long_list_of_failures_keeps_no_file_open(self):
        # Twelve descriptors at most: a file left open by each failure would
        # make the last file of the list fail too.
        names = []
        for k in range(15):
            os.mkdir(self.path("dir%02d" % k))
            self.put("f%02d.bin" % k, b"x", "f%02dzel.bin" % k, b"already")
            names += ["dir%02d" % k, "f%02d.bin" % k]
        self.put("last.bin", b"last")
        result = self.cli(3, "encrypt", *names, "last.bin", env=signed("s1", "s2"), descriptors=12,
                          out=b"last.bin -> lastzel.bin\n")
        said = [b"zorvane-cli: %s: cannot open: Is a directory" % n.encode() if n.startswith("dir")
                else b"zorvane-cli: %szel.bin: already exists (--force replaces it)" % n[:3].encode()
                for n in names]
        self.assertEqual(result.stderr.splitlines(), said)

    def test_help_and_version(self):
        for command in ["encrypt", "decrypt", "embed", "extract", "selftest"]:
            for flag in ["--help", "-h"]:
                with self.subTest(command=command, flag=flag):
                    result = self.cli(0, command, flag)
                    self.assertTrue(result.stdout.startswith(("Usage: zorvane-cli " + command).encode()))
                    # The note on secrets goes with the commands that take them.
                    self.assertEqual(b"Secrets are never taken" in result.stdout, command != "selftest")
                    self.assertEqual(b"--any-carrier " in result.stdout, command == "embed")
        for flag in ["--help", "-h"]:
            self.assertTrue(self.cli(0, flag).stdout.startswith(b"Usage: zorvane-cli COMMAND"))
        self.assertTrue(self.cli(0, "--version").stdout.startswith(b"zorvane-cli "))

    def test_quiet_stderr_when_not_a_terminal(self):
        self.put("big.bin", b"\x5a" * (6 << 20))
        self.cli(0, "encrypt", "big.bin", env=signed("s1", "s2"), err=b"")

    def test_decrypts_a_header_that_arrives_in_pieces(self):
        # From a pipe the 33 header bytes may take several reads.
        name, s1, s2, _, _, digest, _ = [v for v in cipher_vectors() if v[0] == "mode3-3000.zel"][0]
        data = read(os.path.join(DATA, "cipher", name))
        os.mkfifo(self.path("in.zel"))
        child = self.start([CLI, "decrypt", "-o", "out.bin", "in.zel"], env=signed(s1, s2),
                           stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        with open(self.path("in.zel"), "wb", buffering=0) as feed:
            for piece in (data[:5], data[5:20], data[20:40], data[40:]):
                feed.write(piece)
                time.sleep(0.05)
        out, err = child.communicate(timeout=60)
        self.assertEqual(child.returncode, 0, err)
        self.assertEqual(out, b"in.zel -> out.bin\n")
        self.assertEqual(sha(read(self.path("out.bin"))), digest)


class FailureTest(CliCase):
    """A write that fails halfway (a file size limit stands in for a full
    disk) leaves no output, no temporary file and the carrier unchanged."""

    LIMIT = 256 * 1024
    TOO_LARGE = b"cannot write: File too large"

    def test_cipher_commands_leave_nothing(self):
        self.put("big.bin", os.urandom(1 << 20))
        self.cli(0, "encrypt", "-o", "big.zel", "big.bin", env=signed("s1", "s2"))
        self.refused(3, [(("encrypt", "big.bin"), ["s1", "s2"], b"bigzel.bin: " + self.TOO_LARGE),
                         (("decrypt", "big.zel"), ["s1", "s2"], b"bigzel.zel: " + self.TOO_LARGE)], limit=self.LIMIT)

    def test_extract_keeps_the_carrier_when_the_hidden_file_cannot_be_written(self):
        self.put("photo.png", b"\x89PNG" * 1000, "big.bin", os.urandom(1 << 20))
        self.cli(0, "embed", "--keys-from-stdin", "big.bin", "photo.png", keys=["key"])
        os.remove(self.path("big.bin"))
        self.refused(3, [(("extract", "photo.png"), ["key"], b"big.bin: %s\nzorvane-cli: photo.png: left as it was"
                          % self.TOO_LARGE)], limit=self.LIMIT)

    def test_interrupt_removes_the_temporary_file(self):
        # The input is a pipe the test feeds, so the program is surely
        # halfway (temporary file made, input not ended) when it is stopped.
        # The temporary file is beside its target, never in the current
        # folder unless the target is there.
        os.mkfifo(self.path("in.fifo"))
        os.mkdir(self.path("sub"))
        env = signed("s1", "s2")
        runs = [(signal.SIGINT, "out.zel"), (signal.SIGTERM, "sub/out.zel"), (signal.SIGHUP, "sub/out.zel")]
        for signal_number, target in runs:
            with self.subTest(signal=signal_number, target=target):
                folder = os.path.dirname(self.path(target))
                before = sorted(os.listdir(folder))
                child = self.start([CLI, "encrypt", "-o", target, "in.fifo"], env=env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                with open(self.path("in.fifo"), "wb") as feed:
                    feed.write(b"x" * 100000)
                    feed.flush()
                    for _ in range(500):
                        if len(os.listdir(folder)) > len(before):
                            break
                        time.sleep(0.01)
                    made = sorted(set(os.listdir(folder)) - set(before))
                    self.assertEqual(len(made), 1, made)
                    self.assertTrue(made[0].startswith(".zorvane-cli-"), made)
                    self.assertEqual(self.listing(), sorted(["in.fifo", "sub"] + made * (folder == self.dir)))
                    child.send_signal(signal_number)
                    self.assertEqual(child.wait(timeout=30), -signal_number)
                self.assertEqual(sorted(os.listdir(folder)), before)
        self.assertEqual(self.listing(), ["in.fifo", "sub"])
        self.assertEqual(os.listdir(self.path("sub")), [])

    def test_embed_cuts_a_partial_trailer_off_again(self):
        self.put("photo.png", b"\x89PNG" * 1000, "big.bin", os.urandom(1 << 20))
        self.refused(3, [(("embed", "big.bin", "photo.png"), ["key"], b"photo.png: %s\nzorvane-cli: photo.png: left "
                          b"as it was" % self.TOO_LARGE)], limit=self.LIMIT)


class CrossTest(CliCase):
    """Signatures beyond ASCII typed as UTF-8 here and in the window program under
    Wine (e2e_cipher, run between these two) open each other's files."""

    def test_makes_a_file_for_the_window_program(self):
        shared = os.environ["ZORVANE_CROSS_DIR"]
        shutil.rmtree(shared, ignore_errors=True)
        os.makedirs(shared)  # empty: nothing of an earlier run counts
        self.put("cli.bin", os.urandom(2000))
        self.cli(0, "encrypt", "--keys-from-stdin", "cli.bin", keys=["Müller", "Größe"])
        for name in ["cli.bin", "clizel.bin"]:
            shutil.copy(self.path(name), shared)

    def test_opens_the_window_programs_file(self):
        for name in ["window.bin", "windowzel.bin"]:
            shutil.copy(os.path.join(os.environ["ZORVANE_CROSS_DIR"], name), self.dir)
        for codepage, code in [("bytes", 2), ("1252", 0)]:
            self.cli(code, "decrypt", "--keys-from-stdin", "--codepage", codepage, "windowzel.bin",
                     keys=["Müller", "Größe"])
        self.assertEqual(read(self.path("windowzelzel.bin")), read(self.path("window.bin")))


# What the progress bar of a run shows: the percentages it passes through, one
# line each, for reads of a 256 KiB buffer whose first read is `first` bytes
# short (the cipher header written in front of it).
CHUNK = 256 * 1024


def progress_lines(label, total, first=0):
    lines = []
    done = 0
    want = CHUNK - first
    while done < total:
        done = min(total, done + want)
        want = CHUNK
        percent = done * 100 // total
        filled = percent * 30 // 100
        line = b"[%s%s] %3d %% %s" % (b"#" * filled, b"-" * (30 - filled), percent, label.encode())
        if not lines or lines[-1] != line:
            lines.append(line)
    return lines


class TerminalTest(CliCase):
    """Secrets asked on a pseudo-terminal: no echo, and echo back afterwards;
    the progress bar."""

    def test_prompt_does_not_echo_the_secret(self):
        self.copy_data("cipher", "mode3-7.zel", "s.zel")
        code, seen = self.run_on_terminal(
            [CLI, "decrypt", "s.zel"], [(b"Key 1: ", b"seven77\n"), (b"Key 2: ", b"Zeta\r")])
        self.assertEqual(code, 0, seen)
        self.assertNotIn(b"seven77", seen)
        self.assertNotIn(b"Zeta", seen)
        self.assertEqual(sha(read(self.path("szel.zel"))),
                         [v[5] for v in cipher_vectors() if v[0] == "mode3-7.zel"][0])

    def test_echo_is_back_for_the_next_program(self):
        # The same terminal: the secret is not echoed, the text after is.
        self.put("x.bin", b"data")
        _, seen = self.run_on_terminal(
            ["/bin/sh", "-c", '"$0" encrypt x.bin; read line; echo "got $line"', CLI],
            [(b"Signature 1: ", b"hidden1\n"), (b"Signature 2: ", b"hidden2\n"),
             (b"x.bin -> xzel.bin\r\n", b"visible\n")])
        self.assertNotIn(b"hidden", seen)
        self.assertIn(b"visible\r\n", seen)
        self.assertIn(b"got visible", seen)

    def test_interrupt_gives_the_terminal_back_as_it_was(self):
        # Stopped at its prompt, the program turns echo on again; stopped
        # elsewhere, it leaves the terminal's settings alone.
        self.put("x.bin", b"data")
        os.mkfifo(self.path("in.fifo"))
        runs = [([CLI, "encrypt", "x.bin"], None, b"Signature 1: "),
                ([CLI, "encrypt", "in.fifo"], signed("a", "b"), None)]
        for argv, env, prompt in runs:
            with self.subTest(argv):
                child, master = self.start_on_terminal(argv, env)
                settings = self.terminal_before
                if prompt:
                    seen = b""
                    while not seen.endswith(prompt):
                        self.assertTrue(select.select([master], [], [], 30)[0], "no prompt on the terminal: %r" % seen)
                        seen += os.read(master, 4096)
                    self.assertFalse(termios.tcgetattr(master)[3] & termios.ECHO)
                else:
                    feed = open(self.path("in.fifo"), "wb")
                    self.addCleanup(feed.close)
                child.send_signal(signal.SIGINT)
                self.assertEqual(child.wait(), -signal.SIGINT)
                self.assertEqual(termios.tcgetattr(master), settings)
                self.assertTrue(settings[3] & termios.ECHO)
        self.assertEqual(self.listing(), ["in.fifo", "x.bin"])

    def test_progress_bar_only_on_a_terminal_for_big_files(self):
        # From 4 MiB on, every command draws its bar and ends it with a new line.
        sizes = {"small.bin": 1000, "edge.bin": (4 << 20) - 1, "four.bin": 4 << 20,
                 "six.bin": (6 << 20) + 12345}
        for name, size in sizes.items():
            self.put(name, bytes([name[0].encode()[0]]) * size)
        self.put("photo.png", b"\x89PNG" * 100)
        env = signed("a", "b")
        six = sizes["six.bin"]
        runs = [
            ([CLI, "encrypt", "small.bin", "edge.bin", "four.bin", "six.bin"],
             progress_lines("four.bin", 4 << 20, 33) + progress_lines("six.bin", six, 33)),
            ([CLI, "decrypt", "-o", "back.bin", "sixzel.bin"], progress_lines("sixzel.bin", six)),
            ([CLI, "embed", "six.bin", "photo.png"], progress_lines("six.bin", six)),
            ([CLI, "extract", "-o", "out.bin", "photo.png"], progress_lines("photo.png", six)),
        ]
        for argv, expected in runs:
            with self.subTest(argv[1]):
                code, seen = self.run_on_terminal(argv, [], env)
                self.assertEqual(code, 0, seen)
                bars = [piece for piece in seen.split(b"\r") if piece.startswith(b"[")]
                self.assertEqual(bars, expected)
                for line in expected:
                    if b"] 100 % " in line:
                        self.assertIn(line + b"\r\n", seen)
        self.assertEqual(read(self.path("back.bin")), read(self.path("six.bin")))
        self.assertEqual(read(self.path("out.bin")), read(self.path("six.bin")))
        self.assertEqual(read(self.path("photo.png")), b"\x89PNG" * 100)


class WineVectorTest(CliCase):
    """A few runs that also suit the Windows program under Wine."""

    def test_vectors_both_ways(self):
        # Also those locked in code pages 1252 and 1251, under Cyrillic and
        # Chinese names, which print as UTF-8 when redirected.
        VectorTest.test_decrypts_every_known_cipher_file(self, {
            "mode3-3000.zel": "REPORT.DOC", "mode3-1.zel": "ONE.BIN", "umlaut-1252.zel": "Счёт.doc", "cyrillic-1251.zel": "报告书"})

    def test_extracts_known_carriers(self):
        VectorTest.test_extracts_every_known_carrier_step_by_step(self, [carrier_vectors()[k] for k in (3, -2, -1)])

    def test_console_reads_secrets_and_shows_names_as_characters(self):
        # On a console (Wine's, on a pseudo-terminal here) secrets are read
        # and names written as wide characters.
        self.put("Отчёт.doc", b"report")
        code, seen = self.run_on_terminal(RUNNER + [CLI, "encrypt", "Отчёт.doc"],
                                          [(b"Signature 1:", "Müller\r".encode()),
                                           (b"Signature 2:", "Größe\r".encode())], settle=1)
        self.assertEqual((code, "Отчёт.doc -> Отчётzel.doc".encode() in seen, b"M\xc3\xbc" in seen), (0, True, False))
        self.cli(0, "encrypt", "--keys-from-stdin", "-o", "same.zel", "Отчёт.doc", keys=["Müller", "Größe"])
        self.assertEqual(read(self.path("Отчётzel.doc")), read(self.path("same.zel")))

    def test_ctrl_c_on_the_console_removes_the_temporary_file(self):
        # Typed on Wine's console while the program waits halfway through its
        # input; the temporary file is beside the target.
        os.mkfifo(self.path("in.fifo"))
        os.mkdir(self.path("sub"))
        child, master = self.start_on_terminal(RUNNER + [CLI, "encrypt", "-o", "sub\\out.zel", "in.fifo"],
                                               signed("1", "2"))
        with open(self.path("in.fifo"), "wb") as feed:
            feed.write(b"x" * 100000)
            feed.flush()
            for _ in range(1000):
                if os.listdir(self.path("sub")):
                    break
                time.sleep(0.01)
            self.assertTrue(os.listdir(self.path("sub"))[0].startswith("zcl"), os.listdir(self.path("sub")))
            os.write(master, b"\x03")
            child.wait(timeout=30)
        self.assertEqual((self.listing(), os.listdir(self.path("sub"))), (["in.fifo", "sub"], []))

    def test_refuses_the_carrier_itself_and_a_folder_too_long_for_the_temporary_file(self):
        self.put("photo.png", b"\x89PNG" * 1250 + trailer("k1", b"h" * 1000, "C:\\sub\\photo.png"), "in.bin", b"in")
        deep = "d" * 125 + "\\" + "e" * 125 + "\\x.zel"
        self.refused(3, [(("extract", "--force", "photo.png"), ["k1"],
                          "photo.png: is the carrier itself; give another output with -o"),
                         (("encrypt", "-o", deep, "in.bin"), ["a", "b"],
                          deep + ": cannot create a temporary file beside it: File name is too long")])

    def test_wildcards_are_expanded_as_console_programs_do(self):
        # Sorted, brackets and spaces are parts of names, a pattern without a
        # match is named (the other files are done), embed and extract take one
        # match each, -o is never expanded (to xa.zel: Windows refuses "x*.zel").
        for name in ["b.doc", "a [1].doc", "c d.doc", "Отчёт.doc", "x.bin", "one.png", "two.png", "xa.zel"]:
            self.put(name, name.encode())
        os.mkdir(self.path("sub"))
        self.put("sub/in.doc", b"in")
        env = signed("k1", "k2")
        none = "zorvane-cli: *.none: no file matches\n"
        for args, code, said, complained in [
                (["encrypt", "*.doc"], 0, "a [1].doc -> a [1]zel.doc\nb.doc -> bzel.doc\nc d.doc -> c dzel.doc\n"
                 "Отчёт.doc -> Отчётzel.doc\n", ""),
                (["encrypt", "sub\\?n.doc", "-o", "x*.zel"], 3, "", "zorvane-cli: x*.zel: cannot put the new file "
                 "in place: Invalid name\n"),
                (["encrypt", "sub\\?n.doc"], 0, "sub\\in.doc -> sub\\inzel.doc\n", ""),
                (["encrypt", "*.none", "x.bin"], 3, "x.bin -> xzel.bin\n", none),
                (["embed", "*.none", "one.png"], 3, "", none),
                (["embed", "x.b?n", "*.png"], 1, "", 'zorvane-cli embed: "*.png" matches 2 files; embed takes one '
                 "each (zorvane-cli embed --help)\n"),
                (["embed", "x.b?n", "o*.png"], 0, "x.bin -> one.png\n", "")]:
            self.cli(code, *args, env=env, out=said, err=complained)
        self.assertEqual(len(self.listing()), 14)

    test_selftest_passes = VectorTest.test_selftest_passes


if __name__ == "__main__":
    unittest.main()
