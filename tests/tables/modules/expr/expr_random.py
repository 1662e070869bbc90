#!/usr/bin/env python3
"""Seeded random expressions over the generated table, well typed and nested a few levels deep,
beside the written cases. They keep to results the language defines: divisors and MOD's second
argument are never 0, "^" is left out (a negative base has no defined result), dates move by
whole days, and numbers stay finite."""

import random

SEED = 32711
COUNT = 150
DEPTH = 3

FIELDS = {
    "N": ["QTY", "PRICE", "RATE", "BIG", "TEMP", "YEAR", "ID"],
    "C": ["NAME", "CITY", "CODE"],
    "D": ["BORN", "DUE", "DATE"],
    "L": ["OK", "PAID"],
}
TEXT_LITERALS = ["'AB'", "''", "'  x '", '"é"', "'Müller'", "'GR'", "' '", "'12.5'"]


def small(rng, low, high):
    return str(rng.randint(low, high))


def number_literal(rng):
    return rng.choice([small(rng, 0, 99), "%d.%02d" % (rng.randint(0, 999), rng.randint(0, 99)),
                       "1E3", "0.5"])


class Generator:
    def __init__(self, rng):
        self.rng = rng

    def leaf(self, kind):
        rng = self.rng
        if kind == "N":
            return rng.choice(FIELDS["N"] + [number_literal(rng), "RECNO()"])
        if kind == "C":
            return rng.choice(FIELDS["C"] + [rng.choice(TEXT_LITERALS)])
        if kind == "D":
            return rng.choice(FIELDS["D"] + ["CTOD('02/29/2000')"])
        return rng.choice(FIELDS["L"] + ["DELETED()", ".T.", ".F."])

    def make(self, kind, depth):
        if depth == 0 or self.rng.random() < 0.25:
            return self.leaf(kind)
        return self.rng.choice(getattr(self, "forms_" + kind))(depth - 1)

    def n(self, depth):
        return self.make("N", depth)

    def c(self, depth):
        return self.make("C", depth)

    def d(self, depth):
        return self.make("D", depth)

    def l(self, depth):  # noqa: E743
        return self.make("L", depth)

    @property
    def forms_N(self):
        rng = self.rng
        return [
            lambda k: "%s %s %s" % (self.n(k), rng.choice("+-*"), self.n(k)),
            lambda k: "(%s) / (ABS(%s) + 1)" % (self.n(k), self.n(k)),
            lambda k: "-(%s)" % self.n(k),
            lambda k: "ABS(%s)" % self.n(k),
            lambda k: "INT(%s)" % self.n(k),
            lambda k: "ROUND(%s, %s)" % (self.n(k), small(rng, -1, 5)),
            lambda k: "MOD(%s, %s)" % (self.n(k), rng.choice(["7", "-3", "100", "2"])),
            lambda k: "%s(%s, %s)" % (rng.choice(["MAX", "MIN"]), self.n(k), self.n(k)),
            lambda k: "LEN(%s)" % self.c(k),
            lambda k: "AT(%s, %s)" % (self.c(k), self.c(k)),
            lambda k: "ASC(%s)" % self.c(k),
            lambda k: "VAL(%s)" % self.c(k),
            lambda k: "%s(%s)" % (rng.choice(["YEAR", "MONTH", "DAY", "DOW"]), self.d(k)),
            lambda k: "%s - %s" % (self.d(k), self.d(k)),
        ]

    @property
    def forms_C(self):
        rng = self.rng
        return [
            lambda k: "%s %s %s" % (self.c(k), rng.choice("+-"), self.c(k)),
            lambda k: "%s(%s)" % (rng.choice(["TRIM", "LTRIM", "RTRIM", "UPPER", "LOWER",
                                              "SOUNDEX"]), self.c(k)),
            lambda k: "%s(%s, %s)" % (rng.choice(["LEFT", "RIGHT"]), self.c(k), small(rng, -1, 14)),
            lambda k: "SUBSTR(%s, %s, %s)" % (self.c(k), small(rng, 0, 14), small(rng, 0, 6)),
            lambda k: "STUFF(%s, %s, %s, %s)" % (self.c(k), small(rng, 0, 14), small(rng, 0, 4),
                                                 self.c(k)),
            lambda k: "REPLICATE(%s, %s)" % (self.c(k), small(rng, -1, 3)),
            lambda k: "SPACE(%s) + %s" % (small(rng, 0, 4), self.c(k)),
            lambda k: "STR(%s, %s, %s)" % (self.n(k), small(rng, 1, 20), small(rng, 0, 5)),
            lambda k: "STR(%s)" % self.n(k),
            lambda k: "%s(%s)" % (rng.choice(["DTOS", "DTOC", "CDOW", "CMONTH"]), self.d(k)),
            lambda k: "IIF(%s, %s, %s)" % (self.l(k), self.c(k), self.c(k)),
            lambda k: "CHR(%s)" % small(rng, 33, 255),
        ]

    @property
    def forms_D(self):
        rng = self.rng
        return [
            lambda k: "%s %s %s" % (self.d(k), rng.choice("+-"), small(rng, 0, 400)),
            lambda k: "%s + %s" % (small(rng, 0, 400), self.d(k)),
            lambda k: "%s(%s, %s)" % (rng.choice(["MAX", "MIN"]), self.d(k), self.d(k)),
            lambda k: "CTOD(DTOC(%s))" % self.d(k),
        ]

    @property
    def forms_L(self):
        rng = self.rng
        return [
            lambda k: "%s %s %s" % (self.l(k), rng.choice([".AND.", ".OR.", "=", "<>"]),
                                    self.l(k)),
            lambda k: ".NOT. (%s)" % self.l(k),
            lambda k: self.compared(rng.choice("NCD"), k),
            lambda k: "%s %s %s" % (self.c(k), rng.choice(["$", "=="]), self.c(k)),
        ]

    def compared(self, kind, depth):
        operator = self.rng.choice(["<", ">", "<=", ">=", "=", "<>"])
        return "(%s) %s (%s)" % (self.make(kind, depth), operator, self.make(kind, depth))


def random_cases(count=COUNT, seed=SEED, compiles=lambda text: True):
    """Expressions as Windows-1252 bytes, each of at most 255 bytes and accepted by compiles."""
    rng = random.Random(seed)
    generator = Generator(rng)
    cases = []
    while len(cases) < count:
        text = generator.make(rng.choice("NCDL"), DEPTH).encode("cp1252")
        if len(text) <= 255 and compiles(text):
            cases.append(text)
    return cases
