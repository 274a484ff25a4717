#!/usr/bin/env python3
# Makes the known-answer carriers from image.png, written from the trailer
# layout alone (no code of the program), and records in vectors.txt the key
# and the SHA-256 of what each extraction must give.
import hashlib
import os

HERE = os.path.dirname(os.path.abspath(__file__))


def encode(b):
    return (((b << 4) | (b >> 4)) & 0xFF) ^ 0xF7


def trailer(signature, hidden, name):
    form = signature.ljust(7)[:7].encode("latin-1") + b"\0"
    # Offset 0: signature block, 31 bytes; offset 31: separator.
    block = bytes(encode(c) for c in form) + bytes([encode(0)] * 23)
    size_field = str(len(hidden)).encode("ascii")[:8].ljust(8, b"\0")
    name_field = name.encode("latin-1")[:259].ljust(260, b"\0")
    return block + b"\0" + hidden + size_field + name_field


def text_bytes(count):
    words = b"lorem ipsum dolor sit amet consectetur adipiscing elit sed do "
    return (words * (count // len(words) + 1))[:count]


def main():
    image = open(os.path.join(HERE, "image.png"), "rb").read()
    inner = bytes(range(256)) * 2
    cases = [
        ("image-empty.png", [("zorvane", b"", r"C:\Users\demo\Documents\empty.dat")]),
        ("image-one.png", [("k1", b"Z", r"C:\Users\demo\one.txt")]),
        ("image-text.png", [("Secret7", text_bytes(3000), r"D:\notes\letter.txt")]),
        ("image-nested.png", [("inner", inner, r"C:\inner.bin"),
                              ("OUTER12", text_bytes(1234), r"C:\outer.txt")]),
    ]
    lines = ["# carrier step key size sha256-of-hidden sha256-of-carrier-after stored-name"]
    for file_name, layers in cases:
        data = image
        for key, hidden, name in layers:
            data += trailer(key, hidden, name)
        open(os.path.join(HERE, file_name), "wb").write(data)
        # Extraction takes the last trailer first.
        remaining = data
        for step, (key, hidden, name) in enumerate(reversed(layers), 1):
            remaining = remaining[: len(remaining) - len(hidden) - 300]
            lines.append("%s %d %s %d %s %s %s" % (
                file_name, step, key, len(hidden), hashlib.sha256(hidden).hexdigest(),
                hashlib.sha256(remaining).hexdigest(), name))
        assert remaining == image
    open(os.path.join(HERE, "vectors.txt"), "w").write("\n".join(lines) + "\n")


main()
