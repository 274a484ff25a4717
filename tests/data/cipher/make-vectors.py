#!/usr/bin/env python3
# Writes the known-answer cipher files here with the format model of
# tests/support, and their table, vectors.tsv (read by the C++ tests, the CLI
# tests and the CLI's build); prints the whitening and key-update values pasted
# into the unit tests. Run once by hand. Signatures go in as hex of their bytes
# in a code page.
import os
import random
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "support"))
from zorvane_format import cipher_file, hex_of, key_update, sha, signature_form, whiten, write_table  # noqa: E402

VECTORS = [
    # name, signature 1, signature 2, mode, payload length, payload seed,
    # built into zorvane-cli's selftest, code page (default 1252)
    ("mode3-0.zel", "Alpha", "Bravo12", 3, 0, 1, True),
    ("mode3-1.zel", "Quartz", "k9 mule", 3, 1, 2, False),
    ("mode3-7.zel", "seven77", "Zeta", 3, 7, 3, False),
    ("mode3-8.zel", "x", "yy", 3, 8, 4, True),
    ("mode3-9.zel", "NineN", "ninen", 3, 9, 5, True),
    ("mode3-3000.zel", "Harbour", "Lantern", 3, 3000, 6, False),
    ("mode0-300.zel", "Cobalt", "Ember", 0, 300, 7, True),
    ("mode1-300.zel", "Dune", "Fjord!", 1, 300, 8, True),
    ("mode2-300.zel", "Gale", "Heron", 2, 300, 9, True),
    ("mode4-300.zel", "Ivory", "Jasper", 4, 300, 10, True),
    # Beyond ASCII ("Müller" would be 7 bytes in UTF-8; 7 bytes of "Straßenbahn€" count).
    ("umlaut-1252.zel", "Müller", "Straßenbahn€", 3, 500, 11, True, 1252),
    ("cyrillic-1251.zel", "Отчёт", "Ключ№7", 3, 500, 12, True, 1251),
]


def main():
    rows = []
    for name, s1, s2, mode, size, seed, selftest, *rest in VECTORS:
        codepage = rest[0] if rest else 1252
        payload = random.Random(seed).randbytes(size)
        data = cipher_file(s1, s2, mode, payload, codepage)
        assert len(data) == size + 33
        with open(os.path.join(HERE, name), "wb") as f:
            f.write(data)
        rows.append([name, hex_of(s1, codepage), hex_of(s2, codepage), str(mode), str(size), sha(payload),
                     str(codepage), "yes" if selftest else "no"])
    write_table(HERE, ["file", "signature1-hex", "signature2-hex", "mode", "payload-length", "sha256-of-payload",
                       "codepage", "selftest"], rows)

    print("// key update of ABCDEFG\\0 under each rule")
    for r in range(5):
        key, _ = key_update(list(signature_form("ABCDEFG")), r)
        print(f'    {{{r}, "{hex_of(bytes(key))}"}},')

    print("// whitening vectors: seed, direction, input, output")
    plain = bytes(range(0x30, 0x30 + 41))
    # Decay: K[1] == K[4] and a counter of 0 mod 5 zero K[4] in the first
    # update, then rule 1 ANDs every byte with it.
    decay = b"\x11" * 3 + b"\x05" + b"\x11" * 36
    cases = [("ABCDEFG", plain), ("Bravo12", bytes(random.Random(99).randbytes(64))), ("s3cr t", b"\x00\x01\x02"),
             ("ABCDBFG", decay)]
    for seed, data in cases:
        out = whiten(data, seed, True)
        assert whiten(out, seed, False) == data
        print(f'    {{"{seed}", WHITEN_ENCRYPT, "{hex_of(data)}", "{hex_of(out)}"}},')
        print(f'    {{"{seed}", WHITEN_DECRYPT, "{hex_of(out)}", "{hex_of(data)}"}},')
    # Counter side: a cipher-side counter would give a different result.
    data = plain
    out = whiten(data, "ABCDEFG", True)
    wrong_side = whiten(out, "ABCDEFG", True)
    print("// counter from the cipher side would differ:", wrong_side != data,
          "c0 plain", data[3] % 5, "cipher", out[3] % 5, file=sys.stderr)
    print("// decay output tail", hex_of(whiten(decay, "ABCDBFG", True)[16:]), file=sys.stderr)


main()
