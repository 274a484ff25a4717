#!/usr/bin/env python3
# Makes the known-answer carriers from image.png, written from the trailer
# layout alone (no code of the program), and records in vectors.tsv (read by
# the C++ tests, the CLI tests and the CLI's build) the key and the SHA-256
# of what each extraction must give; keys and names as hex of their code page.
import hashlib
import os

HERE = os.path.dirname(os.path.abspath(__file__))


def encode(b):
    return (((b << 4) | (b >> 4)) & 0xFF) ^ 0xF7


def trailer(signature, hidden, name, encoding):
    form = signature.encode(encoding)[:7].ljust(7) + b"\0"
    # Offset 0: signature block, 31 bytes; offset 31: separator.
    block = bytes(encode(c) for c in form) + bytes([encode(0)] * 23)
    size_field = str(len(hidden)).encode("ascii")[:8].ljust(8, b"\0")
    name_field = name.encode(encoding)[:259].ljust(260, b"\0")
    return block + b"\0" + hidden + size_field + name_field


def text_bytes(count):
    words = b"lorem ipsum dolor sit amet consectetur adipiscing elit sed do "
    return (words * (count // len(words) + 1))[:count]


def main():
    image = open(os.path.join(HERE, "image.png"), "rb").read()
    inner = bytes(range(256)) * 2
    # carrier, trailers in embedding order, in zorvane-cli's selftest, code page
    cases = [
        ("image-empty.png", [("zorvane", b"", r"C:\Users\demo\Documents\empty.dat")], True),
        ("image-one.png", [("k1", b"Z", r"C:\Users\demo\one.txt")], True),
        ("image-text.png", [("Secret7", text_bytes(3000), r"D:\notes\letter.txt")], False),
        ("image-nested.png", [("inner", inner, r"C:\inner.bin"),
                              ("OUTER12", text_bytes(1234), r"C:\outer.txt")], False),
        # Beyond ASCII: keys cut at seven bytes of the code page.
        ("image-umlaut.png", [("Schlüssel", text_bytes(700), r"C:\Users\demo\Bücher.txt")], True),
        ("image-cyrillic.png", [("Пароль", text_bytes(900), r"C:\Users\Мария\Отчёт.doc")],
         True, 1251),
    ]
    # Tab-separated: keys and stored names may hold spaces.
    lines = ["# carrier\tstep\tkey-hex\tsize\tsha256-of-hidden\tsha256-of-carrier-after"
             "\tstored-name-hex\tcodepage\tselftest"]
    for file_name, layers, selftest, *rest in cases:
        codepage = rest[0] if rest else 1252
        encoding = "cp%d" % codepage
        data = image
        for key, hidden, name in layers:
            data += trailer(key, hidden, name, encoding)
        open(os.path.join(HERE, file_name), "wb").write(data)
        # Extraction takes the last trailer first.
        remaining = data
        for step, (key, hidden, name) in enumerate(reversed(layers), 1):
            remaining = remaining[: len(remaining) - len(hidden) - 300]
            fields = [file_name, str(step), key.encode(encoding).hex().upper(), str(len(hidden)),
                      hashlib.sha256(hidden).hexdigest(), hashlib.sha256(remaining).hexdigest(),
                      name.encode(encoding).hex().upper(), str(codepage),
                      "yes" if selftest else "no"]
            assert all(c not in f for f in fields for c in "\t\n;")
            lines.append("\t".join(fields))
        assert remaining == image
    open(os.path.join(HERE, "vectors.tsv"), "w").write("\n".join(lines) + "\n")


main()
