# The cipher file and the carrier trailer, written from their layouts alone
# (no code of the program), and the known-answer tables made with them: the one
# model that the generators under tests/data and the tests of zorvane-cli
# import. Signatures, keys and names are text of a code page (or its bytes).
import hashlib
import os
from operator import and_, or_, xor

DATA = os.environ.get("ZORVANE_TESTDATA", os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data"))


def sha(data):
    return hashlib.sha256(data).hexdigest()


def transform(mode, b):
    # The byte transform of each mode (mode 3 also scrambles signature blocks):
    # s has the two 4-bit halves exchanged; mode 4 then exchanges bits 0 and 7.
    s = ((b << 4) | (b >> 4)) & 0xFF
    e = s ^ 0xF7
    return [b ^ 0x08, s, s ^ 0x08, e, (e & 0x7E) | ((e & 1) << 7) | (e >> 7)][mode]


def encoded(text, codepage=1252):
    return text if isinstance(text, bytes) else text.encode("cp%s" % codepage)


def signature_form(text, codepage=1252):
    # At most seven bytes in the code page, then spaces and a NUL.
    return encoded(text, codepage)[:7].ljust(7) + b"\0"


def signature_block(key, codepage=1252):
    # The 31 bytes that open both formats, as a key file of exactly the 8
    # bytes of the form makes them: indices 0..7 encoded, then the held NUL.
    return bytes(transform(3, c) for c in signature_form(key, codepage) + bytes(23))


def key_update(key, counter):
    # Rule counter mod 5: v is one byte of the key as it was, then every byte
    # is combined with v.
    index, op = [(1, xor), (4, and_), (3, xor), (7, or_), (6, xor)][counter % 5]
    return [op(k, key[index]) for k in key], counter + 1


def whiten(data, seed_text, encrypt, codepage=1252):
    # Block by block, as the pass reads its input 8 bytes at a time; the
    # counter starts at byte 3 of the plain side (0 when there is none).
    key = list(signature_form(seed_text, codepage))
    counter = None
    out = bytearray()
    for start in range(0, len(data), 8):
        block = data[start:start + 8]
        result = bytes(k ^ b for k, b in zip(key, block))
        if counter is None:
            plain = block if encrypt else result
            counter = plain[3] if len(plain) > 3 else 0
        out += result
        key, counter = key_update(key, counter)
    return bytes(out)


def cipher_file(sig1, sig2, mode, payload, codepage=1252):
    # Offset 0: signature block of Signature 1; 31: NUL; 32: mode; 33: the
    # payload, each byte transformed; the whole whitened with Signature 2.
    image = signature_block(sig1, codepage) + bytes([0, mode]) + bytes(transform(mode, b) for b in payload)
    return whiten(image, sig2, True, codepage)


def trailer(key, hidden, name, codepage=1252):
    # Offset 0: signature block, 31 bytes; 31: separator; 32: the hidden
    # bytes; then the size in ASCII digits (8 bytes) and the stored name (260
    # bytes), both padded with NULs.
    size = str(len(hidden)).encode("ascii")[:8].ljust(8, b"\0")
    return signature_block(key, codepage) + b"\0" + hidden + size + encoded(name, codepage)[:259].ljust(260, b"\0")


def hex_of(text, codepage=1252):
    # Texts go into the tables as hex of their code page's bytes.
    return encoded(text, codepage).hex().upper()


def text_of(hex_field, codepage):
    return bytes.fromhex(hex_field).decode("cp%s" % codepage)


def write_table(folder, header, rows):
    # Tab-separated, as signatures, keys and names may hold spaces.
    assert all(c not in field for row in rows for field in row for c in "\t\n;")
    with open(os.path.join(folder, "vectors.tsv"), "w") as f:
        f.write("\n".join(["# " + "\t".join(header)] + ["\t".join(row) for row in rows]) + "\n")


def table(sub):
    with open(os.path.join(DATA, sub, "vectors.tsv"), encoding="latin-1") as f:
        lines = f.read().splitlines()
    return [line.split("\t") for line in lines if line and not line.startswith("#")]


def cipher_vectors():
    # file, signature 1, signature 2, mode, payload length, its SHA-256, code page
    rows = table("cipher")
    assert len(rows) >= 12, "vector table not found"
    return [(f, text_of(s1, cp), text_of(s2, cp), int(m), int(n), d, cp)
            for f, s1, s2, m, n, d, cp, _ in rows]


def carrier_vectors():
    # carrier, step, key, size, SHA-256 of the hidden file and of the carrier
    # after, stored name, code page
    return [(carrier, int(step), text_of(key, cp), int(size), hidden, after, text_of(name, cp), cp)
            for carrier, step, key, size, hidden, after, name, cp, _ in table("carrier")]


def selftest_vector_count():
    # The rows the build compiles into the selftest.
    return sum(row[-1] == "yes" for row in table("cipher") + table("carrier"))
