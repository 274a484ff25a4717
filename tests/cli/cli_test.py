#!/usr/bin/env python3
# Tests of zorvane-cli from outside: the known-answer cipher files and carriers
# of tests/data both ways, exit codes, refusals, secrets from stdin, the
# environment and a pseudo-terminal, and failures that must leave nothing.
# ZORVANE_CLI names the program; ZORVANE_CLI_RUNNER (e.g. "wine") runs it.
import hashlib
import os
import pty
import re
import resource
import select
import shutil
import signal
import subprocess
import tempfile
import termios
import time
import unittest

CLI = os.path.abspath(os.environ.get("ZORVANE_CLI", "dist/zorvane-cli"))
RUNNER = os.environ.get("ZORVANE_CLI_RUNNER", "").split()
DATA = os.environ.get("ZORVANE_TESTDATA", os.path.join(os.path.dirname(__file__), "..", "data"))


def sha(data):
    return hashlib.sha256(data).hexdigest()


def read(path):
    with open(path, "rb") as f:
        return f.read()


def table(sub):
    # A tab-separated table of tests/data, as its generator wrote it.
    with open(os.path.join(DATA, sub, "vectors.tsv"), encoding="latin-1") as f:
        lines = f.read().splitlines()
    return [line.split("\t") for line in lines if line and not line.startswith("#")]


def text_of(hex_field, codepage):
    # 8-bit text of a code page, as the tables keep it, as the characters typed.
    return bytes.fromhex(hex_field).decode("cp" + codepage)


def cipher_vectors():
    # The table the cipher unit tests check, with the payloads' digests and
    # the code page of the signatures.
    rows = table("cipher")
    assert len(rows) >= 12, "vector table not found"
    return [(f, text_of(s1, cp), text_of(s2, cp), int(m), int(n), d, cp)
            for f, s1, s2, m, n, d, cp, _ in rows]


def carrier_vectors():
    return [(carrier, int(step), text_of(key, cp), int(size), hidden, after, text_of(name, cp), cp)
            for carrier, step, key, size, hidden, after, name, cp, _ in table("carrier")]


def selftest_vector_count():
    # The rows the build compiles into the selftest.
    return sum(row[-1] == "yes" for row in table("cipher") + table("carrier"))


def signature_block(key):
    # The 31 bytes that open both formats: the scrambled signature form, then 0xF7.
    key = key if isinstance(key, bytes) else key.encode("latin-1")
    form = key[:7].ljust(7) + b"\0"
    return bytes(((((c << 4) | (c >> 4)) & 0xFF) ^ 0xF7) for c in form) + b"\xF7" * 23


def trailer(key, hidden, name):
    # A carrier trailer as the format describes it.
    size = str(len(hidden)).encode().ljust(8, b"\0")
    name = name if isinstance(name, bytes) else name.encode("latin-1")
    return signature_block(key) + b"\0" + hidden + size + name.ljust(260, b"\0")


def text(output):
    # What a program printed, with plain line ends (Windows programs print CR LF).
    return output.decode().replace("\r\n", "\n")


def exec_child(directory, argv, env=None):
    # In the forked child: never return into the test runner.
    try:
        os.chdir(directory)
        os.execve(argv[0], argv, env if env is not None else clean_env())
    finally:
        os._exit(127)


def clean_env(**extra):
    env = {k: v for k, v in os.environ.items() if not k.startswith("ZORVANE_SIGNATURE")}
    env.update(extra)
    return env


class CliCase(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="zorvane-cli-test.")
        self.addCleanup(shutil.rmtree, self.dir)

    def run_cli(self, *args, keys=None, env=None, limit=None, descriptors=None, new_session=False):
        def limit_size():
            if limit is not None:
                resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit))
            if descriptors is not None:
                resource.setrlimit(resource.RLIMIT_NOFILE, (descriptors, descriptors))
        stdin = b"".join((k if isinstance(k, bytes) else k.encode()) + b"\n" for k in keys or [])
        return subprocess.run(RUNNER + [CLI] + list(args), cwd=self.dir,
                              input=stdin, capture_output=True,
                              env=env if env is not None else clean_env(),
                              preexec_fn=limit_size, start_new_session=new_session, timeout=120)

    def start(self, argv, **kw):
        # A child that outlives a failing test is ended by the cleanup.
        child = subprocess.Popen(argv, cwd=self.dir, **kw)
        self.addCleanup(self.end, child)
        return child

    @staticmethod
    def end(child):
        if child.poll() is None:
            child.kill()
        child.wait()

    def fork_on_terminal(self, argv, env=None):
        pid, master = pty.fork()
        if pid == 0:
            exec_child(self.dir, argv, env)
        reaped = []
        self.addCleanup(self.end_forked, pid, reaped)
        self.addCleanup(os.close, master)
        return pid, master, reaped

    @staticmethod
    def end_forked(pid, reaped):
        if not reaped:
            try:
                os.kill(pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            os.waitpid(pid, 0)

    def run_on_terminal(self, argv, answers, env=None, settle=0):
        """Runs argv on a new pseudo-terminal, typing each answer once its prompt
        was shown since the last answer and the output then rested `settle`
        seconds (Wine's console may draw the prompt's space as a cursor move
        and drop what comes too early); the exit code and all it showed."""
        pid, master, reaped = self.fork_on_terminal(argv, env)
        seen = b""
        answered = 0
        pending = list(answers)
        while True:
            ready, _, _ = select.select([master], [], [], 30)
            if not ready:
                self.fail("no answer from the terminal: %r" % seen)
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
        _, status = os.waitpid(pid, 0)
        reaped.append(pid)
        return os.waitstatus_to_exitcode(status), seen

    def put(self, name, data):
        path = os.path.join(self.dir, name)
        with open(path, "wb") as f:
            f.write(data)
        return path

    def copy_data(self, sub, name, as_name=None):
        shutil.copy(os.path.join(DATA, sub, name), os.path.join(self.dir, as_name or name))

    def path(self, name):
        return os.path.join(self.dir, name)

    def listing(self):
        return sorted(os.listdir(self.dir))

    def assertExit(self, result, code):
        self.assertEqual(result.returncode, code,
                         "stdout %r stderr %r" % (result.stdout, result.stderr))


class VectorTest(CliCase):
    """The files the window program's commands were checked against, both ways."""

    def test_decrypts_every_known_cipher_file(self):
        for name, s1, s2, mode, size, digest, cp in cipher_vectors():
            with self.subTest(name):
                self.copy_data("cipher", name)
                out = name[:-4] + "zel" + name[-4:]
                self.assertExit(self.run_cli("decrypt", "--keys-from-stdin", "--codepage", cp, name,
                                             keys=[s1, s2]), 0)
                self.assertEqual(sha(read(self.path(out))), digest)
                self.assertEqual(len(read(self.path(out))), size)

    def test_encrypts_byte_identical_mode3_files(self):
        for name, s1, s2, mode, size, digest, cp in cipher_vectors():
            if mode != 3:
                continue
            with self.subTest(name):
                self.copy_data("cipher", name, "known.zel")
                self.assertExit(self.run_cli("decrypt", "--force", "--keys-from-stdin", "-o",
                                             "plain.bin", "known.zel", "--codepage", cp,
                                             keys=[s1, s2]), 0)
                # Keys padded with spaces by hand are the same signature.
                env = clean_env(ZORVANE_SIGNATURE1=s1.ljust(7), ZORVANE_SIGNATURE2=s2,
                                ZORVANE_CODEPAGE=cp)
                self.assertExit(self.run_cli("encrypt", "--force", "plain.bin", env=env), 0)
                self.assertEqual(read(self.path("plainzel.bin")), read(self.path("known.zel")))

    def test_extracts_every_known_carrier_step_by_step(self):
        for carrier, step, key, size, hidden, after, stored, cp in carrier_vectors():
            with self.subTest(carrier=carrier, step=step):
                if step == 1:
                    self.copy_data("carrier", carrier)
                out = re.split(r"[\\/:]", stored)[-1]
                result = self.run_cli("extract", "--force", "--keys-from-stdin", carrier, keys=[key],
                                      env=clean_env(ZORVANE_CODEPAGE=cp))
                self.assertExit(result, 0)
                self.assertEqual(result.stdout.decode(), "%s -> %s (stored as %s)\n"
                                 % (carrier, out, stored))
                self.assertEqual(sha(read(self.path(out))), hidden)
                self.assertEqual(sha(read(self.path(carrier))), after)

    def test_embeds_the_trailer_the_format_describes(self):
        image = read(os.path.join(DATA, "carrier", "image.png"))
        hidden = bytes(range(256)) * 41 + b"tail"
        self.put("image.png", image)
        self.put("secret.bin", hidden)
        self.assertExit(self.run_cli("embed", "--keys-from-stdin", "secret.bin", "image.png",
                                     keys=["Pass 7x"]), 0)
        data = read(self.path("image.png"))
        name = data[-260:].split(b"\0")[0].decode()
        self.assertEqual(name, os.path.realpath(self.path("secret.bin")))
        self.assertEqual(data, image + trailer("Pass 7x", hidden, name))
        os.remove(self.path("secret.bin"))
        self.assertExit(self.run_cli("extract", "--keys-from-stdin", "image.png", keys=["Pass 7x"]), 0)
        self.assertEqual(read(self.path("secret.bin")), hidden)
        self.assertEqual(read(self.path("image.png")), image)

    def test_selftest_passes(self):
        result = self.run_cli("selftest")
        self.assertExit(result, 0)
        self.assertIn(b"all %d vectors passed" % selftest_vector_count(), result.stdout)


class CommandLineTest(CliCase):
    """Exit codes, refusals and where secrets come from, with what the
    program says each time."""

    def test_usage_errors_exit_1(self):
        self.put("a.png", b"x" * 400)
        self.put("b.bin", b"y")
        usage = b"\n\nUsage: zorvane-cli COMMAND [OPTIONS] FILE...\n"
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
            (("encrypt", "--codepage", "klingon", "a.png"),
             b'zorvane-cli: --codepage "klingon" is not a code page number or "bytes"\n'),
            (("extract", "--codepage", "9999", "a.png"),
             b"zorvane-cli: code page 9999 cannot be opened on this system (on Linux it needs "
             b"glibc's gconv modules)\n"),
            # The bounds of a code page number: 1 to 65535.
            (("encrypt", "--codepage", "0", "a.png"),
             b'zorvane-cli: --codepage "0" is not a code page number or "bytes"\n'),
            (("encrypt", "--codepage", "65536", "a.png"),
             b'zorvane-cli: --codepage "65536" is not a code page number or "bytes"\n'),
            (("extract", "--codepage", "65535", "a.png"),
             b"zorvane-cli: code page 65535 cannot be opened on this system"),
        ]
        for args, said in cases:
            with self.subTest(args):
                result = self.run_cli(*args, keys=["k", "k"])
                self.assertExit(result, 1)
                if said.startswith(b"zorvane-cli: "):
                    self.assertTrue(result.stderr.startswith(said), result.stderr)
                else:
                    # One line: the command, the reason, where help is.
                    command = args[0].encode()
                    self.assertEqual(result.stderr, b"zorvane-cli %s: %s (zorvane-cli %s --help)\n"
                                     % (command, said, command))
                self.assertEqual(result.stdout, b"")
        self.assertEqual(self.listing(), ["a.png", "b.bin"])

    def test_stdin_ending_early_and_no_terminal_exit_1(self):
        self.put("a.bin", b"abc")
        result = self.run_cli("encrypt", "--keys-from-stdin", "a.bin", keys=["only one"])
        self.assertExit(result, 1)
        self.assertEqual(result.stderr, b"zorvane-cli: Signature 2: standard input ended before it\n")
        # A new session has no controlling terminal to ask on.
        result = self.run_cli("encrypt", "a.bin", new_session=True)
        self.assertExit(result, 1)
        self.assertEqual(result.stderr, b"zorvane-cli: Signature 1: no terminal to ask on; "
                                        b"use --keys-from-stdin or set ZORVANE_SIGNATURE1\n")
        result = self.run_cli("extract", "a.bin", new_session=True)
        self.assertExit(result, 1)
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
            ("a-env.zel", None, {"ZORVANE_SIGNATURE1": "", "ZORVANE_SIGNATURE2": "Zz"}),
            ("a-spaces.zel", None, {"ZORVANE_SIGNATURE1": "       ", "ZORVANE_SIGNATURE2": "Zz     "}),
            ("b-env.zel", None, {"ZORVANE_SIGNATURE1": "Seven77", "ZORVANE_SIGNATURE2": "Zz"}),
            ("b-long.zel", ["Seven77" + "x" * 5000, "Zz"], None),
            ("b-cut.zel", ["Seven77x" + "ü" * 3000, "Zz"], None),  # cut inside a character
            ("b-longer.zel", ["Seven77tail", "Zz" + "     y" * 300], None),
        ]
        for name, keys, env in runs:
            with self.subTest(name):
                args = ["encrypt", "-o", name, "x.bin"]
                if keys is not None:
                    args.insert(1, "--keys-from-stdin")
                result = self.run_cli(*args, keys=keys, env=clean_env(**env) if env else None)
                self.assertExit(result, 0)
                self.assertEqual(result.stdout, b"x.bin -> %s\n" % name.encode())
        for group in "ab":
            files = [read(self.path(name)) for name, _, _ in runs if name.startswith(group)]
            self.assertEqual(files, [files[0]] * len(files), group)
        self.assertNotEqual(read(self.path("a-env.zel")), read(self.path("b-env.zel")))

    def test_options_end_at_a_double_dash(self):
        self.put("-x.bin", b"dash")
        env = clean_env(ZORVANE_SIGNATURE1="s1", ZORVANE_SIGNATURE2="s2")
        result = self.run_cli("encrypt", "--", "-x.bin", env=env)
        self.assertExit(result, 0)
        self.assertEqual(result.stdout, b"-x.bin -> -xzel.bin\n")
        result = self.run_cli("decrypt", "-o", "back.bin", "--", "-xzel.bin", env=env)
        self.assertExit(result, 0)
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
                if keys:
                    result = self.run_cli("embed", "--keys-from-stdin", "h.bin", carrier, keys=keys)
                else:
                    result = self.run_cli("embed", "h.bin", carrier,
                                          env=clean_env(ZORVANE_SIGNATURE1="k"))
                self.assertExit(result, 1)
                self.assertEqual(result.stderr, b"zorvane-cli: %s: %s\n" % (carrier.encode(), said))
                self.assertEqual(read(self.path(carrier)), data)
                if said != text:
                    self.assertExit(self.run_cli("embed", "--any-carrier", "--keys-from-stdin", "h.bin",
                                                 carrier, keys=["k"]), 0)
                    self.assertEqual(read(self.path(carrier)), data + trailer(
                        "k", b"hidden", os.path.realpath(self.path("h.bin"))))
        self.assertEqual(self.listing(), ["SETUP.INI", "h.bin", "letter.bin", "notes.txt", "paper.png"])

    def test_refusals_exit_2_and_write_nothing(self):
        self.copy_data("cipher", "mode3-3000.zel", "c.zel")
        self.copy_data("carrier", "image-one.png", "one.png")
        self.put("cut.zel", read(self.path("c.zel"))[:20])
        self.put("random.bin", bytes(range(200)) * 3)
        self.put("short.bin", b"0123456789")
        self.put("empty.bin", b"")
        self.put("plain.png", b"\x89PNG" * 100)
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
        before = {n: read(self.path(n)) for n in self.listing()}
        for command, name, keys, said in cases:
            with self.subTest(command=command, name=name, keys=keys):
                result = self.run_cli(command, "--keys-from-stdin", name, keys=keys)
                self.assertExit(result, 2)
                self.assertEqual(result.stderr, b"zorvane-cli: %s: %s\n" % (name.encode(), said))
                self.assertEqual(result.stdout, b"")
                self.assertEqual({n: read(self.path(n)) for n in self.listing()}, before)

    def test_file_errors_exit_3(self):
        self.copy_data("cipher", "mode3-0.zel", "e.zel")
        self.put("ezel.zel", b"already here")
        self.put("h.bin", b"hidden")
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
            (("extract", "photo.png"), ["k1"], b"photo.png: " + itself),
            (("extract", "--force", "photo.png"), ["k1"], b"photo.png: " + itself),
            (("extract", "--force", "-o", "./photo.png", "photo.png"), ["k1"], b"./photo.png: " + itself),
            (("extract", "--force", "link.png"), ["k1"], b"photo.png: " + itself),
        ]
        others = ("dir.png", "fifo.png")
        before = {n: read(self.path(n)) for n in self.listing() if n not in others}
        for args, keys, said in cases:
            with self.subTest(args):
                result = self.run_cli(args[0], "--keys-from-stdin", *args[1:], keys=keys)
                self.assertExit(result, 3)
                self.assertEqual(result.stderr, b"zorvane-cli: " + said + b"\n")
                self.assertEqual(result.stdout, b"")
                self.assertEqual({n: read(self.path(n)) for n in self.listing() if n not in others},
                                 before)
        self.assertEqual(os.listdir(self.path("dir.png")), [])

    def test_no_overwrite_without_force(self):
        for force in ["--force", "-f"]:
            with self.subTest(force):
                self.copy_data("carrier", "image-one.png", "one.png")
                self.put("one.txt", b"mine")
                original = read(self.path("one.png"))
                result = self.run_cli("extract", "--keys-from-stdin", "one.png", keys=["k1"])
                self.assertExit(result, 3)
                self.assertEqual(result.stderr, b"zorvane-cli: one.txt: already exists (--force replaces it)\n")
                self.assertEqual(read(self.path("one.txt")), b"mine")
                self.assertEqual(read(self.path("one.png")), original)
                result = self.run_cli("extract", force, "--keys-from-stdin", "one.png", keys=["k1"])
                self.assertExit(result, 0)
                self.assertEqual(result.stdout, b"one.png -> one.txt (stored as C:\\Users\\demo\\one.txt)\n")
                self.assertEqual(read(self.path("one.txt")), b"Z")
                self.assertEqual(self.listing(), ["one.png", "one.txt"])

    def test_stored_name_without_a_file_name_needs_o(self):
        own = b"\x89PNG" * 100
        for stored in ["C:\\Users\\demo\\", "/home/me/", "D:", "C:\\data\\..", "."]:
            with self.subTest(stored):
                self.put("c.png", own + trailer("k1", b"hidden", stored))
                before = read(self.path("c.png"))
                result = self.run_cli("extract", "--keys-from-stdin", "c.png", keys=["k1"])
                self.assertExit(result, 3)
                self.assertEqual(result.stderr, b'zorvane-cli: extract: stored name "%s" has no file '
                                                b"name; give one with -o\n" % stored.encode())
                self.assertEqual(read(self.path("c.png")), before)
                self.assertEqual(self.listing(), ["c.png"])
                result = self.run_cli("extract", "--keys-from-stdin", "-o", "h.bin", "c.png", keys=["k1"])
                self.assertExit(result, 0)
                self.assertEqual(read(self.path("h.bin")), b"hidden")
                self.assertEqual(read(self.path("c.png")), own)
                os.remove(self.path("h.bin"))

    def test_stored_name_is_the_full_path_when_it_fits(self):
        # 259 characters fit the name field; a longer full path gives way to
        # the file name alone.
        self.put("photo.png", b"\x89PNG" * 100)
        for length in [259, 260, 300]:
            with self.subTest(length):
                # Folders of at most 100 characters below the test's own.
                folder = os.path.realpath(self.dir)
                left = length - len(folder) - len("/h.bin")
                while left > 101:
                    folder = os.path.join(folder, "d" * 50)
                    left -= 51
                folder = os.path.join(folder, "e" * (left - 1))
                os.makedirs(folder)
                hidden = os.path.join(folder, "h.bin")
                self.assertEqual(len(os.path.realpath(hidden)), length)
                with open(hidden, "wb") as f:
                    f.write(b"deep")
                result = self.run_cli("embed", "--keys-from-stdin", hidden, "photo.png", keys=["k"])
                self.assertExit(result, 0)
                stored = read(self.path("photo.png"))[-260:].split(b"\0")[0].decode()
                self.assertEqual(stored, os.path.realpath(hidden) if length < 260 else "h.bin")
                result = self.run_cli("extract", "--keys-from-stdin", "photo.png", keys=["k"])
                self.assertExit(result, 0)
                self.assertEqual(read(self.path("h.bin")), b"deep")
                os.remove(self.path("h.bin"))
                top = os.path.relpath(folder, os.path.realpath(self.dir)).split(os.sep)[0]
                shutil.rmtree(self.path(top))

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
                ([], cp("latin"), ["k1", "k2"], None, 'ZORVANE_CODEPAGE "latin" is not a code page number or "bytes"')]
        for k, (args, env, keys, expected, refusal) in enumerate(runs):
            with self.subTest(keys=keys, args=args, env=env):
                result = self.run_cli("encrypt", "--keys-from-stdin", *args, "-o", "%d.zel" % k, "x.bin",
                                      keys=keys, env=clean_env(**env))
                self.assertExit(result, 1 if refusal else 0)
                self.assertEqual(text(result.stderr), "zorvane-cli: %s\n" % refusal if refusal else "")
                if expected:
                    self.assertExit(self.run_cli("encrypt", "--keys-from-stdin", "--codepage", "bytes", "-o",
                                                 "b.zel", "-f", "x.bin", keys=[expected, "k2"]), 0)
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
                result = self.run_cli("encrypt", "--keys-from-stdin", "-o", "u.zel", "x.bin",
                                      keys=[bytes.fromhex(hexes), "k2"])
                self.assertExit(result, 1)
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
            result = self.run_cli("decrypt" if name == "new.zel" else "extract", "--keys-from-stdin", *args, name,
                                  keys=[key, "Straßenbahn€"])
            self.assertEqual((result.returncode, text(result.stderr)), (2, message))
        result = self.run_cli("extract", "--keys-from-stdin", "--codepage", "bytes", "old.png", keys=["Müller"])
        self.assertEqual(text(result.stdout), "old.png -> Bücher.txt (stored as /home/me/Bücher.txt)\n")
        self.assertEqual((read(self.path("Bücher.txt")), read(self.path("old.png"))), (b"hidden", image))

    def test_names_cross_in_the_code_page(self):
        # The "zel" rule counts characters. Stored names go into the code page
        # and back; a folder it lacks leaves the file name, a file name it lacks
        # is refused, a stored name that does not convert back gets a safe name.
        env = clean_env(ZORVANE_SIGNATURE1="Mueller", ZORVANE_SIGNATURE2="k2")
        image = b"\x89PNG" * 100
        for name in ["Отчёт", "Bücher.txt", "Папка/x.bin", "photo.png"]:
            os.makedirs(os.path.dirname(self.path(name)), exist_ok=True)
            self.put(name, image if name == "photo.png" else name.encode())
        self.assertEqual(text(self.run_cli("encrypt", "Отчёт", env=env).stdout), "Отчёт -> Оzelтчёт\n")
        folder = os.path.realpath(self.dir) + "/"
        for hidden, cp, stored in [("Bücher.txt", "1252", folder + "Bücher.txt"),
                                   ("Отчёт", "1251", folder + "Отчёт"), ("Папка/x.bin", "1252", "x.bin")]:
            self.assertExit(self.run_cli("embed", "--codepage", cp, hidden, "photo.png", env=env), 0)
            self.assertEqual(read(self.path("photo.png"))[-260:].split(b"\0")[0], stored.encode("cp" + cp))
            os.remove(self.path(hidden))
            result = self.run_cli("extract", "photo.png", env=clean_env(ZORVANE_CODEPAGE=cp, **env))
            out = stored.split("/")[-1]
            self.assertEqual(text(result.stdout), "photo.png -> %s (stored as %s)\n" % (out, stored))
            self.assertEqual(read(self.path(out)), hidden.encode())
        result = self.run_cli("embed", "Отчёт", "photo.png", env=env)
        self.assertEqual((result.returncode, text(result.stderr)), (3, 'zorvane-cli: Отчёт: "О" (U+041E) is not '
                                                                     "a character of code page 1252 (see --codepage)\n"))
        self.put("c.png", image + trailer("Mueller", b"hid", b"C:\\dir\\B\x81cher.txt"))
        self.assertEqual(text(self.run_cli("extract", "c.png", env=env).stdout), "c.png -> B_81cher.txt (stored "
                         "as C:\\dir\\B\\x81cher.txt: byte 0x81 is not a character of code page 1252 (see "
                         "--codepage); a safe name instead)\n")
        self.assertEqual((read(self.path("B_81cher.txt")), read(self.path("photo.png"))), (b"hid", image))

    def test_temporary_name_may_fill_the_path_buffer_exactly(self):
        # The temporary file beside a target is its folder, 19 characters of
        # pattern and a NUL in a 4096-byte buffer: a folder of 4076 characters
        # fits exactly, one more does not.
        self.put("plain.bin", b"plain")
        for length, code in [(4076, 0), (4077, 3)]:
            with self.subTest(length):
                parts = []
                left = length
                while left > 201:
                    parts.append("d" * 200)
                    left -= 201
                parts.append("e" * (left - 1))
                folder = "/".join(parts) + "/"
                self.assertEqual(len(folder), length)
                # Too long from the root: made and read from the test's folder.
                here = os.getcwd()
                os.chdir(self.dir)
                self.addCleanup(os.chdir, here)
                os.makedirs(folder)
                result = self.run_cli("encrypt", "--keys-from-stdin", "-o", folder + "o",
                                      "plain.bin", keys=["k1", "k2"])
                self.assertExit(result, code)
                made = os.listdir(folder)
                os.chdir(here)
                self.assertEqual(made, ["o"] if code == 0 else [])
                if code:
                    self.assertIn(b"too long", result.stderr.lower())
                shutil.rmtree(self.path(parts[0]))

    def test_list_goes_on_after_a_failure_and_reports_the_first(self):
        for name in ["A.DOC", "C.DOC"]:
            self.put(name, name.encode() * 50)
        env = clean_env(ZORVANE_SIGNATURE1="s1", ZORVANE_SIGNATURE2="s2")
        result = self.run_cli("encrypt", "A.DOC", "B.DOC", "C.DOC", env=env)
        self.assertExit(result, 3)
        self.assertEqual(result.stderr, b"zorvane-cli: B.DOC: cannot open: No such file or directory\n")
        self.assertEqual(result.stdout, b"A.DOC -> Azel.DOC\nC.DOC -> Czel.DOC\n")
        self.assertEqual(self.listing(), ["A.DOC", "Azel.DOC", "C.DOC", "Czel.DOC"])
        result = self.run_cli("decrypt", "Azel.DOC", "Czel.DOC", env=env)
        self.assertExit(result, 0)
        self.assertEqual(read(self.path("Azelzel.DOC")), b"A.DOC" * 50)
        self.assertEqual(read(self.path("Czelzel.DOC")), b"C.DOC" * 50)

    def test_a_long_list_of_failures_keeps_no_file_open(self):
        # Twelve descriptors at most: a file left open by each failure would
        # make the last file of the list fail too.
        names = []
        for k in range(15):
            os.mkdir(self.path("dir%02d" % k))
            self.put("f%02d.bin" % k, b"x")
            self.put("f%02dzel.bin" % k, b"already")
            names += ["dir%02d" % k, "f%02d.bin" % k]
        self.put("last.bin", b"last")
        env = clean_env(ZORVANE_SIGNATURE1="s1", ZORVANE_SIGNATURE2="s2")
        result = self.run_cli("encrypt", *names, "last.bin", env=env, descriptors=12)
        self.assertExit(result, 3)
        self.assertEqual(result.stdout, b"last.bin -> lastzel.bin\n")
        said = [b"zorvane-cli: %s: cannot open: Is a directory" % n.encode() if n.startswith("dir")
                else b"zorvane-cli: %szel.bin: already exists (--force replaces it)" % n[:3].encode()
                for n in names]
        self.assertEqual(result.stderr.splitlines(), said)

    def test_help_and_version(self):
        for command in ["encrypt", "decrypt", "embed", "extract", "selftest"]:
            for flag in ["--help", "-h"]:
                with self.subTest(command=command, flag=flag):
                    result = self.run_cli(command, flag)
                    self.assertExit(result, 0)
                    self.assertTrue(result.stdout.startswith(("Usage: zorvane-cli " + command).encode()))
                    # The note on secrets goes with the commands that take them.
                    self.assertEqual(b"Secrets are never taken" in result.stdout, command != "selftest")
                    self.assertEqual(b"--any-carrier " in result.stdout, command == "embed")
        for flag in ["--help", "-h"]:
            result = self.run_cli(flag)
            self.assertExit(result, 0)
            self.assertTrue(result.stdout.startswith(b"Usage: zorvane-cli COMMAND"))
        result = self.run_cli("--version")
        self.assertExit(result, 0)
        self.assertTrue(result.stdout.startswith(b"zorvane-cli "))

    def test_quiet_stderr_when_not_a_terminal(self):
        self.put("big.bin", b"\x5a" * (6 << 20))
        env = clean_env(ZORVANE_SIGNATURE1="s1", ZORVANE_SIGNATURE2="s2")
        result = self.run_cli("encrypt", "big.bin", env=env)
        self.assertExit(result, 0)
        self.assertEqual(result.stderr, b"")

    def test_decrypts_a_header_that_arrives_in_pieces(self):
        # From a pipe the 33 header bytes may take several reads.
        name, s1, s2, _, _, digest, _ = [v for v in cipher_vectors() if v[0] == "mode3-3000.zel"][0]
        data = read(os.path.join(DATA, "cipher", name))
        os.mkfifo(self.path("in.zel"))
        env = clean_env(ZORVANE_SIGNATURE1=s1, ZORVANE_SIGNATURE2=s2)
        child = self.start([CLI, "decrypt", "-o", "out.bin", "in.zel"], env=env,
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
        env = clean_env(ZORVANE_SIGNATURE1="s1", ZORVANE_SIGNATURE2="s2")
        result = self.run_cli("encrypt", "big.bin", env=env, limit=self.LIMIT)
        self.assertExit(result, 3)
        self.assertEqual(result.stderr, b"zorvane-cli: bigzel.bin: " + self.TOO_LARGE + b"\n")
        self.assertEqual(result.stdout, b"")
        self.assertEqual(self.listing(), ["big.bin"])
        self.assertExit(self.run_cli("encrypt", "-o", "big.zel", "big.bin", env=env), 0)
        result = self.run_cli("decrypt", "big.zel", env=env, limit=self.LIMIT)
        self.assertExit(result, 3)
        self.assertEqual(result.stderr, b"zorvane-cli: bigzel.zel: " + self.TOO_LARGE + b"\n")
        self.assertEqual(self.listing(), ["big.bin", "big.zel"])

    def test_extract_keeps_the_carrier_when_the_hidden_file_cannot_be_written(self):
        self.put("photo.png", b"\x89PNG" * 1000)
        self.put("big.bin", os.urandom(1 << 20))
        self.assertExit(self.run_cli("embed", "--keys-from-stdin", "big.bin", "photo.png", keys=["key"]), 0)
        os.remove(self.path("big.bin"))
        carrier = read(self.path("photo.png"))
        result = self.run_cli("extract", "--keys-from-stdin", "photo.png", keys=["key"], limit=self.LIMIT)
        self.assertExit(result, 3)
        self.assertEqual(result.stderr, b"zorvane-cli: big.bin: " + self.TOO_LARGE + b"\n"
                                        b"zorvane-cli: photo.png: left as it was\n")
        self.assertEqual(read(self.path("photo.png")), carrier)
        self.assertEqual(self.listing(), ["photo.png"])

    def test_interrupt_removes_the_temporary_file(self):
        # The input is a pipe the test feeds, so the program is surely
        # halfway (temporary file made, input not ended) when it is stopped.
        # The temporary file is beside its target, never in the current
        # folder unless the target is there.
        os.mkfifo(self.path("in.fifo"))
        os.mkdir(self.path("sub"))
        env = clean_env(ZORVANE_SIGNATURE1="s1", ZORVANE_SIGNATURE2="s2")
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
        own = b"\x89PNG" * 1000
        self.put("photo.png", own)
        self.put("big.bin", os.urandom(1 << 20))
        result = self.run_cli("embed", "--keys-from-stdin", "big.bin", "photo.png", keys=["key"],
                              limit=self.LIMIT)
        self.assertExit(result, 3)
        self.assertEqual(result.stderr, b"zorvane-cli: photo.png: " + self.TOO_LARGE + b"\n"
                                        b"zorvane-cli: photo.png: left as it was\n")
        self.assertEqual(read(self.path("photo.png")), own)
        self.assertEqual(self.listing(), ["big.bin", "photo.png"])


class CrossTest(CliCase):
    """Signatures beyond ASCII typed as UTF-8 here and in the window program under
    Wine (e2e_cipher, run between these two) open each other's files."""

    def test_makes_a_file_for_the_window_program(self):
        shared = os.environ["ZORVANE_CROSS_DIR"]
        shutil.rmtree(shared, ignore_errors=True)
        os.makedirs(shared)  # empty: nothing of an earlier run counts
        self.put("cli.bin", os.urandom(2000))
        self.assertExit(self.run_cli("encrypt", "--keys-from-stdin", "cli.bin", keys=["Müller", "Größe"]), 0)
        for name in ["cli.bin", "clizel.bin"]:
            shutil.copy(self.path(name), shared)

    def test_opens_the_window_programs_file(self):
        for name in ["window.bin", "windowzel.bin"]:
            shutil.copy(os.path.join(os.environ["ZORVANE_CROSS_DIR"], name), self.dir)
        for codepage, code in [("bytes", 2), ("1252", 0)]:
            self.assertExit(self.run_cli("decrypt", "--keys-from-stdin", "--codepage", codepage,
                                         "windowzel.bin", keys=["Müller", "Größe"]), code)
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

    def wait_for(self, master, text):
        seen = b""
        while not seen.endswith(text):
            ready, _, _ = select.select([master], [], [], 30)
            if not ready:
                self.fail("no %r on the terminal: %r" % (text, seen))
            seen += os.read(master, 4096)
        return seen

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
                ([CLI, "encrypt", "in.fifo"], clean_env(ZORVANE_SIGNATURE1="a", ZORVANE_SIGNATURE2="b"), None)]
        for argv, env, prompt in runs:
            with self.subTest(argv):
                pid, master, reaped = self.fork_on_terminal(argv, env)
                settings = termios.tcgetattr(master)
                if prompt:
                    self.wait_for(master, prompt)
                    self.assertFalse(termios.tcgetattr(master)[3] & termios.ECHO)
                else:
                    feed = open(self.path("in.fifo"), "wb")
                    self.addCleanup(feed.close)
                os.kill(pid, signal.SIGINT)
                _, status = os.waitpid(pid, 0)
                reaped.append(pid)
                self.assertEqual(os.waitstatus_to_exitcode(status), -signal.SIGINT)
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
        env = clean_env(ZORVANE_SIGNATURE1="a", ZORVANE_SIGNATURE2="b")
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
        for vector, plain in [("mode3-3000.zel", "REPORT.DOC"), ("umlaut-1252.zel", "Счёт.doc"),
                              ("cyrillic-1251.zel", "报告书")]:
            name, s1, s2, _, _, digest, cp = [v for v in cipher_vectors() if v[0] == vector][0]
            self.copy_data("cipher", name, plain)
            out, again = [n[:-4] + "zel" + n[-4:] for n in (plain, plain[:-4] + "zel" + plain[-4:])]
            result = self.run_cli("decrypt", "--keys-from-stdin", "--codepage", cp, plain, keys=[s1, s2])
            self.assertEqual(text(result.stdout), "%s -> %s\n" % (plain, out))
            self.assertEqual(sha(read(self.path(out))), digest)
            env = clean_env(ZORVANE_SIGNATURE1=s1, ZORVANE_SIGNATURE2=s2, ZORVANE_CODEPAGE=cp)
            self.assertExit(self.run_cli("encrypt", out, env=env), 0)
            self.assertEqual(read(self.path(again)), read(self.path(plain)))
            result = self.run_cli("decrypt", "--keys-from-stdin", "--codepage", cp, "-o", "x.bin", plain,
                                  keys=[s1, "x"])
            self.assertExit(result, 2)
        self.assertNotIn("x.bin", self.listing())

    def test_extracts_known_carriers(self):
        for carrier, _, key, _, hidden, after, stored, cp in [carrier_vectors()[k] for k in (3, -2, -1)]:
            self.copy_data("carrier", carrier)
            result = self.run_cli("extract", "--keys-from-stdin", carrier, keys=[key],
                                  env=clean_env(ZORVANE_CODEPAGE=cp))
            out = stored.split("\\")[-1]
            self.assertEqual(text(result.stdout), "%s -> %s (stored as %s)\n" % (carrier, out, stored))
            self.assertEqual((sha(read(self.path(out))), sha(read(self.path(carrier)))), (hidden, after))

    def test_console_reads_secrets_and_shows_names_as_characters(self):
        # On a console (Wine's, on a pseudo-terminal here) secrets are read
        # and names written as wide characters.
        self.put("Отчёт.doc", b"report")
        code, seen = self.run_on_terminal(RUNNER + [CLI, "encrypt", "Отчёт.doc"],
                                          [(b"Signature 1:", "Müller\r".encode()),
                                           (b"Signature 2:", "Größe\r".encode())], settle=1)
        self.assertEqual((code, "Отчёт.doc -> Отчётzel.doc".encode() in seen, b"M\xc3\xbc" in seen), (0, True, False))
        self.assertExit(self.run_cli("encrypt", "--keys-from-stdin", "-o", "same.zel", "Отчёт.doc",
                                     keys=["Müller", "Größe"]), 0)
        self.assertEqual(read(self.path("Отчётzel.doc")), read(self.path("same.zel")))

    def test_wildcards_are_expanded_as_console_programs_do(self):
        # Sorted, brackets and spaces are parts of names, a pattern without a
        # match is named (the other files are done), embed and extract take one
        # match each, -o is never expanded (to xa.zel: Windows refuses "x*.zel").
        for name in ["b.doc", "a [1].doc", "c d.doc", "Отчёт.doc", "x.bin", "one.png", "two.png", "xa.zel"]:
            self.put(name, name.encode())
        os.mkdir(self.path("sub"))
        self.put("sub/in.doc", b"in")
        env = clean_env(ZORVANE_SIGNATURE1="k1", ZORVANE_SIGNATURE2="k2")
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
            result = self.run_cli(*args, env=env)
            self.assertEqual((result.returncode, text(result.stdout), text(result.stderr)), (code, said, complained))
        self.assertEqual(len(self.listing()), 14)

    def test_selftest_passes(self):
        self.assertExit(self.run_cli("selftest"), 0)


if __name__ == "__main__":
    unittest.main()
