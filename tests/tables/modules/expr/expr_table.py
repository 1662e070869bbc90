#!/usr/bin/env python3
"""Writes the seeded table of 500 records that the expression oracle evaluates over.

    expr_table.py PATH

A plain dBASE III table (version 0x03) in the engine's table code page 850: texts with letters
that Windows-1252 holds too, quotes and blanks at either end; numbers with negatives, zeros and values at their field's width; dates blank, around
1900 (not a leap year), in 2000 (a leap year), in 1940 (outside a two-digit century window) and
others; logicals T, F, Y, N in both cases, "?" and blank. ID holds the record number, because
dbfread hands out live and deleted records apart; about one record in ten is deleted. DATE and
YEAR are fields named like functions.
"""

import datetime
import random
import struct
import sys

SEED = 20261207
RECORDS = 500

FIELDS = [  # name, type, length, decimals
    ("ID", "N", 5, 0),
    ("NAME", "C", 12, 0),
    ("CITY", "C", 20, 0),
    ("CODE", "C", 8, 0),
    ("QTY", "N", 6, 0),
    ("PRICE", "N", 10, 2),
    ("RATE", "N", 12, 5),
    ("BIG", "N", 15, 0),
    ("TEMP", "F", 8, 3),
    ("BORN", "D", 8, 0),
    ("DUE", "D", 8, 0),
    ("DATE", "D", 8, 0),
    ("YEAR", "N", 4, 0),
    ("OK", "L", 1, 0),
    ("PAID", "L", 1, 0),
]

SYLLABLES = ["an", "Bé", "ÇA", "dö", "Em", "fü", "GR", "ha", "ÎL", "jo", "KÄ", "lu", "Mü", "nñ",
             "Øs", "pé", "qu", "RÅ", "sß", "TÜ", "uÿ", "Vé", "wa", "Xé", "yo", "ZÝ", "æu", "Ðk",
             "ÐÞ", "ær", "O'", 'a"', "ro", "ber", "t ", "AB"]
CODES = ["12.5", "-3", "1E3", "abc", "7x", ".5", "1,5", "", "-.5", "1e-2", "5.", "0", "42",
         "-0", "99999", "-12.75", "3.14159", "1.5E2", "x1", "-"]
LOGICALS = b"TFYNtfyn? "


def name_text(rng, width):
    text = "".join(rng.choice(SYLLABLES) for _ in range(rng.randint(0, 6)))
    shape = rng.random()
    if shape < 0.1:
        text = " " * rng.randint(1, 3) + text
    elif shape < 0.15:
        text = ""
    return text[:width]


def number_text(rng, length, decimals):
    limit = 10 ** (length - (decimals + 1 if decimals else 0) - 1) - 1  # room for a minus sign
    shape = rng.random()
    if shape < 0.08:
        return " " * length  # a blank number reads as 0
    if shape < 0.15:
        value = 0
    elif shape < 0.22:
        value = rng.choice([limit, -limit])
    else:
        value = rng.uniform(-limit, limit) * rng.choice([1, 0.01, 0.0001])
    return ("%*.*f" % (length, decimals, value))[-length:]


def date_text(rng):
    shape = rng.random()
    if shape < 0.15:
        return " " * 8
    if shape < 0.35:
        base = datetime.date(1900, 1, 1)
    elif shape < 0.55:
        base = datetime.date(2000, 1, 1)
    elif shape < 0.75:
        base = datetime.date(1940, 1, 1)
    else:
        base = datetime.date(rng.randint(1, 9998), 1, 1)
    date = base + datetime.timedelta(days=rng.randint(0, 365))
    return "%04d%02d%02d" % (date.year, date.month, date.day)


def field_text(rng, name, kind, length, decimals, number):
    if name == "ID":
        return str(number).rjust(length)
    if name == "YEAR":
        return str(rng.choice([1900, 1940, 2000, 2024, 0])).rjust(length)
    if name == "CODE":
        return rng.choice(CODES).ljust(length)
    if kind == "C":
        return name_text(rng, length).ljust(length)
    if kind in "NF":
        return number_text(rng, length, decimals)
    if kind == "D":
        return date_text(rng)
    return chr(rng.choice(LOGICALS))


def header(count):
    today = datetime.date.today()
    record_length = 1 + sum(length for _, _, length, _ in FIELDS)
    header_length = 32 + 32 * len(FIELDS) + 1
    data = struct.pack("<BBBBIHH20x", 0x03, today.year - 1900, today.month, today.day, count,
                       header_length, record_length)
    for name, kind, length, decimals in FIELDS:
        data += struct.pack("<11sc4xBB14x", name.encode("ascii"), kind.encode("ascii"), length,
                            decimals)
    return data + b"\r"


def records(rng):
    for number in range(1, RECORDS + 1):
        flag = b"*" if rng.random() < 0.1 else b" "
        texts = [field_text(rng, name, kind, length, decimals, number)
                 for name, kind, length, decimals in FIELDS]
        record = flag + "".join(texts).encode("cp850")
        assert len(record) == 1 + sum(length for _, _, length, _ in FIELDS)
        yield record


def write_table(path):
    rng = random.Random(SEED)
    with open(path, "wb") as out:
        out.write(header(RECORDS))
        for record in records(rng):
            out.write(record)
        out.write(b"\x1a")


if __name__ == "__main__":
    write_table(sys.argv[1])
