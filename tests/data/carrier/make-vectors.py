#!/usr/bin/env python3
# Makes the known-answer carriers from image.png with the format model of
# tests/support, and records in vectors.tsv (read by the C++ tests, the CLI
# tests and the CLI's build) the key and the SHA-256 of what each extraction
# must give; keys and names as hex of their code page.
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "support"))
from zorvane_format import hex_of, sha, trailer, write_table  # noqa: E402


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
    rows = []
    for file_name, layers, selftest, *rest in cases:
        codepage = rest[0] if rest else 1252
        data = image
        for key, hidden, name in layers:
            data += trailer(key, hidden, name, codepage)
        open(os.path.join(HERE, file_name), "wb").write(data)
        # Extraction takes the last trailer first.
        remaining = data
        for step, (key, hidden, name) in enumerate(reversed(layers), 1):
            remaining = remaining[: len(remaining) - len(hidden) - 300]
            rows.append([file_name, str(step), hex_of(key, codepage), str(len(hidden)), sha(hidden),
                         sha(remaining), hex_of(name, codepage), str(codepage), "yes" if selftest else "no"])
        assert remaining == image
    write_table(HERE, ["carrier", "step", "key-hex", "size", "sha256-of-hidden", "sha256-of-carrier-after",
                       "stored-name-hex", "codepage", "selftest"], rows)


main()
