#!/usr/bin/env python3
"""Draws an HP-GL file with plt2png and counts the colours of the PNG it writes, read with the
standard library only. A picture drawn with the program's pens has more than two colours: the
ground and more than one pen.

    plt2png_colours.py PLT2PNG INPUT.plt
"""

import struct
import subprocess
import sys
import tempfile
import zlib

WIDTH, HEIGHT = 320, 240


def chunks(data):
    at = 8
    while at + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        yield kind, data[at + 8:at + 8 + length]
        at += 12 + length


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def unfiltered_rows(raw, width, height, step):
    stride = width * step
    previous = bytearray(stride)
    at = 0
    for _ in range(height):
        kind, row = raw[at], bytearray(raw[at + 1:at + 1 + stride])
        at += 1 + stride
        for i in range(stride):
            left = row[i - step] if i >= step else 0
            up = previous[i]
            corner = previous[i - step] if i >= step else 0
            predictor = (0, left, up, (left + up) // 2, paeth(left, up, corner))[kind]
            row[i] = (row[i] + predictor) & 0xFF
        yield row
        previous = row


def colours(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit(f"{path}: not a PNG file")
    header = dict(chunks(data))[b"IHDR"]
    width, height, depth, kind = struct.unpack(">IIBB", header[:10])
    if depth != 8 or kind not in (2, 6):
        sys.exit(f"{path}: colour type {kind} at depth {depth} is not read here")
    step = 3 if kind == 2 else 4
    raw = zlib.decompress(b"".join(body for name, body in chunks(data) if name == b"IDAT"))
    found = set()
    for row in unfiltered_rows(raw, width, height, step):
        found.update(bytes(row[i:i + 3]) for i in range(0, len(row), step))
    return found


def main():
    tool, plot = sys.argv[1:3]
    with tempfile.TemporaryDirectory() as folder:
        png = folder + "/picture.png"
        subprocess.run([tool, plot, png, str(WIDTH), str(HEIGHT)], check=True)
        found = colours(png)
    print(f"{len(found)} colours")
    if len(found) <= 2:
        sys.exit(f"{plot}: drawn in {len(found)} colours, expected more than two")


if __name__ == "__main__":
    main()
