#!/usr/bin/python3
"""Checks the shipped reference tables with an independent DBF reader (dbfread).

    check_tables.py FOLDER    checks p3g.dbf, rkm1base.dbf and kv3wstyp.dbf in FOLDER
    check_tables.py --self-test FOLDER
                              checks copies of them, each with a planted fault, and fails unless
                              exactly the planted faults are found

Each table must have its fields in order with their types and sizes, be a dBASE III table
without memo and with language-driver byte 0, and keep the rules its rows follow: the profile
geometry derived from d1 and e1, the eccentricity limit, unique material numbers, sensible
strengths, and factors in their ranges. Lists every fault; exit 1 if any.
"""

import os
import shutil
import struct
import sys
import tempfile

import dbfread

P3G = [(name, "N", 8, 3) for name in ("D1", "D2", "D3", "E1", "D6PRE", "D7", "R1", "R2")]
RKM1BASE = [
    ("IDENT", "C", 9, 0), ("NAME", "C", 18, 0), ("NAME2", "C", 18, 0), ("TYPENO", "N", 2, 0),
    ("RM", "N", 5, 0), ("RE", "N", 5, 0), ("E", "N", 6, 0), ("DENSITY", "N", 6, 3),
    ("ALPHA", "N", 5, 1), ("POISSON", "N", 5, 3), ("G", "N", 6, 0), ("STANDARD", "C", 16, 0),
    ("REMARK", "C", 30, 0),
]
KV3WSTYP = [("TYPENO", "C", 2, 0), ("NAME", "C", 30, 0)] + [
    (name, "N", 5, 2)
    for name in ("FS_KEY", "FH_KEY", "FS_SHAFT", "FH_SHAFT", "FS_HUB", "FH_HUB")
]
GREY_IRON_TYPE = 4
TOLERANCE = 0.005


def round_half_even(x):
    return round(x)  # Python rounds halves to even


def relief_diameter(d6):
    whole = round_half_even(d6)
    return d6 - (0.3 if whole < 23 else 0.4 if whole < 50 else 0.5)


class Checker:
    def __init__(self, folder):
        self.folder = folder
        self.faults = []

    def fault(self, text):
        self.faults.append(text)

    def near(self, where, got, expected):
        if abs(got - expected) > TOLERANCE:
            self.fault(f"{where}: {got} where {expected:.4f} was expected")

    def table(self, name, fields):
        path = os.path.join(self.folder, name + ".dbf")
        with open(path, "rb") as raw:
            header = raw.read(32)
        if header[0] != 0x03:
            self.fault(f"{name}: version byte {header[0]:#04x}, not dBASE III without memo")
        if header[29] != 0:
            self.fault(f"{name}: language-driver byte {header[29]}, not 0")
        table = dbfread.DBF(path, encoding="cp850", char_decode_errors="strict")
        got = [(f.name, f.type, f.length, f.decimal_count) for f in table.fields]
        if got != fields:
            self.fault(f"{name}: fields {got}")
        return list(table)

    def check_p3g(self):
        rows = self.table("p3g", P3G)
        if not rows:
            self.fault("p3g: no rows")
        last = 0
        for row in rows:
            d1, e1 = row["D1"], row["E1"]
            where = f"p3g d1 {d1}"
            if d1 <= last:
                self.fault(f"{where}: d1 not rising")
            last = d1
            if e1 <= 0 or e1 > d1 / 16:
                self.fault(f"{where}: e1 {e1} outside 0 < e1 <= d1/16")
            self.near(f"{where} d2", row["D2"], d1 + 2 * e1)
            self.near(f"{where} d3", row["D3"], d1 - 2 * e1)
            self.near(f"{where} r1", row["R1"], d1 / 2 + 6.5 * e1)
            self.near(f"{where} r2", row["R2"], d1 / 2 - 6.5 * e1)
            self.near(f"{where} d6pre", row["D6PRE"], relief_diameter(d1 - 2 * e1))
            self.near(f"{where} d7", row["D7"], round_half_even(1.2 * (d1 / 2 - 6.5 * e1)))
            if row["D7"] > 2 * row["R2"]:
                self.fault(f"{where}: d7 above 2 r2")
        example = [r for r in rows if r["D1"] == 60]
        if len(example) != 1 or (example[0]["E1"], example[0]["D2"], example[0]["D3"]) != (
            2.25, 64.5, 55.5
        ):
            self.fault("p3g: the d1 60 row is not e1 2.25, d2 64.5, d3 55.5")

    def check_types(self):
        rows = self.table("kv3wstyp", KV3WSTYP)
        numbers = set()
        for row in rows:
            key = row["TYPENO"]
            where = f"kv3wstyp type {key!r}"
            if len(key) != 2 or not key.strip().isdigit() or key != key.strip().rjust(2):
                self.fault(f"{where}: not a number right-aligned in 2 characters")
                continue
            if int(key) in numbers:
                self.fault(f"{where}: twice")
            numbers.add(int(key))
            for fs, fh in (("FS_SHAFT", "FH_SHAFT"), ("FS_HUB", "FH_HUB")):
                if not 1.0 <= row[fs] <= 2.0:
                    self.fault(f"{where}: {fs} {row[fs]} outside 1.0-2.0")
                if not 1.0 <= row[fh] <= 1.15:
                    self.fault(f"{where}: {fh} {row[fh]} outside 1.0-1.15")
        return numbers

    def check_materials(self, types):
        rows = self.table("rkm1base", RKM1BASE)
        if len(rows) < 12:
            self.fault(f"rkm1base: {len(rows)} materials, fewer than 12")
        idents = set()
        for row in rows:
            ident = row["IDENT"].strip()
            where = f"rkm1base {ident}"
            if not ident or ident in idents:
                self.fault(f"{where}: empty or repeated IDENT")
            idents.add(ident)
            if row["TYPENO"] not in types:
                self.fault(f"{where}: type {row['TYPENO']} not in kv3wstyp")
            if not 0 <= row["RE"] <= row["RM"] or row["RM"] <= 0:
                self.fault(f"{where}: RE {row['RE']} and RM {row['RM']} out of order")
            if (row["RE"] == 0) != (row["TYPENO"] == GREY_IRON_TYPE):
                self.fault(f"{where}: RE 0 belongs to grey iron only, and grey iron has RE 0")
            if row["E"] <= 0 or not 0 < row["POISSON"] < 0.5:
                self.fault(f"{where}: E {row['E']} or Poisson {row['POISSON']} implausible")
            else:
                shear = row["E"] / (2 * (1 + row["POISSON"]))
                if abs(row["G"] - shear) > 0.5:
                    self.fault(f"{where}: G {row['G']} is not E/(2(1+nu)) = {shear:.1f}")


def check(folder):
    checker = Checker(folder)
    checker.check_p3g()
    checker.check_materials(checker.check_types())
    return checker.faults


def plant(path, record, offset, text):
    """Overwrites the stored text at offset (after the deletion flag) of a record."""
    with open(path, "r+b") as table:
        header = table.read(12)
        header_length, record_length = struct.unpack("<HH", header[8:12])
        table.seek(header_length + (record - 1) * record_length + 1 + offset)
        table.write(text.encode("ascii"))


def self_test(folder):
    """Each planted fault is reported, and nothing else."""
    with tempfile.TemporaryDirectory() as copy:
        for name in ("p3g", "rkm1base", "kv3wstyp"):
            shutil.copy(os.path.join(folder, name + ".dbf"), copy)
        plant(os.path.join(copy, "p3g.dbf"), 2, 8, "  99.000")  # d2 of the second profile
        plant(os.path.join(copy, "rkm1base.dbf"), 1, 9 + 18 + 18 + 2 + 5, "  999")  # RE > RM
        plant(os.path.join(copy, "kv3wstyp.dbf"), 1, 2 + 30 + 3 * 5, " 1.30")  # FH_SHAFT
        faults = check(copy)
    expected = ["p3g d1 16.0 d2", "rkm1base 1.0038: RE 999", "FH_SHAFT 1.3 outside"]
    missed = [e for e in expected if not any(e in fault for fault in faults)]
    for text in missed:
        print("missed: " + text)
    if len(faults) != len(expected):
        print("expected exactly the planted faults, found:\n" + "\n".join(faults))
    return 1 if missed or len(faults) != len(expected) else 0


def main(argv):
    if len(argv) == 3 and argv[1] == "--self-test":
        return self_test(argv[2])
    if len(argv) != 2:
        sys.exit(__doc__)
    faults = check(argv[1])
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
