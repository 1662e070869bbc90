#!/usr/bin/env python3
"""An independent evaluator of the table engine's dBASE expressions, and the comparison of the
program's evaluator against it over a generated table.

    expr_oracle.py DRIVER [WORKDIR]   generate the table, run DRIVER, compare (exit 0: all agree)
    expr_oracle.py --emulate TABLE.DBF EXPRESSIONS.TXT   print what a driver should print

The comparison writes the seeded table (expr_table.py), the expressions of expr_cases.txt (one
a line, "#" comment lines and empty lines left out) converted to Windows-1252 and 150 seeded
random ones (expr_random.py), then runs

    DRIVER TABLE.DBF EXPRESSIONS.TXT

under LC_ALL=C with the driver's defaults: date picture 0 (MM/DD/YY), SET CENTURY off, "." as
decimal sign, and the engine's table language: texts stored in code page 850 and evaluated in
Windows-1252 (the generated table uses only letters both code pages hold). The driver's output: for each record from
the first to the last (deleted records included, in record-number order), for each expression in
file order, one line

    TYPE VALUE

TYPE is C, N, D or L, separated from VALUE by one blank. C: the text's bytes, with "\\" written
as "\\\\" and the bytes below 0x20 and 0x7F as "\\xHH"; N: a number Python's float() reads;
D: "-" for the blank date (day number 0), else the date as YYYYMMDD (8 blanks outside
0001-01-01 to 9999-12-31); L: T or F. "E code" stands for an expression that failed to compile or evaluate.

C, L and D results must be identical, N results must agree to 15 significant digits.

Values during evaluation: C is a byte string (Windows-1252) of at most 255 bytes, N and D are
IEEE doubles (D holds the Julian day number, 0 for the blank date), L is a bool.
"""

import datetime
import math
import os
import re
import subprocess
import sys
import tempfile
from decimal import ROUND_DOWN, ROUND_HALF_UP, Context, Decimal

JULIAN_OFFSET = 1721425  # Julian day number = date.toordinal() + JULIAN_OFFSET
FIRST_JULIAN = 1721426  # 0001-01-01
LAST_JULIAN = 5373484  # 9999-12-31
TEXT_MAX = 255
INT64_MIN, INT64_MAX = -(2**63), 2**63 - 1

DAY_NAMES = ["Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"]
MONTH_NAMES = ["January", "February", "March", "April", "May", "June", "July", "August",
               "September", "October", "November", "December"]
NAME_WIDTH = 9  # the English rows of day and month names
BLANK_DAY_NAME = b" " * 10

SOUNDEX_CODES = "01230120022455012623010202"


class ExprError(Exception):
    """A text the language refuses (syntax or type error)."""


# ----------------------------------------------------------------------------------------------
# Windows-1252 letters and case

def _cp1252_case(convert):
    table = bytearray(range(256))
    for code in range(256):
        try:
            char = bytes([code]).decode("cp1252")
        except UnicodeDecodeError:
            continue
        changed = convert(char)
        if len(changed) != 1:
            continue
        try:
            table[code] = changed.encode("cp1252")[0]
        except UnicodeEncodeError:
            pass
    return bytes(table)


UPPER = _cp1252_case(str.upper)
LOWER = _cp1252_case(str.lower)


def is_letter(code):
    if code < 0x80:
        return chr(code).isalpha()
    try:
        return bytes([code]).decode("cp1252").isalpha()
    except UnicodeDecodeError:
        return False


# ----------------------------------------------------------------------------------------------
# Numbers

def whole(value):
    """A number's whole part as a 64-bit integer: cut toward zero, saturating, NaN gives 0."""
    if math.isnan(value):
        return 0
    if math.isinf(value):
        return INT64_MAX if value > 0 else INT64_MIN
    return max(INT64_MIN, min(INT64_MAX, math.trunc(value)))


def number_result(value):
    return 0.0 if math.isnan(value) else value


WIDE = Context(prec=1000)


def fixed_text(value, decimals):
    """Fixed-point text: an 18-significant-digit intermediate, then half away from zero, no "-0"."""
    exact = Decimal("%.17e" % value)
    text = "{:f}".format(exact.quantize(Decimal(1).scaleb(-decimals), ROUND_HALF_UP, WIDE))
    if text.startswith("-") and Decimal(text) == 0:
        text = text[1:]
    return text


def str_function(value, width=10.0, decimals=0.0):
    width = max(0, min(TEXT_MAX, whole(width)))
    decimals = max(0, min(TEXT_MAX, whole(decimals)))
    text = fixed_text(value, decimals)
    if len(text) > width:
        return b"*" * width
    return text.rjust(width).encode("ascii")


def round_function(value, decimals):
    """Cut toward zero after d decimals of the value's 15-significant-digit text."""
    digits = min(max(0, whole(decimals)), 400)
    text = Decimal("%.14e" % value)
    return float(text.quantize(Decimal(1).scaleb(-digits), ROUND_DOWN, WIDE))


LEADING_NUMBER = re.compile(rb"[-+]?(?:[0-9]+\.?[0-9]*|\.[0-9]+)(?:[eE][+-]?[0-9]+)?")


def val_function(text):
    """The longest leading decimal number after leading blanks; 0 when there is none or when it
    lies beyond the range of an 8-byte float."""
    match = LEADING_NUMBER.match(text.rstrip(b" ").lstrip(b" "))
    value = float(match.group(0)) if match else 0.0
    return value if math.isfinite(value) else 0.0


def field_number(raw):
    text = raw.strip(b" ")
    try:
        return float(text) if text else 0.0
    except ValueError:
        return 0.0


# ----------------------------------------------------------------------------------------------
# Dates

def ymd_to_julian(year, month, day):
    try:
        return float(datetime.date(year, month, day).toordinal() + JULIAN_OFFSET)
    except ValueError:
        return 0.0


def julian_date(julian):
    """The calendar date of a Julian day number, None for the blank date and out of range."""
    number = whole(julian)
    if number < FIRST_JULIAN or number > LAST_JULIAN:
        return None
    return datetime.date.fromordinal(number - JULIAN_OFFSET)


def dtos(julian):
    date = julian_date(julian)
    return b" " * 8 if date is None else b"%04d%02d%02d" % (date.year, date.month, date.day)


def dtoc(julian):
    """Picture 0 (MM/DD/YY), SET CENTURY off."""
    date = julian_date(julian)
    if date is None:
        return b"  /  /  "
    return b"%02d/%02d/%02d" % (date.month, date.day, date.year % 100)


def dtos_to_julian(raw):
    if raw.strip(b" ") == b"":
        return 0.0
    if len(raw) != 8 or not raw.isdigit():
        return 0.0
    return ymd_to_julian(int(raw[0:4]), int(raw[4:6]), int(raw[6:8]))


def century_base():
    return datetime.date.today().year - 70


def widen_year(year):
    base = century_base()
    return (base // 100 + 1) * 100 + year if year < base % 100 else (base // 100) * 100 + year


def ctod(text):
    """A date text of picture 0 (month, day, year), a two-digit year widened by the window."""
    text = text[:10]
    match = re.match(rb"([^./-]*)([./-])([^./-]*)\2(.*)$", text, re.S)
    if match is None:
        return 0.0
    month, _, day, year = (part.strip(b" ") for part in match.groups())
    if not (month.isdigit() and day.isdigit() and year.isdigit()):
        return 0.0
    year_number = int(year)
    if len(year) <= 2:
        year_number = widen_year(year_number)
    return ymd_to_julian(year_number, int(month), int(day))


def date_part(julian, part):
    date = julian_date(julian)
    if date is None:
        return 0.0
    if part == "DOW":
        return float(date.isoweekday() % 7 + 1)
    return float(getattr(date, part.lower()))


def cdow(julian):
    date = julian_date(julian)
    if date is None:
        return BLANK_DAY_NAME
    return DAY_NAMES[date.isoweekday() % 7].ljust(NAME_WIDTH).encode("ascii")


def cmonth(julian):
    date = julian_date(julian)
    if date is None:
        return b" " * NAME_WIDTH
    return MONTH_NAMES[date.month - 1].ljust(NAME_WIDTH).encode("ascii")


def today_julian():
    return float(datetime.date.today().toordinal() + JULIAN_OFFSET)


# ----------------------------------------------------------------------------------------------
# Texts

def text_value(data):
    cut = data.split(b"\0", 1)[0]
    return cut[:TEXT_MAX]


def soundex(text):
    text = bytes(c - 32 if 0x61 <= c <= 0x7A else c for c in text[:100])
    if not text:
        return b"0000"
    code = bytearray(b"0000")
    code[0] = text[0]
    filled = 1
    last = SOUNDEX_CODES[text[0] - 65] if 65 <= text[0] <= 90 else "0"
    for c in text[1:]:
        if filled >= 4:
            break
        if not 65 <= c <= 90:
            continue
        letter_code = SOUNDEX_CODES[c - 65]
        if letter_code != last and letter_code != "0":
            code[filled] = ord(letter_code)
            filled += 1
        last = letter_code
    return bytes(code)


def begins_with(left, right):
    return bool(right) and left.startswith(right)


def c_minus(left, right):
    stripped = left.rstrip(b" ")
    return text_value(stripped + right + b" " * (len(left) - len(stripped)))


def left(text, count):
    count = whole(count)
    return b"" if count < 0 else text[:count]


def right(text, count):
    count = whole(count)
    if count < 0:
        return b""
    return text if count >= len(text) else text[len(text) - count:]


def substr(text, start, count):
    start = max(1, whole(start))
    count = max(0, whole(count))
    return text[start - 1:start - 1 + count]


def stuff(text, start, count, insert):
    start = max(1, whole(start))
    count = max(0, whole(count))
    return text_value(text[:start - 1] + insert + text[start - 1 + count:])


def replicate(text, count):
    count = whole(count)
    if count <= 0 or not text:
        return b""
    return (text * min(count, TEXT_MAX))[:TEXT_MAX]


def chr_function(value):
    code = whole(value) % 256
    return b"" if code == 0 else bytes([code])


def at(part, text):
    return 0.0 if not part else float(text.find(part) + 1)


def mod_function(a, b):
    a, b = whole(a), whole(b)
    if b == 0:
        return 0.0
    remainder = abs(a) % abs(b)
    return float(-remainder if a < 0 else remainder)


def power(base, exponent):
    try:
        return number_result(math.pow(base, exponent))
    except OverflowError:
        return math.inf
    except ValueError:
        if base == 0:
            return math.inf
        return 0.0


# ----------------------------------------------------------------------------------------------
# Functions: name, argument types (a list of alternatives), result type, implementation

FUNCTIONS = {
    "ABS": ([("N",)], "N", lambda r, x: abs(x)),
    "ASC": ([("C",)], "N", lambda r, s: float(s[0]) if s else 0.0),
    "AT": ([("C", "C")], "N", lambda r, a, b: at(a, b)),
    "CDOW": ([("D",)], "C", lambda r, d: cdow(d)),
    "CHR": ([("N",)], "C", lambda r, n: chr_function(n)),
    "CMONTH": ([("D",)], "C", lambda r, d: cmonth(d)),
    "CTOD": ([("C",)], "D", lambda r, s: ctod(s)),
    "DATE": ([()], "D", lambda r: today_julian()),
    "DAY": ([("D",)], "N", lambda r, d: date_part(d, "DAY")),
    "DELETED": ([()], "L", lambda r: r.deleted),
    "DOW": ([("D",)], "N", lambda r, d: date_part(d, "DOW")),
    "DTOC": ([("D",)], "C", lambda r, d: dtoc(d)),
    "DTOS": ([("D",)], "C", lambda r, d: dtos(d)),
    "IIF": ([("L", "C", "C")], "C", lambda r, c, a, b: a if c else b),
    "INT": ([("N",)], "N", lambda r, x: float(math.trunc(x)) if math.isfinite(x) else x),
    "LEFT": ([("C", "N")], "C", lambda r, s, n: left(s, n)),
    "LEN": ([("C",)], "N", lambda r, s: float(len(s))),
    "LOWER": ([("C",)], "C", lambda r, s: s.translate(LOWER)),
    "LTRIM": ([("C",)], "C", lambda r, s: s.lstrip(b" ")),
    "MAX": ([("N", "N"), ("D", "D")], None, lambda r, a, b: a if a > b else b),
    "MIN": ([("N", "N"), ("D", "D")], None, lambda r, a, b: a if a < b else b),
    "MOD": ([("N", "N")], "N", lambda r, a, b: mod_function(a, b)),
    "MONTH": ([("D",)], "N", lambda r, d: date_part(d, "MONTH")),
    "RECNO": ([()], "N", lambda r: float(r.number)),
    "REPLICATE": ([("C", "N")], "C", lambda r, s, n: replicate(s, n)),
    "RIGHT": ([("C", "N")], "C", lambda r, s, n: right(s, n)),
    "ROUND": ([("N", "N")], "N", lambda r, x, d: round_function(x, d)),
    "RTRIM": ([("C",)], "C", lambda r, s: s.rstrip(b" ")),
    "SOUNDEX": ([("C",)], "C", lambda r, s: soundex(s)),
    "SPACE": ([("N",)], "C", lambda r, n: b" " * max(0, min(TEXT_MAX, whole(n)))),
    "STR": ([("N",), ("N", "N"), ("N", "N", "N")], "C", lambda r, *a: str_function(*a)),
    "STUFF": ([("C", "N", "N", "C")], "C", lambda r, s, p, n, t: stuff(s, p, n, t)),
    "SUBSTR": ([("C", "N", "N")], "C", lambda r, s, p, n: substr(s, p, n)),
    "TRIM": ([("C",)], "C", lambda r, s: s.rstrip(b" ")),
    "UPPER": ([("C",)], "C", lambda r, s: s.translate(UPPER)),
    "VAL": ([("C",)], "N", lambda r, s: val_function(s)),
    "YEAR": ([("D",)], "N", lambda r, d: date_part(d, "YEAR")),
}


def function_named(name):
    """The function a name stands for: the full name, or a leading part of 4 letters or more of
    a name longer than 4 letters."""
    if name in FUNCTIONS:
        return name
    if len(name) >= 4:
        for full in FUNCTIONS:
            if len(full) > 4 and full.startswith(name):
                return full
    return None


# ----------------------------------------------------------------------------------------------
# Lexer

DOT_WORDS = (b".T.", b".F.", b".NOT.", b".AND.", b".OR.")
TWO_CHAR_OPERATORS = {b"**": "^", b"==": "==", b"<=": "<=", b">=": ">=", b"<>": "<>"}
ONE_CHAR_OPERATORS = {b"+": "+", b"-": "-", b"*": "*", b"/": "/", b"^": "^", b"=": "=",
                      b"<": "<", b">": ">", b"#": "<>", b"$": "$", b"(": "(", b")": ")",
                      b",": ","}
NUMBER = re.compile(rb"[0-9]+(?:\.[0-9]*)?(?:E[0-9]+)?$")


def dot_word_at(text, position):
    for word in DOT_WORDS:
        if text.startswith(word, position):
            return word
    return None


def is_name_char(code):
    return code == 0x5F or 0x30 <= code <= 0x39 or is_letter(code)


def tokens(source):
    """(kind, value, position after the token): kinds num, str, name, op, end."""
    if b"\0" in source:
        source = source.split(b"\0", 1)[0]
    if len(source) > TEXT_MAX:
        raise ExprError("Syntax error")
    text = bytearray(source)
    quote = None
    for i, c in enumerate(text):  # case is ignored outside string literals
        if quote is None:
            if c in b"'\"":
                quote = c
            else:
                text[i] = UPPER[c]
        elif c == quote:
            quote = None
    text = bytes(text)
    i, n = 0, len(text)
    result = []
    while True:
        while i < n and text[i] in b" \t":
            i += 1
        if i >= n:
            result.append(("end", None, i))
            return result
        c = text[i]
        if c in b"'\"":
            close = text.find(bytes([c]), i + 1)
            if close < 0:
                raise ExprError("Syntax error")
            result.append(("str", source[i + 1:close], close + 1))
            i = close + 1
        elif 0x30 <= c <= 0x39:
            j = i
            while j < n and (0x30 <= text[j] <= 0x39 or text[j] in b".E"):
                if text[j] == 0x2E and dot_word_at(text, j):
                    break
                j += 1
            literal = text[i:j]
            if not NUMBER.match(literal):
                raise ExprError("Syntax error")
            result.append(("num", float(literal), j))
            i = j
        elif c in b"._" or is_letter(c):
            word = dot_word_at(text, i)
            if word:
                j = i + len(word)
            else:
                j = i + 1
                while j < n and (is_name_char(text[j]) or text[j] == 0x2E):
                    if text[j] == 0x2E and dot_word_at(text, j):
                        break
                    j += 1
            result.append(("name", text[i:j].decode("cp1252"), j))
            i = j
        elif text[i:i + 2] in TWO_CHAR_OPERATORS:
            result.append(("op", TWO_CHAR_OPERATORS[text[i:i + 2]], i + 2))
            i += 2
        elif text[i:i + 1] in ONE_CHAR_OPERATORS:
            result.append(("op", ONE_CHAR_OPERATORS[text[i:i + 1]], i + 1))
            i += 1
        else:
            raise ExprError("Syntax error")


# ----------------------------------------------------------------------------------------------
# Parser: a tree of (type, evaluate(record)) closures

BINARY_LEVELS = [  # loosest first
    [".OR."],
    [".AND."],
    ["=", "<>"],
    ["$", "=="],
    ["<", ">", "<=", ">="],
    ["+", "-"],
    ["*", "/"],
    ["^"],
]


def binary(op, left_node, right_node):
    (lt, lf), (rt, rf) = left_node, right_node

    def mismatch():
        raise ExprError('PARSER:Type mismatch in expression "%s"' % ("** or ^" if op == "^" else op))

    pair = lt + rt
    if op in (".AND.", ".OR."):
        if pair != "LL":
            mismatch()
        if op == ".AND.":
            return "L", lambda r: bool(lf(r)) & bool(rf(r))
        return "L", lambda r: bool(lf(r)) | bool(rf(r))
    if op in ("*", "/", "^"):
        if pair != "NN":
            mismatch()
        if op == "*":
            return "N", lambda r: number_result(lf(r) * rf(r))
        if op == "/":
            return "N", lambda r: divide(lf(r), rf(r))
        return "N", lambda r: power(lf(r), rf(r))
    if op == "+":
        if pair == "NN":
            return "N", lambda r: number_result(lf(r) + rf(r))
        if pair in ("DN", "ND"):
            return "D", lambda r: lf(r) + rf(r)
        if pair == "CC":
            return "C", lambda r: text_value(lf(r) + rf(r))
        mismatch()
    if op == "-":
        if pair == "NN":
            return "N", lambda r: number_result(lf(r) - rf(r))
        if pair == "DN":
            return "D", lambda r: lf(r) - rf(r)
        if pair == "DD":
            return "N", lambda r: lf(r) - rf(r)
        if pair == "CC":
            return "C", lambda r: c_minus(lf(r), rf(r))
        mismatch()
    if op in ("$", "=="):
        if pair != "CC":
            mismatch()
        if op == "$":
            return "L", lambda r: contains(lf(r), rf(r))
        return "L", lambda r: lf(r) == rf(r)
    if lt != rt or lt not in ("NDC" if op in ("<", ">", "<=", ">=") else "NDCL"):
        mismatch()
    if op == "=":
        if lt == "C":
            return "L", lambda r: begins_with(lf(r), rf(r))
        return "L", lambda r: lf(r) == rf(r)
    compare = {"<>": lambda a, b: a != b, "<": lambda a, b: a < b, ">": lambda a, b: a > b,
               "<=": lambda a, b: a <= b, ">=": lambda a, b: a >= b}[op]
    return "L", lambda r: compare(lf(r), rf(r))


def contains(part, text):
    return bool(part) and part in text


def divide(a, b):
    if b == 0:
        return 1e250
    return number_result(a / b)


class Parser:
    def __init__(self, source, fields):
        self.tokens = tokens(source)
        self.index = 0
        self.fields = fields  # upper-case name -> (type letter, position in the record)

    def peek(self):
        return self.tokens[self.index]

    def take(self):
        token = self.tokens[self.index]
        self.index += 1
        return token

    def expect(self, op):
        kind, value, _ = self.take()
        if kind != "op" or value != op:
            raise ExprError("Syntax error")

    def is_operator(self, ops):
        kind, value, _ = self.peek()
        return (kind == "op" and value in ops) or (kind == "name" and value in ops)

    def parse(self):
        node = self.level(0)
        if self.peek()[0] != "end":
            raise ExprError("Syntax error")
        return node

    def level(self, depth):
        if depth == len(BINARY_LEVELS):
            return self.unary()
        node = self.level(depth + 1)
        while self.is_operator(BINARY_LEVELS[depth]):
            op = self.take()[1]
            node = binary(op, node, self.level(depth + 1))
        return node

    def unary(self):
        if self.is_operator(["+", "-", ".NOT."]):
            op = self.take()[1]
            kind, evaluate = self.unary()
            if op == ".NOT.":
                if kind != "L":
                    raise ExprError('PARSER:Type mismatch in expression ".NOT."')
                return "L", lambda r: not evaluate(r)
            if kind != "N":
                raise ExprError('PARSER:Type mismatch in expression "Unary %s"' % op)
            if op == "-":
                return "N", lambda r: -evaluate(r)
            return "N", evaluate
        return self.primary()

    def primary(self):
        kind, value, _ = self.take()
        if kind == "num":
            return "N", lambda r: value
        if kind == "str":
            text = text_value(value)
            return "C", lambda r: text
        if kind == "op" and value == "(":
            node = self.level(0)
            self.expect(")")
            return node
        if kind != "name":
            raise ExprError("Syntax error")
        if value == ".T.":
            return "L", lambda r: True
        if value == ".F.":
            return "L", lambda r: False
        next_is_paren = self.peek()[0] == "op" and self.peek()[1] == "("
        if not next_is_paren and value in self.fields:
            field_type, _ = self.fields[value]
            return field_type, lambda r: r.values[value]
        name = function_named(value)
        if name is None or not next_is_paren:
            raise ExprError("Syntax error")
        return self.call(name)

    def call(self, name):
        self.expect("(")
        arguments = []
        if not (self.peek()[0] == "op" and self.peek()[1] == ")"):
            arguments.append(self.level(0))
            while self.peek()[0] == "op" and self.peek()[1] == ",":
                self.take()
                arguments.append(self.level(0))
        self.expect(")")
        signatures, result, implementation = FUNCTIONS[name]
        types = tuple(kind for kind, _ in arguments)
        if types not in signatures:
            if len(types) in (len(s) for s in signatures):
                raise ExprError('PARSER:Type mismatch in function "%s"' % name)
            raise ExprError("Syntax error")
        result = result or types[0]
        evaluators = [evaluate for _, evaluate in arguments]
        return result, lambda r: implementation(r, *(f(r) for f in evaluators))


def compile_expression(source, fields):
    """(result type letter, evaluate(record)) of an expression text given as Windows-1252 bytes."""
    return Parser(source, fields).parse()


# ----------------------------------------------------------------------------------------------
# Tables

class Record:
    def __init__(self, number, deleted, values):
        self.number = number
        self.deleted = deleted
        self.values = values  # field name -> value in the language's form


def field_value(kind, raw):
    if kind == "C":
        return text_value(raw.decode("cp850").encode("cp1252"))
    if kind == "D":
        return dtos_to_julian(raw)
    if kind == "L":
        return raw[:1].upper() in (b"Y", b"T")
    return field_number(raw)


LANGUAGE_TYPE = {"C": "C", "N": "N", "F": "N", "D": "D", "L": "L"}


def read_table(path):
    """Field map and records of a DBF read with dbfread; the generated table numbers its records
    in the field ID, because dbfread hands out live and deleted records apart."""
    from dbfread import DBF
    table = DBF(path, raw=True, load=True, char_decode_errors="strict")
    fields = {f.name.upper(): (LANGUAGE_TYPE[f.type], i) for i, f in enumerate(table.fields)
              if f.type in LANGUAGE_TYPE}
    records = []
    for deleted, source in ((False, table.records), (True, table.deleted)):
        for raw in source:
            values = {name: field_value(table.fields[i].type, raw[table.fields[i].name])
                      for name, (_, i) in fields.items()}
            records.append(Record(int(values["ID"]), deleted, values))
    records.sort(key=lambda record: record.number)
    if [r.number for r in records] != list(range(1, len(records) + 1)):
        raise SystemExit("the table's ID field does not number its records 1..n")
    return fields, records


def read_cases(path):
    """The expressions of a cases file as Windows-1252 bytes."""
    with open(path, encoding="utf-8") as cases:
        lines = [line.rstrip("\n") for line in cases]
    return [line.encode("cp1252") for line in lines if line.strip() and not line.startswith("#")]


# ----------------------------------------------------------------------------------------------
# The comparison

def escape_text(data):
    out = []
    for c in data:
        if c == 0x5C:
            out.append(b"\\\\")
        elif c < 0x20 or c == 0x7F:
            out.append(b"\\x%02X" % c)
        else:
            out.append(bytes([c]))
    return b"".join(out)


def unescape_text(data):
    return re.sub(rb"\\(\\|x[0-9A-Fa-f]{2})",
                  lambda m: b"\\" if m.group(1) == b"\\" else bytes([int(m.group(1)[1:], 16)]),
                  data)


def format_value(kind, value):
    if kind == "C":
        return b"C " + escape_text(value)
    if kind == "L":
        return b"L T" if value else b"L F"
    if kind == "D":
        return b"D -" if value == 0 else b"D " + dtos(value)
    return b"N %s" % repr(value).encode()


def numbers_agree(expected, actual):
    if expected == actual:
        return True
    if not (math.isfinite(expected) and math.isfinite(actual)):
        return False
    return abs(expected - actual) <= 1e-15 * max(abs(expected), abs(actual)) or \
        "%.14e" % expected == "%.14e" % actual


def results_agree(kind, expected, line):
    if not line.startswith(kind.encode() + b" "):
        return False
    text = line[2:]
    if kind == "C":
        return unescape_text(text) == expected
    if kind in "LD":
        return line == format_value(kind, expected)
    try:
        actual = float(text)
    except ValueError:
        return False
    return numbers_agree(expected, actual)


def compiles(text, fields):
    try:
        compile_expression(text, fields)
        return True
    except ExprError:
        return False


def oracle_results(fields, records, cases):
    compiled = [compile_expression(case, fields) for case in cases]
    return [[(kind, evaluate(record)) for kind, evaluate in compiled] for record in records]


def compare(driver, workdir):
    here = os.path.dirname(os.path.abspath(__file__))
    sys.path.insert(0, here)
    import expr_random
    import expr_table
    table_path = os.path.join(workdir, "ORACLE.DBF")
    expr_table.write_table(table_path)
    fields, records = read_table(table_path)
    cases = read_cases(os.path.join(here, "expr_cases.txt"))
    cases += expr_random.random_cases(compiles=lambda text: compiles(text, fields))
    cases_path = os.path.join(workdir, "cases.txt")
    with open(cases_path, "wb") as out:
        out.write(b"".join(case + b"\n" for case in cases))
    expected = oracle_results(fields, records, cases)
    environment = dict(os.environ, LC_ALL="C", LANG="C")
    run = subprocess.run([driver, table_path, cases_path], stdout=subprocess.PIPE, env=environment,
                         check=False)
    if run.returncode != 0:
        print("driver failed with exit code %d" % run.returncode)
        return 1
    lines = run.stdout.split(b"\n")
    if lines and lines[-1] == b"":
        lines.pop()
    wanted = len(records) * len(cases)
    if len(lines) != wanted:
        print("driver printed %d result lines, expected %d" % (len(lines), wanted))
        return 1
    failures = {}
    for r, record in enumerate(records):
        for c, (kind, value) in enumerate(expected[r]):
            line = lines[r * len(cases) + c]
            if not results_agree(kind, value, line):
                failures.setdefault(c, []).append((record.number, format_value(kind, value), line))
    for c, found in sorted(failures.items()):
        number, wanted_text, got = found[0]
        print("%s: %d records differ, first record %d: oracle %r, driver %r" % (
            cases[c].decode("cp1252"), len(found), number, wanted_text.decode("cp1252"),
            got.decode("cp1252")))
    print("%d expressions x %d records, %d expressions differ" % (
        len(cases), len(records), len(failures)))
    return 1 if failures else 0


def emulate_driver(table_path, cases_path):
    fields, records = read_table(table_path)
    with open(cases_path, "rb") as source:
        cases = [line for line in source.read().split(b"\n") if line]
    for row in oracle_results(fields, records, cases):
        for kind, value in row:
            sys.stdout.buffer.write(format_value(kind, value) + b"\n")
    return 0


def main(arguments):
    if len(arguments) == 3 and arguments[0] == "--emulate":
        return emulate_driver(arguments[1], arguments[2])
    if len(arguments) not in (1, 2):
        print(__doc__)
        return 2
    if len(arguments) == 2:
        return compare(arguments[0], arguments[1])
    with tempfile.TemporaryDirectory(prefix="expr_oracle_") as workdir:
        return compare(arguments[0], workdir)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
