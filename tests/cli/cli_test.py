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


def cipher_vectors():
    # The table the cipher unit tests check, with the payloads' digests.
    rows = table("cipher")
    assert len(rows) >= 10, "vector table not found"
    return [(f, s1, s2, int(m), int(n), d) for f, s1, s2, m, n, d, _ in rows]


def carrier_vectors():
    return [(carrier, int(step), key, int(size), hidden, after, name)
            for carrier, step, key, size, hidden, after, name, _ in table("carrier")]


def selftest_vector_count():
    # The rows the build compiles into the selftest.
    return sum(row[-1] == "yes" for row in table("cipher") + table("carrier"))


def exec_child(directory, argv):
    # In the forked child: never return into the test runner.
    try:
        os.chdir(directory)
        os.execve(argv[0], argv, clean_env())
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

    def run_cli(self, *args, keys=None, env=None, limit=None, new_session=False):
        def limit_size():
            if limit is not None:
                resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit))
        stdin = "".join(k + "\n" for k in keys) if keys is not None else ""
        return subprocess.run(RUNNER + [CLI] + list(args), cwd=self.dir,
                              input=stdin.encode("latin-1"), capture_output=True,
                              env=env if env is not None else clean_env(),
                              preexec_fn=limit_size, start_new_session=new_session, timeout=120)

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
        for name, s1, s2, mode, size, digest in cipher_vectors():
            with self.subTest(name):
                self.copy_data("cipher", name)
                out = name[:-4] + "zel" + name[-4:]
                self.assertExit(self.run_cli("decrypt", "--keys-from-stdin", name, keys=[s1, s2]), 0)
                self.assertEqual(sha(read(self.path(out))), digest)
                self.assertEqual(len(read(self.path(out))), size)

    def test_encrypts_byte_identical_mode3_files(self):
        for name, s1, s2, mode, size, digest in cipher_vectors():
            if mode != 3:
                continue
            with self.subTest(name):
                self.copy_data("cipher", name, "known.zel")
                self.assertExit(self.run_cli("decrypt", "--force", "--keys-from-stdin", "-o",
                                             "plain.bin", "known.zel", keys=[s1, s2]), 0)
                # Keys padded with spaces by hand are the same signature.
                env = clean_env(ZORVANE_SIGNATURE1=s1.ljust(7), ZORVANE_SIGNATURE2=s2)
                self.assertExit(self.run_cli("encrypt", "--force", "plain.bin", env=env), 0)
                self.assertEqual(read(self.path("plainzel.bin")), read(self.path("known.zel")))

    def test_extracts_every_known_carrier_step_by_step(self):
        for carrier, step, key, size, hidden, after, stored in carrier_vectors():
            with self.subTest(carrier=carrier, step=step):
                if step == 1:
                    self.copy_data("carrier", carrier)
                out = re.split(r"[\\/:]", stored)[-1]
                result = self.run_cli("extract", "--force", "--keys-from-stdin", carrier, keys=[key])
                self.assertExit(result, 0)
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
        block = bytes(((((c << 4) | (c >> 4)) & 0xFF) ^ 0xF7) for c in b"Pass 7x\0") + b"\xF7" * 23
        size = str(len(hidden)).encode().ljust(8, b"\0")
        self.assertEqual(data[:len(image)], image)
        self.assertEqual(data[len(image):len(image) + 40 + len(hidden)],
                         block + b"\0" + hidden + size)
        name = data[-260:].split(b"\0")[0].decode()
        self.assertTrue(name.endswith("secret.bin") and len(name) > len("secret.bin"), name)
        os.remove(self.path("secret.bin"))
        self.assertExit(self.run_cli("extract", "--keys-from-stdin", "image.png", keys=["Pass 7x"]), 0)
        self.assertEqual(read(self.path("secret.bin")), hidden)
        self.assertEqual(read(self.path("image.png")), image)

    def test_selftest_passes(self):
        result = self.run_cli("selftest")
        self.assertExit(result, 0)
        self.assertIn(b"all %d vectors passed" % selftest_vector_count(), result.stdout)


class CommandLineTest(CliCase):
    """Exit codes, refusals and where secrets come from."""

    def test_usage_errors_exit_1(self):
        self.put("a.png", b"x" * 400)
        self.put("b.bin", b"y")
        cases = [
            (),
            ("frobnicate",),
            ("encrypt",),
            ("encrypt", "--secret", "Alpha", "a.png"),
            ("decrypt", "-o", "x", "a.png", "b.bin"),
            ("embed", "b.bin"),
            ("extract", "a.png", "b.bin"),
            ("embed", "--force", "b.bin", "a.png"),
            ("decrypt", "a.png", "-o"),
        ]
        for args in cases:
            with self.subTest(args):
                result = self.run_cli(*args, keys=["k", "k"])
                self.assertExit(result, 1)
                self.assertIn(b"zorvane-cli", result.stderr)
        self.assertEqual(self.listing(), ["a.png", "b.bin"])

    def test_stdin_ending_early_and_no_terminal_exit_1(self):
        self.put("a.bin", b"abc")
        self.assertExit(self.run_cli("encrypt", "--keys-from-stdin", "a.bin", keys=["only one"]), 1)
        # A new session has no controlling terminal to ask on.
        result = self.run_cli("encrypt", "a.bin", new_session=True)
        self.assertExit(result, 1)
        self.assertIn(b"ZORVANE_SIGNATURE1", result.stderr)
        self.assertEqual(self.listing(), ["a.bin"])

    def test_text_carrier_is_refused(self):
        for carrier in ["notes.txt", "SETUP.INI"]:
            with self.subTest(carrier):
                self.put(carrier, b"text")
                self.put("h.bin", b"hidden")
                self.assertExit(self.run_cli("embed", "--keys-from-stdin", "h.bin", carrier, keys=["k"]), 1)
                self.assertEqual(read(self.path(carrier)), b"text")

    def test_refusals_exit_2_and_write_nothing(self):
        self.copy_data("cipher", "mode3-3000.zel", "c.zel")
        self.copy_data("carrier", "image-one.png", "one.png")
        self.put("random.bin", bytes(range(200)) * 3)
        self.put("short.bin", b"0123456789")
        self.put("plain.png", b"\x89PNG" * 100)
        cases = [
            ("decrypt", "c.zel", ["Harbour", "Lanterx"]),    # wrong Key 2
            ("decrypt", "c.zel", ["harbour", "Lantern"]),    # case counts
            ("decrypt", "c.zel", ["Lantern", "Harbour"]),    # keys swapped
            ("decrypt", "random.bin", ["Harbour", "Lantern"]),
            ("decrypt", "short.bin", ["Harbour", "Lantern"]),
            ("extract", "one.png", ["k2"]),
            ("extract", "plain.png", ["k1"]),
            ("extract", "short.bin", ["k1"]),
        ]
        before = {n: read(self.path(n)) for n in self.listing()}
        for command, name, keys in cases:
            with self.subTest(command=command, name=name, keys=keys):
                result = self.run_cli(command, "--keys-from-stdin", name, keys=keys)
                self.assertExit(result, 2)
                self.assertIn(name.encode(), result.stderr)
                self.assertEqual({n: read(self.path(n)) for n in self.listing()}, before)

    def test_file_errors_exit_3(self):
        self.copy_data("cipher", "mode3-0.zel", "e.zel")
        self.put("ezel.zel", b"already here")
        self.assertExit(self.run_cli("encrypt", "--keys-from-stdin", "missing.doc", keys=["a", "b"]), 3)
        self.assertExit(self.run_cli("decrypt", "--keys-from-stdin", "e.zel", keys=["Alpha", "Bravo12"]), 3)
        self.assertEqual(read(self.path("ezel.zel")), b"already here")
        self.assertEqual(self.listing(), ["e.zel", "ezel.zel"])

    def test_no_overwrite_without_force(self):
        self.copy_data("carrier", "image-one.png", "one.png")
        self.put("one.txt", b"mine")
        original = read(self.path("one.png"))
        result = self.run_cli("extract", "--keys-from-stdin", "one.png", keys=["k1"])
        self.assertExit(result, 3)
        self.assertIn(b"--force", result.stderr)
        self.assertEqual(read(self.path("one.txt")), b"mine")
        self.assertEqual(read(self.path("one.png")), original)
        self.assertExit(self.run_cli("extract", "--force", "--keys-from-stdin", "one.png", keys=["k1"]), 0)
        self.assertEqual(read(self.path("one.txt")), b"Z")

    def test_list_goes_on_after_a_failure_and_reports_the_first(self):
        for name in ["A.DOC", "C.DOC"]:
            self.put(name, name.encode() * 50)
        env = clean_env(ZORVANE_SIGNATURE1="s1", ZORVANE_SIGNATURE2="s2")
        result = self.run_cli("encrypt", "A.DOC", "B.DOC", "C.DOC", env=env)
        self.assertExit(result, 3)
        self.assertIn(b"B.DOC", result.stderr)
        self.assertEqual(self.listing(), ["A.DOC", "Azel.DOC", "C.DOC", "Czel.DOC"])
        result = self.run_cli("decrypt", "Azel.DOC", "Czel.DOC", env=env)
        self.assertExit(result, 0)
        self.assertEqual(read(self.path("Azelzel.DOC")), b"A.DOC" * 50)
        self.assertEqual(read(self.path("Czelzel.DOC")), b"C.DOC" * 50)

    def test_help_and_version(self):
        for command in ["encrypt", "decrypt", "embed", "extract", "selftest"]:
            with self.subTest(command):
                result = self.run_cli(command, "--help")
                self.assertExit(result, 0)
                self.assertIn(("Usage: zorvane-cli " + command).encode(), result.stdout)
        self.assertExit(self.run_cli("--help"), 0)
        result = self.run_cli("--version")
        self.assertExit(result, 0)
        self.assertTrue(result.stdout.startswith(b"zorvane-cli "))

    def test_quiet_stderr_when_not_a_terminal(self):
        self.put("big.bin", b"\x5a" * (6 << 20))
        env = clean_env(ZORVANE_SIGNATURE1="s1", ZORVANE_SIGNATURE2="s2")
        result = self.run_cli("encrypt", "big.bin", env=env)
        self.assertExit(result, 0)
        self.assertEqual(result.stderr, b"")


class FailureTest(CliCase):
    """A write that fails halfway (a file size limit stands in for a full
    disk) leaves no output, no temporary file and the carrier unchanged."""

    LIMIT = 256 * 1024

    def test_cipher_commands_leave_nothing(self):
        self.put("big.bin", os.urandom(1 << 20))
        env = clean_env(ZORVANE_SIGNATURE1="s1", ZORVANE_SIGNATURE2="s2")
        self.assertExit(self.run_cli("encrypt", "big.bin", env=env, limit=self.LIMIT), 3)
        self.assertEqual(self.listing(), ["big.bin"])
        self.assertExit(self.run_cli("encrypt", "-o", "big.zel", "big.bin", env=env), 0)
        self.assertExit(self.run_cli("decrypt", "big.zel", env=env, limit=self.LIMIT), 3)
        self.assertEqual(self.listing(), ["big.bin", "big.zel"])

    def test_extract_keeps_the_carrier_when_the_hidden_file_cannot_be_written(self):
        self.put("photo.png", b"\x89PNG" * 1000)
        self.put("big.bin", os.urandom(1 << 20))
        self.assertExit(self.run_cli("embed", "--keys-from-stdin", "big.bin", "photo.png", keys=["key"]), 0)
        os.remove(self.path("big.bin"))
        carrier = read(self.path("photo.png"))
        result = self.run_cli("extract", "--keys-from-stdin", "photo.png", keys=["key"], limit=self.LIMIT)
        self.assertExit(result, 3)
        self.assertEqual(read(self.path("photo.png")), carrier)
        self.assertEqual(self.listing(), ["photo.png"])

    def test_interrupt_removes_the_temporary_file(self):
        # The input is a pipe the test feeds, so the program is surely
        # halfway (temporary file made, input not ended) when it is stopped.
        os.mkfifo(self.path("in.fifo"))
        env = clean_env(ZORVANE_SIGNATURE1="s1", ZORVANE_SIGNATURE2="s2")
        for signal_number in (signal.SIGINT, signal.SIGTERM):
            with self.subTest(signal_number):
                child = subprocess.Popen([CLI, "encrypt", "-o", "out.zel", "in.fifo"], cwd=self.dir,
                                         env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                with open(self.path("in.fifo"), "wb") as feed:
                    feed.write(b"x" * 100000)
                    feed.flush()
                    for _ in range(500):
                        if len(self.listing()) > 1:
                            break
                        time.sleep(0.01)
                    self.assertEqual(len(self.listing()), 2, self.listing())
                    child.send_signal(signal_number)
                    self.assertEqual(child.wait(timeout=30), -signal_number)
                self.assertEqual(self.listing(), ["in.fifo"])

    def test_embed_cuts_a_partial_trailer_off_again(self):
        own = b"\x89PNG" * 1000
        self.put("photo.png", own)
        self.put("big.bin", os.urandom(1 << 20))
        self.assertExit(self.run_cli("embed", "--keys-from-stdin", "big.bin", "photo.png", keys=["key"],
                                     limit=self.LIMIT), 3)
        self.assertEqual(read(self.path("photo.png")), own)
        self.assertEqual(self.listing(), ["big.bin", "photo.png"])


class TerminalTest(CliCase):
    """Secrets asked on a pseudo-terminal: no echo, and echo back afterwards."""

    def run_on_terminal(self, args, answers):
        pid, master = pty.fork()
        if pid == 0:
            exec_child(self.dir, [CLI] + args)
        seen = b""
        pending = list(answers)
        while True:
            ready, _, _ = select.select([master], [], [], 30)
            if not ready:
                os.kill(pid, 9)
                self.fail("no answer from the terminal: %r" % seen)
            try:
                chunk = os.read(master, 4096)
            except OSError:
                break
            if not chunk:
                break
            seen += chunk
            if pending and seen.endswith(pending[0][0]):
                os.write(master, pending.pop(0)[1])
        _, status = os.waitpid(pid, 0)
        os.close(master)
        return os.waitstatus_to_exitcode(status), seen

    def test_prompt_does_not_echo_the_secret(self):
        self.copy_data("cipher", "mode3-7.zel", "s.zel")
        code, seen = self.run_on_terminal(
            ["decrypt", "s.zel"], [(b"Key 1: ", b"seven77\n"), (b"Key 2: ", b"Zeta\r")])
        self.assertEqual(code, 0, seen)
        self.assertNotIn(b"seven77", seen)
        self.assertNotIn(b"Zeta", seen)
        self.assertEqual(sha(read(self.path("szel.zel"))),
                         [v[5] for v in cipher_vectors() if v[0] == "mode3-7.zel"][0])

    def test_echo_is_back_for_the_next_program(self):
        # The same terminal: the secret is not echoed, the text after is.
        pid, master = pty.fork()
        if pid == 0:
            exec_child(self.dir, ["/bin/sh", "-c", '"$0" encrypt x.bin; read line; echo "got $line"',
                                  CLI])
        self.put("x.bin", b"data")
        seen = b""
        sent = 0
        answers = [(b"Signature 1: ", b"hidden1\n"), (b"Signature 2: ", b"hidden2\n"),
                   (b"x.bin -> xzel.bin\r\n", b"visible\n")]
        while True:
            ready, _, _ = select.select([master], [], [], 30)
            if not ready:
                os.kill(pid, 9)
                self.fail("stuck: %r" % seen)
            try:
                chunk = os.read(master, 4096)
            except OSError:
                break
            if not chunk:
                break
            seen += chunk
            if sent < len(answers) and seen.endswith(answers[sent][0]):
                os.write(master, answers[sent][1])
                sent += 1
        os.waitpid(pid, 0)
        os.close(master)
        self.assertNotIn(b"hidden", seen)
        self.assertIn(b"visible\r\n", seen)
        self.assertIn(b"got visible", seen)

    def test_progress_bar_only_on_a_terminal_for_big_files(self):
        self.put("big.bin", b"\x01" * (6 << 20))
        self.put("small.bin", b"\x01" * 1000)
        code, seen = self.run_on_terminal(
            ["encrypt", "small.bin", "big.bin"],
            [(b"Signature 1: ", b"a\n"), (b"Signature 2: ", b"b\n")])
        self.assertEqual(code, 0, seen)
        self.assertIn(b"100 % big.bin", seen)
        self.assertNotIn(b"% small.bin", seen)


class WineVectorTest(CliCase):
    """A few runs that also suit the Windows program under Wine."""

    def test_vectors_both_ways(self):
        name, s1, s2, _, _, digest = [v for v in cipher_vectors() if v[0] == "mode3-3000.zel"][0]
        self.copy_data("cipher", name, "REPORT.DOC")
        self.assertExit(self.run_cli("decrypt", "--keys-from-stdin", "REPORT.DOC", keys=[s1, s2]), 0)
        self.assertEqual(sha(read(self.path("REPORTzel.DOC"))), digest)
        env = clean_env(ZORVANE_SIGNATURE1=s1, ZORVANE_SIGNATURE2=s2)
        self.assertExit(self.run_cli("encrypt", "REPORTzel.DOC", env=env), 0)
        self.assertEqual(read(self.path("REPORTzelzel.DOC")), read(self.path("REPORT.DOC")))
        result = self.run_cli("decrypt", "--keys-from-stdin", "-o", "x.bin", "REPORT.DOC", keys=[s1, "x"])
        self.assertExit(result, 2)
        self.assertNotIn("x.bin", self.listing())

    def test_extracts_a_known_carrier(self):
        carrier, _, key, _, hidden, after, _ = carrier_vectors()[3]
        self.copy_data("carrier", carrier)
        self.assertExit(self.run_cli("extract", "--keys-from-stdin", carrier, keys=[key]), 0)
        self.assertEqual(sha(read(self.path("outer.txt"))), hidden)
        self.assertEqual(sha(read(self.path(carrier))), after)

    def test_selftest_passes(self):
        self.assertExit(self.run_cli("selftest"), 0)


if __name__ == "__main__":
    unittest.main()
