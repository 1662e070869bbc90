#!/usr/bin/env python3
"""The expression oracle itself, on cases worked out by hand, and its comparison harness on a
driver that agrees and on drivers that do not."""

import datetime
import os
import stat
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import expr_oracle as oracle  # noqa: E402
import expr_table  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))

FIELDS = {"NAME": ("C", 0), "QTY": ("N", 1), "BORN": ("D", 2), "OK": ("L", 3), "DATE": ("D", 4)}


def record(name=b"AB        ", qty=b"    -7", born=b"19400501", ok=b"?", date=b"20000229",
           number=3, deleted=False):
    raw = {"NAME": ("C", name), "QTY": ("N", qty), "BORN": ("D", born), "OK": ("L", ok),
           "DATE": ("D", date)}
    values = {key: oracle.field_value(kind, data) for key, (kind, data) in raw.items()}
    return oracle.Record(number, deleted, values)


def value(text, rec=None):
    kind, evaluate = oracle.compile_expression(text.encode("cp1252"), FIELDS)
    return kind, evaluate(rec or record())


def julian(year, month, day):
    return float(datetime.date(year, month, day).toordinal() + 1721425)


class Operators(unittest.TestCase):
    CASES = [
        ("1+2*3", ("N", 7)), ("2^3^2", ("N", 64)), ("-2*3+1", ("N", -5)), ("7-3-2", ("N", 2)),
        ("-2^2", ("N", 4)), ("2+3=5 .AND. 1<2", ("L", True)),
        (".NOT. .T. .AND. .F.", ("L", False)), (".T. .OR. .F. .AND. .F.", ("L", True)),
        (".NOT. OK = .T.", ("L", True)),  # (.NOT. OK) = .T.
        ("2^3", ("N", 8.0)),  # not 7.999999999999998
        ("QTY^0.5", ("N", 0.0)),  # NaN becomes 0
        ("MOD(-7, 3)", ("N", -1)), ("MOD(7, 0)", ("N", 0)), ("1/0", ("N", 1e250)),
        ("1/0 > 5", ("L", True)), ("'ABC' = 'AB'", ("L", True)), ("'AB' = 'ABC'", ("L", False)),
        ("'ABC' <> 'AB'", ("L", True)), ("NAME = ''", ("L", False)), ("'' $ NAME", ("L", False)),
        ("'B ' $ NAME", ("L", True)), ("NAME == 'AB'", ("L", False)),
        ("'Z' < 'é'", ("L", True)),  # unsigned bytes
        ("'AB' < 'ABC'", ("L", True)), ("TRIM('AB  ') + 'C'", ("C", b"ABC")),
        ("'AB  ' - 'C'", ("C", b"ABC  ")), ("NAME", ("C", b"AB        ")),
    ]

    def test_known_results(self):
        for text, expected in self.CASES:
            self.assertEqual(value(text), expected, text)
        self.assertEqual(value("TRIM(NAME) + '!'", record(name=b" " * 10)), ("C", b"!"))

    def test_type_mismatches_are_refused(self):
        for text in ("1 + 'A'", "NAME - 1", "'A' $ 1", ".NOT. 1", "-NAME", "OK < OK", "BORN * 2",
                     "OK .AND. 1", "1 == 1", "ABS('A')", "IIF(OK, 1, 2)", "MAX(BORN, 1)"):
            with self.assertRaises(oracle.ExprError, msg=text):
                value(text)


class Lexer(unittest.TestCase):
    def test_stored_forms_without_blanks(self):
        self.assertEqual(value("QTY<0.AND.OK"), value("QTY < 0 .AND. OK"))
        self.assertEqual(value(".NOT.OK.AND..NOT.OK"), ("L", True))
        self.assertEqual(value("IIF(OK.OR..T.,'x','y')"), ("C", b"x"))
        self.assertEqual(value("QTY=-7.AND..T."), ("L", True))

    def test_number_literals(self):
        self.assertEqual(value("1."), ("N", 1.0))
        self.assertEqual(value("1.E5"), ("N", 100000.0))
        self.assertEqual(value("1.5"), ("N", 1.5))
        for text in ("1E", "1E5E", "1.2.3", ".5"):
            with self.assertRaises(oracle.ExprError, msg=text):
                value(text)

    def test_strings_names_and_limits(self):
        self.assertEqual(value("'a\"b'"), ("C", b'a"b'))
        self.assertEqual(value("upper(name)"), ("C", b"AB        "))
        self.assertEqual(value("'" + "x" * 253 + "'")[1], b"x" * 253)
        for text in ("'open", "'" + "x" * 254 + "'", "NOSUCH", "REP('a', 2)", "ABS", "ABS(1,2)"):
            with self.assertRaises(oracle.ExprError, msg=text):
                value(text)

    def test_field_named_like_a_function(self):
        self.assertEqual(value("DATE"), ("D", julian(2000, 2, 29)))
        today = float(datetime.date.today().toordinal() + 1721425)
        self.assertEqual(value("DATE()"), ("D", today))
        self.assertEqual(value("DELE()"), ("L", False))
        self.assertEqual(value("DELETED()", record(deleted=True)), ("L", True))


class Dates(unittest.TestCase):
    def test_julian_range(self):
        self.assertEqual(oracle.dtos(1721426), b"00010101")
        self.assertEqual(oracle.dtos(5373484), b"99991231")
        self.assertEqual(oracle.dtos(5373485), b"        ")
        self.assertEqual(oracle.dtoc(1721425), b"  /  /  ")
        self.assertEqual(oracle.dtoc(2451545), b"01/01/00")
        self.assertEqual(oracle.dtos_to_julian(b"        "), 0)
        self.assertEqual(oracle.dtos_to_julian(b"19000229"), 0)

    def test_a_1940_date_under_a_two_digit_year(self):
        for text, expected in (("YEAR(BORN)", ("N", 1940)), ("DOW(BORN)", ("N", 4)),
                               ("CDOW(BORN)", ("C", b"Wednesday")),
                               ("CMONTH(BORN)", ("C", b"May      ")),
                               ("DTOC(BORN)", ("C", b"05/01/40"))):
            self.assertEqual(value(text), expected, text)

    def test_ctod(self):
        self.assertEqual(value("CTOD('02/29/2001')"), ("D", 0))
        self.assertEqual(value("CTOD('02/29/2000')"), ("D", julian(2000, 2, 29)))
        self.assertEqual(value("CTOD('1/5/2001')"), ("D", julian(2001, 1, 5)))
        base = datetime.date.today().year - 70
        self.assertEqual(value("YEAR(CTOD('01/01/%02d'))" % (base % 100)), ("N", base))
        self.assertEqual(value("YEAR(CTOD('01/01/%02d'))" % ((base - 1) % 100)), ("N", base + 99))

    def test_blank_dates(self):
        blank = record(born=b"        ")
        for text, expected in (("BORN", ("D", 0)), ("DTOS(BORN)", ("C", b"        ")),
                               ("CDOW(BORN)", ("C", b" " * 10)), ("YEAR(BORN)", ("N", 0))):
            self.assertEqual(value(text, blank), expected, text)
        self.assertEqual(value("DATE - BORN"), ("N", julian(2000, 2, 29) - julian(1940, 5, 1)))


class Functions(unittest.TestCase):
    CASES = [
        ("STR(123.456, 5, 2)", ("C", b"*****")), ("STR(5)", ("C", b"         5")),
        ("STR(-0.004, 5, 2)", ("C", b" 0.00")), ("STR(2.5)", ("C", b"         3")),
        ("STR(0.125, 5, 2)", ("C", b" 0.13")), ("STR(1.005, 5, 2)", ("C", b" 1.00")),
        ("LEN(STR(1, 300))", ("N", 255)), ("STR(1, -4)", ("C", b"")),
        ("ROUND(8.2, 2)", ("N", 8.2)), ("ROUND(2.567, 2)", ("N", 2.56)),
        ("ROUND(-2.567, 1)", ("N", -2.5)), ("ROUND(2.567, -1)", ("N", 2.0)),
        ("VAL('3.50')", ("N", 3.5)), ("VAL('1E3x')", ("N", 1000)), ("VAL('7,5')", ("N", 7)),
        ("VAL('abc')", ("N", 0)), ("VAL('+5')", ("N", 5)), ("VAL('1E400')", ("N", 0)),
        ("VAL(STR(-2.5, 8, 1))", ("N", -2.5)), ("LEFT('abc', -1)", ("C", b"")),
        ("RIGHT('abc', 2)", ("C", b"bc")), ("SUBSTR('abcdef', 0, 2)", ("C", b"ab")),
        ("STUFF('abcdef', 2, 3, 'XY')", ("C", b"aXYef")),
        ("LEN(REPLICATE('ab', 200))", ("N", 255)), ("LEN(SPACE(200) + SPACE(200))", ("N", 255)),
        ("CHR(0)", ("C", b"")), ("CHR(321)", ("C", b"A")), ("AT('', 'abc')", ("N", 0)),
        ("AT('c', 'abc')", ("N", 3)),
    ]

    def test_str_round_val_and_text_limits(self):
        for text, expected in self.CASES:
            self.assertEqual(value(text), expected, text)

    def test_case_of_windows_1252_letters(self):
        self.assertEqual(value("UPPER('àÿšœß')"), ("C", "ÀŸŠŒß".encode("cp1252")))
        self.assertEqual(value("LOWER('ÀŸŠŒ')"), ("C", "àÿšœ".encode("cp1252")))

    def test_soundex(self):
        for text, code in (("ROBERT", b"R163"), ("ASHCRAFT", b"A226"), ("SMITH", b"S530"),
                           ("1ABC", b"1120"), ("", b"0000"), ("müller", b"M460")):
            self.assertEqual(value("SOUNDEX('%s')" % text), ("C", code), text)

    def test_logicals_read_from_fields(self):
        for raw, expected in ((b"?", False), (b" ", False), (b"t", True), (b"Y", True),
                              (b"N", False)):
            self.assertEqual(value("OK", record(ok=raw)), ("L", expected))
        self.assertEqual(value("QTY", record(qty=b"      ")), ("N", 0))


class Harness(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory(prefix="expr_oracle_test_")
        self.addCleanup(self.folder.cleanup)

    def driver(self, name, filter_command):
        path = os.path.join(self.folder.name, name)
        with open(path, "w") as script:
            script.write("#!/bin/sh\n/usr/bin/python3 %s --emulate \"$1\" \"$2\" | %s\n" % (
                os.path.join(HERE, "expr_oracle.py"), filter_command))
        os.chmod(path, stat.S_IRWXU)
        return path

    def compare(self, driver):
        workdir = os.path.join(self.folder.name, "work_" + os.path.basename(driver))
        os.mkdir(workdir)
        return subprocess.run([sys.executable, os.path.join(HERE, "expr_oracle.py"), driver,
                               workdir], stdout=subprocess.PIPE, check=False)

    def test_generated_table(self):
        path = os.path.join(self.folder.name, "T.DBF")
        expr_table.write_table(path)
        fields, records = oracle.read_table(path)
        self.assertEqual(len(records), 500)
        self.assertTrue(any(r.deleted for r in records))
        self.assertEqual(fields["TEMP"][0], "N")
        values = lambda name: [r.values[name] for r in records]
        self.assertTrue(any(v < 0 for v in values("PRICE")))
        self.assertTrue(any(v == 0 for v in values("BORN")))
        for year in (1900, 1940, 2000):
            self.assertTrue(any(oracle.julian_date(v) and oracle.julian_date(v).year == year
                                for v in values("BORN")), year)
        self.assertTrue(any(max(v) >= 0x80 for v in values("NAME") if v))

    def test_agreeing_driver_passes(self):
        run = self.compare(self.driver("same", "cat"))
        self.assertEqual(run.returncode, 0, run.stdout.decode("cp1252"))

    def test_each_kind_of_difference_fails(self):
        lines = oracle.read_cases(os.path.join(HERE, "expr_cases.txt"))
        first = {kind: lines.index(text.encode()) + 1 for kind, text in
                 (("C", "NAME"), ("N", "PRICE"), ("D", "BORN"), ("L", "OK"))}
        changes = {"C": r"s/$/x/", "N": r"s/$/1/", "D": r"s/D .*/D 1/",
                   "L": r"s/L T/L X/;s/L F/L T/"}
        for kind, line in first.items():
            driver = self.driver("differs_" + kind, "sed '%d{%s}'" % (line, changes[kind]))
            run = self.compare(driver)
            self.assertEqual(run.returncode, 1, kind)
            self.assertIn(b"1 expressions differ", run.stdout, kind)

    def test_numbers_agree_to_fifteen_digits(self):
        self.assertTrue(oracle.numbers_agree(0.1 + 0.2, 0.3))
        self.assertTrue(oracle.numbers_agree(-0.0, 0.0))
        self.assertFalse(oracle.numbers_agree(1.0, 1.00000000000001))
        self.assertFalse(oracle.numbers_agree(1e250, float("inf")))


if __name__ == "__main__":
    unittest.main()
