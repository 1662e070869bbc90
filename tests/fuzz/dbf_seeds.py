#!/usr/bin/env python3
"""Writes the table fuzz target's seeds that are larger than the first read-ahead block.

An exclusive scan reads 4 KiB first and doubles each further block up to 64 KiB, so these tables
hold some 9 KiB and over 64 KiB of records: a table of mixed fields (some records deleted),
a table with a number field of every width from 1 to 20 and of every number of decimals up to
15, and a dBASE II table. Their values are fixed (a seeded generator): running the script again
writes the same bytes.

    tests/fuzz/dbf_seeds.py tests/fuzz/corpus/dbf
"""

import random
import struct
import sys
from decimal import ROUND_HALF_UP, Decimal, localcontext
from pathlib import Path


def number_text(value, width, decimals):
    """The stored text of a number: fixed point, rounded half away from zero, right-aligned."""
    with localcontext() as context:
        context.prec = 60
        text = format(Decimal(value).quantize(Decimal(1).scaleb(-decimals), ROUND_HALF_UP), "f")
    if text.startswith("-") and Decimal(text) == 0:
        text = text[1:]
    return ("*" * width) if len(text) > width else text.rjust(width)


def field_text(field, rng):
    _, kind, width, decimals = field
    if kind == "C":
        letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz0123456789\x84\x94\x81\xe1"
        return "".join(rng.choice(letters) for _ in range(rng.randint(0, width))).ljust(width)
    if kind == "D":
        if rng.random() < 0.1:
            return " " * 8
        return "%04d%02d%02d" % (rng.randint(1900, 2099), rng.randint(1, 12), rng.randint(1, 28))
    if kind == "L":
        return rng.choice("TFYN? ")
    if rng.random() < 0.05:
        return " " * width
    # Mostly values that fit (a sign, the point and the decimals take room), some a digit too
    # long, and more fraction digits than the field keeps.
    whole = rng.randint(0, max(width - decimals - (2 if decimals else 1), 0) + (rng.random() < 0.05))
    fraction = decimals + rng.randint(0, 2)
    value = rng.randint(-(10 ** (whole + fraction)), 10 ** (whole + fraction)) / Decimal(10) ** fraction
    # Values half-way between two last digits, where only the rounding rule settles the digit.
    if decimals > 0 and rng.random() < 0.2:
        value = (rng.randint(-(10**6), 10**6) + Decimal("0.5")) / Decimal(10) ** decimals
    return number_text(value, width, decimals)


def records(fields, count, seed, deleted_every=0):
    rng = random.Random(seed)
    rows = b""
    for i in range(count):
        mark = b"*" if deleted_every and i % deleted_every == deleted_every - 1 else b" "
        rows += mark + "".join(field_text(f, rng) for f in fields).encode("latin-1")
    return rows


def dbase3(fields, count, seed, deleted_every=0):
    record_length = 1 + sum(f[2] for f in fields)
    header_length = 32 + 32 * len(fields) + 1
    header = struct.pack("<BBBBIHH20x", 0x03, 126, 3, 15, count, header_length, record_length)
    for name, kind, width, decimals in fields:
        header += struct.pack("<11sc4xBB14x", name.encode(), kind.encode(), width, decimals)
    return header + b"\r" + records(fields, count, seed, deleted_every) + b"\x1a"


def dbase2(fields, count, seed):
    record_length = 1 + sum(f[2] for f in fields)
    header = struct.pack("<BHBBBH", 0x02, count, 3, 15, 126, record_length)
    for name, kind, width, decimals in fields:
        header += struct.pack("<11scBHB", name.encode(), kind.encode(), width, 0, decimals)
    header = (header + b"\r").ljust(521, b"\0")
    return header + records(fields, count, seed) + b"\x1a"


def number_fields():
    fields = [("I%d" % w, "N", w, 0) for w in range(1, 21)]
    for decimals in range(1, 16):
        for width in sorted({decimals + 1, decimals + 2, min(decimals + 6, 20), 20}):
            fields.append(("N%d_%d" % (width, decimals), "N", width, decimals))
    fields += [("F10_2", "F", 10, 2), ("F20_4", "F", 20, 4)]
    return fields


MIXED = [("NAME", "C", 10, 0), ("PRICE", "N", 8, 2), ("BORN", "D", 8, 0), ("OK", "L", 1, 0),
         ("NOTE", "C", 30, 0), ("COUNT", "N", 12, 0), ("RATE", "F", 9, 3)]
OLD = [("NAME", "C", 12, 0), ("AMOUNT", "N", 9, 2), ("PAID", "L", 1, 0), ("QTY", "N", 5, 0)]


def main(folder):
    out = Path(folder)
    (out / "blocks-mixed.dbf").write_bytes(dbase3(MIXED, 115, 1, deleted_every=7))
    (out / "blocks-numbers.dbf").write_bytes(dbase3(number_fields(), 85, 2))
    (out / "blocks-v2.dbf").write_bytes(dbase2(OLD, 190, 3))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else str(Path(__file__).parent / "corpus" / "dbf"))
