"""Checks CAD text lists: CR LF lines; MINMAX, then the BLOCKS section of BLOCK / END OF BLOCK
pairs, then the ENTITIES section, then EOF as the last line; every record with its field count,
every number with the decimal sign its ".expect" file names ("decimal ." or "decimal ,"),
every INSERT naming a block of the file, and the records per kind the ".expect" file lists
("LINE 6"). Usage: check_txt.py FOLDER-or-FILE... ; exit status 1 when any file fails."""
import collections
import os
import re
import sys

import checkrun

# Keyword: the fields after it, "n" a number, "t" a text.
LAYOUTS = {
    "MINMAX": "nnnn",
    "BLOCK": "t",
    "LINE": "nnnn",
    "CIRCLE": "nnn",
    "ARC": "nnnnn",
    "TEXT": "nnt",
    "SOLID": "nnnnnnnn",
    "INSERT": "tnnnnn",
}
ENTITIES = {"LINE", "CIRCLE", "ARC", "TEXT", "SOLID", "INSERT"}


def read_expect(path):
    decimal, counts = ".", {}
    with open(os.path.splitext(path)[0] + ".expect") as f:
        for line in f:
            key, value = line.split()
            if key == "decimal":
                decimal = value
            else:
                counts[key] = int(value)
    return decimal, counts


class Checker:
    def __init__(self, decimal):
        self.number = re.compile(r"^ *-?\d+(%s\d+)?$" % re.escape(decimal))
        self.counts = collections.Counter()
        self.blocks, self.inserted = set(), set()
        self.state = "start"  # start, minmax, blocks, block, entities, end

    def fields(self, keyword, values):
        layout = LAYOUTS[keyword]
        if len(values) != len(layout):
            raise ValueError("%s with %d fields, expected %d" % (keyword, len(values), len(layout)))
        for kind, value in zip(layout, values):
            if kind == "n" and not self.number.match(value):
                raise ValueError("%s: bad number %r" % (keyword, value))

    def section_line(self, line):
        transitions = {
            ("start", "SECTION BLOCKS"): "blocks", ("minmax", "SECTION BLOCKS"): "blocks",
            ("start", "SECTION ENTITIES"): "entities", ("minmax", "SECTION ENTITIES"): "entities",
            ("blocks", "SECTION ENTITIES"): "entities", ("block", "END OF BLOCK"): "blocks",
            ("entities", "EOF"): "end",
        }
        if (self.state, line) not in transitions:
            raise ValueError("%r out of order (in %s)" % (line, self.state))
        self.state = transitions[(self.state, line)]

    def record(self, line):
        if self.state == "end":
            raise ValueError("record after EOF")
        if "\t" not in line:
            self.section_line(line)
            return
        keyword, *values = line.split("\t")
        if keyword not in LAYOUTS:
            raise ValueError("unknown record %r" % keyword)
        self.fields(keyword, values)
        self.counts[keyword] += 1
        if keyword == "MINMAX":
            if self.state != "start":
                raise ValueError("MINMAX out of order")
            self.state = "minmax"
        elif keyword == "BLOCK":
            if self.state != "blocks":
                raise ValueError("BLOCK outside BLOCKS or inside another block")
            self.state = "block"
            self.blocks.add(values[0])
        elif self.state not in ("block", "entities"):
            raise ValueError("%s outside a block and the entities" % keyword)
        if keyword == "INSERT":
            self.inserted.add(values[0])


def check(path):
    decimal, expected = read_expect(path)
    with open(path, "rb") as f:
        data = f.read()
    if not data.endswith(b"\r\n") or data.count(b"\n") != data.count(b"\r\n"):
        return ["lines do not all end in CR LF"]
    checker = Checker(decimal)
    try:
        for n, line in enumerate(data[:-2].split(b"\r\n"), 1):
            try:
                checker.record(line.decode("cp850"))
            except ValueError as e:
                raise ValueError("line %d: %s" % (n, e))
        if checker.state != "end":
            raise ValueError("no EOF at the end")
    except ValueError as e:
        return [str(e)]
    problems = ["INSERT of undefined block %r" % b for b in sorted(checker.inserted - checker.blocks)]
    for kind in sorted(set(expected) | set(checker.counts)):
        if checker.counts[kind] != expected.get(kind, 0):
            problems.append("%d %s, expected %d" % (checker.counts[kind], kind,
                                                     expected.get(kind, 0)))
    return problems


def main(args):
    return checkrun.run(args, ".txt", "text list", check)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
