#!/usr/bin/env python3
# Independent reference for the cipher file format, written apart from the
# C++ code: run once by hand to write the known-answer cipher files here and
# their table, vectors.tsv (read by the C++ tests, the CLI tests and the
# CLI's build), and to print the whitening and key-update values pasted into
# the unit tests. Signatures go in as hex of their bytes in a code page.
import hashlib
import random
import sys
from pathlib import Path


def swap(b):
    return ((b << 4) | (b >> 4)) & 0xFF


def end_bit_swap(b):
    return (b & 0x7E) | ((b & 1) << 7) | ((b >> 7) & 1)


def transform(mode, b):
    return [b ^ 0x08, swap(b), swap(b) ^ 0x08, swap(b) ^ 0xF7,
            end_bit_swap(swap(b) ^ 0xF7)][mode]


def signature_form(text, codepage=1252):
    # At most seven bytes in the code page, then spaces and a NUL.
    return text.encode("cp%d" % codepage)[:7].ljust(7) + b"\0"


def signature_block(sig1, codepage):
    # A key file of exactly the 8 bytes of Signature 1: indices 0..7 encoded,
    # then the held NUL repeats.
    form = signature_form(sig1, codepage)
    return bytes(transform(3, form[k] if k < 8 else 0) for k in range(31))


def key_update(key, counter):
    r = counter % 5
    index, op = [(1, "xor"), (4, "and"), (3, "xor"), (7, "or"), (6, "xor")][r]
    v = key[index]
    if op == "xor":
        key = [k ^ v for k in key]
    elif op == "and":
        key = [k & v for k in key]
    else:
        key = [k | v for k in key]
    return key, counter + 1


def whiten(data, seed_text, encrypt, codepage=1252):
    # Block by block, as the pass reads its input 8 bytes at a time.
    key = list(signature_form(seed_text, codepage))
    counter = None
    out = bytearray()
    for start in range(0, len(data), 8):
        block = data[start:start + 8]
        if encrypt and counter is None:
            counter = block[3] if len(block) > 3 else 0
        result = bytes(k ^ b for k, b in zip(key, block))
        if not encrypt and counter is None:
            counter = result[3] if len(result) > 3 else 0
        out += result
        key, counter = key_update(key, counter)
    return bytes(out)


def cipher_file(sig1, sig2, mode, payload, codepage):
    image = signature_block(sig1, codepage) + bytes([0, mode]) + bytes(transform(mode, b) for b in payload)
    return whiten(image, sig2, True, codepage)


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


def hexs(b):
    return b.hex().upper()


def main():
    here = Path(__file__).resolve().parent
    # Tab-separated: signatures may hold spaces.
    rows = ["# file\tsignature1-hex\tsignature2-hex\tmode\tpayload-length\tsha256-of-payload"
            "\tcodepage\tselftest"]
    for name, s1, s2, mode, size, seed, selftest, *rest in VECTORS:
        codepage = rest[0] if rest else 1252
        payload = random.Random(seed).randbytes(size)
        data = cipher_file(s1, s2, mode, payload, codepage)
        assert len(data) == size + 33
        (here / name).write_bytes(data)
        digest = hashlib.sha256(payload).hexdigest()
        encoding = "cp%d" % codepage
        fields = [name, s1.encode(encoding).hex().upper(), s2.encode(encoding).hex().upper(),
                  str(mode), str(size), digest, str(codepage), "yes" if selftest else "no"]
        assert all(c not in f for f in fields for c in "\t\n;")
        rows.append("\t".join(fields))
    (here / "vectors.tsv").write_text("\n".join(rows) + "\n")

    print("// key update of ABCDEFG\\0 under each rule")
    for r in range(5):
        key, _ = key_update(list(signature_form("ABCDEFG")), r)
        print(f'    {{{r}, "{hexs(bytes(key))}"}},')

    print("// whitening vectors: seed, direction, input, output")
    cases = []
    plain = bytes(range(0x30, 0x30 + 41))
    cases.append(("ABCDEFG", plain))
    cases.append(("Bravo12", bytes(random.Random(99).randbytes(64))))
    cases.append(("s3cr t", b"\x00\x01\x02"))
    # Decay: K[1] == K[4] and a counter of 0 mod 5 zero K[4] in the first
    # update, then rule 1 ANDs every byte with it.
    decay = bytearray(b"\x11" * 40)
    decay[3] = 0x05
    cases.append(("ABCDBFG", bytes(decay)))
    for seed, data in cases:
        out = whiten(data, seed, True)
        assert whiten(out, seed, False) == data
        print(f'    {{"{seed}", WHITEN_ENCRYPT, "{hexs(data)}", "{hexs(out)}"}},')
        print(f'    {{"{seed}", WHITEN_DECRYPT, "{hexs(out)}", "{hexs(data)}"}},')
    # Counter side: a cipher-side counter would give a different result.
    data = plain
    out = whiten(data, "ABCDEFG", True)
    wrong_side = whiten(out, "ABCDEFG", True)
    print("// counter from the cipher side would differ:", wrong_side != data,
          "c0 plain", data[3] % 5, "cipher", out[3] % 5, file=sys.stderr)
    print("// decay output tail", hexs(whiten(bytes(decay), "ABCDBFG", True)[16:]), file=sys.stderr)


main()
