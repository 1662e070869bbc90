#!/usr/bin/env python3
"""An independent reader of KV6 calculation files, written from the file layout alone.

It checks the form of a file strictly (CR LF after every line, code page 850, the fixed marker
lines, the field counts, the forms of integers and reals, nothing after dB2) and prints the
values as JSON.

Usage:
  kv6_check.py FILE...                      check the files, print their values
  kv6_check.py --driver DRIVER FILE...      also compare with what DRIVER print FILE reads
  kv6_check.py --driver DRIVER --seeded DIR COUNT
                                            let DRIVER write COUNT seeded files into DIR, then
                                            check and compare each
Exit code 0 when every file passes.
"""
import json
import math
import re
import subprocess
import sys

HEADER_LINES = 7
INTEGER = re.compile(r"-?[0-9]+\Z")
# A real is either the short form (an INTEGER) of a whole value below 1 or has exactly 7
# decimals; the decimal sign is the writer's regional one, "." or ",". A value whose significant
# digits those forms cannot hold comes in exponent form, without trailing zeros.
REAL_LONG = re.compile(r"-?[0-9]+[.,][0-9]{7}\Z")
REAL_EXPONENT = re.compile(r"-?[1-9](\.[0-9]*[1-9])?E[+-][0-9]+\Z")
# Drawing-text numbers: digits with an optional fraction.
REAL_TEXT = re.compile(r"-?[0-9]+([.,][0-9]+)?\Z")


class Damaged(Exception):
    pass


class Lines:
    def __init__(self, data):
        if data.startswith(b"\xef\xbb\xbf"):
            raise Damaged("byte-order mark")
        if b"\x1a" in data:
            raise Damaged("Ctrl-Z in the file")
        if not data.endswith(b"\r\n"):
            raise Damaged("last line without CR LF")
        raw = data[:-2].split(b"\r\n")
        for number, line in enumerate(raw, 1):
            if b"\r" in line or b"\n" in line:
                raise Damaged("line %d: a CR or LF that is no CR LF line end" % number)
        self.lines = [line.decode("cp850") for line in raw]
        self.pos = 0

    def where(self):
        return "line %d" % self.pos

    def text(self):
        if self.pos >= len(self.lines):
            raise Damaged("file ends at line %d" % self.pos)
        self.pos += 1
        return self.lines[self.pos - 1]

    def marker(self, expected):
        line = self.text()
        if line != expected:
            raise Damaged("%s: %r where %r belongs" % (self.where(), line, expected))

    def integer(self):
        line = self.text()
        if not INTEGER.match(line):
            raise Damaged("%s: %r is no integer" % (self.where(), line))
        return int(line)

    def real(self):
        return real_value(self.text(), self.where())

    def fields(self, count):
        line = self.text()
        if not line.endswith("|") or line.count("|") != count:
            raise Damaged("%s: %r is no line of %d fields" % (self.where(), line, count))
        return line[:-1].split("|")

    def end(self):
        if self.pos != len(self.lines):
            raise Damaged("%d lines after dB2" % (len(self.lines) - self.pos))


def real_value(line, where):
    if REAL_LONG.match(line) or REAL_EXPONENT.match(line):
        return float(line.replace(",", "."))
    if INTEGER.match(line):
        value = int(line)
        # A value just below 1 may round to "1"; from 2 on the decimals belong.
        if value > 1:
            raise Damaged("%s: whole value %r above 1 without its 7 decimals" % (where, line))
        return float(value)
    raise Damaged("%s: %r is no real" % (where, line))


def text_real(text, where):
    if not REAL_TEXT.match(text):
        raise Damaged("%s: %r is no drawing-text number" % (where, text))
    return float(text.replace(",", "."))


def integer_field(text, where):
    if not INTEGER.match(text):
        raise Damaged("%s: field %r is no integer" % (where, text))
    return int(text)


def read_header(lines):
    header = [lines.text() for _ in range(HEADER_LINES)]
    rule = "-" * 65
    if header[0] != rule or header[3] != rule:
        raise Damaged("header without its rules of 65 dashes")
    if "   V " not in header[1] or not header[2].startswith("Version "):
        raise Damaged("header without title and version")
    return header


def read_material(lines):
    return {"name": lines.text(), "Re": lines.integer(), "Pzul": lines.real(), "FH": lines.real(),
            "FS": lines.real(), "RecNo": lines.integer()}


def read_changes(lines, values):
    values["changes_heading"] = lines.text()
    count = lines.integer()
    if not 0 <= count <= 25:
        raise Damaged("%s: %d change entries" % (lines.where(), count))
    lines.marker("-" * 20)
    changes = []
    for _ in range(count):
        first, second, third = lines.text(), lines.text(), lines.text()
        description = lines.text().replace("|", "\r\n")
        lines.marker("-" * 14)
        changes.append([first, second, third, description])
    values["changes"] = changes
    row2d, row2n, row3d, row3n, row4d, row4n, text_count, empty = lines.fields(8)
    if empty != "":
        raise Damaged("%s: the last of the 8 fields is not empty" % lines.where())
    texts_n = integer_field(text_count, lines.where())
    if not 0 <= texts_n <= 8:
        raise Damaged("%s: %d drawing texts" % (lines.where(), texts_n))
    row1d, replacement_for, replaced_by, row1n = (lines.text() for _ in range(4))
    values["title_rows"] = [row1d, row1n, row2d, row2n, row3d, row3n, row4d, row4n]
    values["replacement"] = [replacement_for, replaced_by]
    texts = []
    for _ in range(texts_n):
        x, y, h, phi, text, layer = lines.fields(6)
        where = lines.where()
        texts.append({"xyh_phi": [text_real(v, where) for v in (x, y, h, phi)], "text": text,
                      "layer": integer_field(layer, where)})
    values["texts"] = texts


def read_documents(lines):
    lines.marker("documents")
    lines.marker("5")
    lines.marker("-" * 20)
    links = []
    for _ in range(5):
        links += [lines.text(), lines.text()]
        lines.marker("-" * 14)
    return links


def read_file(data):
    lines = Lines(data)
    v = {"header": read_header(lines)}
    six = [lines.text() for _ in range(6)]
    v["drawing_name"], v["drawing_no"], v["drawing_name2"] = (
        [six[i], six[i + 3]] for i in range(3))
    v["P3GRow"] = lines.integer()
    v["geometry"] = [lines.real() for _ in range(12)]
    v["load"] = [lines.real() for _ in range(3)]
    v["DisplacementCase"] = lines.integer()
    v["factors"] = [lines.real(), lines.real()]
    v["materials"] = [read_material(lines), read_material(lines)]
    read_changes(lines, v)
    v["links"] = read_documents(lines)
    v["DimensionMode"] = lines.integer()
    v["TolShaft"] = lines.text()
    for material in v["materials"]:
        material["ident"] = lines.text()
    lines.marker("ISO 7200 Header")
    v["TitleBlockStandard"] = lines.integer()
    v["DrawingTextMode"] = lines.integer()
    v["iso7200"] = [lines.text() for _ in range(3)]
    lines.marker("---")
    v["lengths"] = [lines.real() for _ in range(4)]
    lines.end()
    return v


def from_driver(value):
    """The driver prints texts byte by byte; decode them as the file's code page."""
    if isinstance(value, str):
        return value.encode("latin-1").decode("cp850")
    if isinstance(value, list):
        return [from_driver(item) for item in value]
    if isinstance(value, dict):
        return {key: from_driver(item) for key, item in value.items()}
    return value


def as_ours(theirs):
    """The driver's JSON in the shape of ours."""
    v = dict(theirs)
    rows = v.pop("title_block")
    v["title_rows"] = rows[0:8]
    v["replacement"] = rows[8:10]
    v["iso7200"] = rows[10:13]
    return v


def same(a, b, path="file"):
    if isinstance(a, float) or isinstance(b, float):
        if not (isinstance(a, (int, float)) and isinstance(b, (int, float)) and
                math.isclose(a, b, rel_tol=1e-15, abs_tol=1e-12)):
            return "%s: %r here, %r from the program" % (path, a, b)
        return None
    if isinstance(a, dict) and isinstance(b, dict):
        if sorted(a) != sorted(b):
            return "%s: keys %s here, %s from the program" % (path, sorted(a), sorted(b))
        for key in a:
            found = same(a[key], b[key], path + "." + key)
            if found:
                return found
        return None
    if isinstance(a, list) and isinstance(b, list):
        if len(a) != len(b):
            return "%s: %d items here, %d from the program" % (path, len(a), len(b))
        for index, (x, y) in enumerate(zip(a, b)):
            found = same(x, y, "%s[%d]" % (path, index))
            if found:
                return found
        return None
    return None if a == b else "%s: %r here, %r from the program" % (path, a, b)


def check(name, driver):
    with open(name, "rb") as f:
        data = f.read()
    try:
        ours = read_file(data)
    except Damaged as e:
        return "%s: %s" % (name, e)
    if driver is None:
        print(json.dumps(ours, ensure_ascii=False))
        return None
    out = subprocess.run([driver, "print", name], capture_output=True, check=True).stdout
    difference = same(ours, as_ours(from_driver(json.loads(out))))
    return "%s: %s" % (name, difference) if difference else None


def main(argv):
    driver = None
    if argv[:1] == ["--driver"]:
        driver, argv = argv[1], argv[2:]
    if argv[:1] == ["--seeded"]:
        folder, count = argv[1], int(argv[2])
        subprocess.run([driver, "write", folder, "20261207", str(count)], check=True)
        argv = ["%s/seeded%03d.kv6" % (folder, i) for i in range(count)]
    failures = [f for f in (check(name, driver) for name in argv) if f]
    for failure in failures:
        print(failure, file=sys.stderr)
    return 1 if failures or not argv else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
