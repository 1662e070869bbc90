#!/usr/bin/env python3
"""Checks the flat OpenDocument workbooks of the spreadsheet stand-in with independent tools.

    check_fods.py DIR   each DIR/NAME.fods must be well-formed XML (xmllint), and LibreOffice
                        must read every cell as DIR/NAME.json gives its text: a text that is a
                        number by the rule below as that number with as many decimals, every
                        other text byte for byte. Exit 1 on the first difference.

LibreOffice's CSV export leaves out the tabs of a text cell, also of a workbook it wrote itself,
so a text is compared without its tabs.

The rule, written here apart from the program's: trimmed of blanks, an optional "-", 1 to 15
digits with no leading zero before another digit, optionally "." or "," and at least one digit.
"""

import csv
import glob
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

NUMBER = re.compile(r"^-?(0|[1-9][0-9]*)([.,][0-9]+)?$")


def number_rule(text):
    t = text.strip(" ")
    if not NUMBER.match(t):
        return None
    digits = sum(ch.isdigit() for ch in t)
    if digits > 15:
        return None
    t = t.replace(",", ".")
    decimals = len(t.split(".")[1]) if "." in t else 0
    return float(t), decimals


def convert(files, out):
    soffice = shutil.which("soffice")
    if soffice is None:
        sys.exit("check_fods.py: soffice is missing (Debian package libreoffice-calc-nogui)")
    with tempfile.TemporaryDirectory() as profile:
        subprocess.run([soffice, "--headless", "--norestore",
                        "-env:UserInstallation=file://" + profile,
                        "--convert-to", "csv:Text - txt - csv (StarCalc):44,34,76,1",
                        "--outdir", out] + files,
                       check=True, stdout=subprocess.DEVNULL, timeout=600)


def compare(name, expected, got):
    for r, row in enumerate(expected):
        shown = got[r] if r < len(got) else []
        for c, text in enumerate(row):
            cell = shown[c] if c < len(shown) else ""
            number = number_rule(text)
            where = "%s: row %d, column %d" % (name, r + 1, c + 1)
            if number is None:
                if cell != text.replace("\t", ""):
                    return "%s: %r read as %r" % (where, text, cell)
                continue
            value, decimals = number
            parts = cell.split(".")
            if not re.match(r"^-?[0-9]+(\.[0-9]+)?$", cell) or float(cell) != value or \
                    (len(parts[1]) if len(parts) > 1 else 0) != decimals:
                return "%s: number %r read as %r" % (where, text, cell)
    return None


def main():
    folder = sys.argv[1]
    files = sorted(glob.glob(os.path.join(folder, "*.fods")))
    if not files:
        sys.exit("check_fods.py: no workbooks in " + folder)
    for f in files:
        subprocess.run(["xmllint", "--noout", f], check=True)
    with tempfile.TemporaryDirectory() as out:
        convert(files, out)
        for f in files:
            name = os.path.splitext(os.path.basename(f))[0]
            with open(os.path.join(folder, name + ".json"), encoding="utf-8") as j:
                expected = json.load(j)
            with open(os.path.join(out, name + ".csv"), encoding="utf-8", newline="") as c:
                got = list(csv.reader(c))
            fault = compare(name, expected, got)
            if fault:
                sys.exit(fault)
            print("%s: %d rows as written" % (name, len(expected)))


if __name__ == "__main__":
    main()
