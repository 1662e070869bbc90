#!/usr/bin/env python3
"""The results report of the golden connection (the standard's worked example, k6, no bores),
built from the report's tables with the oracle's values, and a check of the tab-separated
reports cell by cell.

Usage:
  p3greport.py generate FOLDER   writes p3g60_en.tsv, p3g60_de.tsv and p3g60_en.txt
  p3greport.py check FOLDER      reads the two .tsv files with the csv module: every row has none, one,
                                 three, four or five cells, every number cell equals the oracle's
                                 value in the row's format, and the files equal what generate
                                 writes (exit code 0 when all agree)

Shares no code with the program: the number formats, the engines' layouts and the labels are
written here from their descriptions.
"""
import csv
import io
import os
import sys
from decimal import Decimal, ROUND_HALF_UP, ROUND_HALF_EVEN

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import p3goracle  # noqa: E402
from mpmath import mp  # noqa: E402

# ---------------------------------------------------------------- the connection
CONNECTION = {
    "d1": 60.0, "e1": 2.25, "d2": 64.5, "d3": 55.5, "d4": 60.0, "d5": 64.5,
    "l": 60.0, "l1": 60.0, "l2": 60.0, "dB1": 0.0, "dB2": 0.0,
    "T": 1000.0, "Mb": 0.0, "KA": 1.0, "fW": 1.0, "case": 1,
    "Re": [300, 300], "fS": [1.2, 1.2], "fH": [1.0, 1.0],
}
# Inputs the calculation takes as they are.
DIMENSIONS = {"d6": "55.5", "d6pre": "55", "d7": "18", "e2": "2.25", "r1": "44.63",
              "r2": "15.37"}
MESSAGE = ("Warning: dB2 = 0 !",
           "The hub has no outer diameter, so its wall thickness is not checked.",
           "Enter the outer diameter of the hub.")
FOLDER = "/tmp/kv6dialogXXXXXX"
DATE, TIME = "2024-03-05", "9:07"


def values():
    out = p3goracle.calculate(p3goracle.exact(CONNECTION))
    v = {k: Decimal(mp.nstr(x, 30, strip_zeros=False)) for k, x in out.items()}
    for k, x in CONNECTION.items():
        if isinstance(x, list):
            v[k + "1"], v[k + "2"] = Decimal(repr(x[0])), Decimal(repr(x[1]))
        else:
            v[k] = Decimal(repr(x))
    for k, x in DIMENSIONS.items():
        v[k] = Decimal(x)
    return v


# ---------------------------------------------------------------- number texts (FloatDigits 3)
def exponent(x):
    return 0 if x == 0 else abs(x).adjusted()


def number_digits(x, p):
    x = Decimal("0.5") if x == 0 else abs(x)
    e = exponent(x)
    if e >= p:
        return e + 1, 0
    i, d = (0, p - e - 1) if e < 0 else (e + 1, p - e)
    n = int((x * Decimal(10) ** (d + 1)).to_integral_value(ROUND_HALF_EVEN))
    n //= 10
    while n % 10 == 0 and d >= 0 and n != 0:
        d -= 1
        n //= 10
    return i, max(d, 0)


def fixed(i, d, x, sep):
    if abs(x) < Decimal("1e-15"):
        x = Decimal(0)
    if x != 0:
        quantum = max(exponent(x) - (i + d) + 1, -d)
        x = x.quantize(Decimal(10) ** quantum, ROUND_HALF_UP)
    text = f"{abs(x):.{d}f}"
    if len(text.split(".")[0]) > i + d:
        raise ValueError("scientific form not needed here")
    text = ("-" if x < 0 else "") + text.replace(".", sep)
    return text.rjust(i + d + 1 if d > 0 else i)


def real(x, sep):
    if abs(x) < Decimal("1e-5"):
        return "0"
    return fixed(*number_digits(x, 3), x, sep)


def width(w, x, sep):
    if abs(x) < Decimal("1e-6"):
        return "0".rjust(w)
    d = number_digits(x, 3)[1]
    return fixed(w - d - 1 if d > 0 else w - d, d, x, sep)


def auto(x, sep):
    if abs(x) < Decimal("1e-12"):
        x = Decimal(0)
    if x == 0 or Decimal("1e-4") <= abs(x) < 10000:
        return real(x, sep)
    e = exponent(x)
    if -2 <= e < 4:
        return real(x, sep)
    q = int(e / 3)
    return real(x / Decimal(10) ** (3 * q), sep) + "E" + str(3 * q)


# Number formats by name: the check reads a cell back through the same name.
def fmt(kind, x, sep):
    if kind == "real":
        return real(x, sep)
    if kind == "auto":
        return auto(x, sep)
    if kind.startswith("width"):
        return width(int(kind[5:]), x, sep)
    i, d = kind.split(",")
    return fixed(int(i), int(d), x, sep)


# ---------------------------------------------------------------- labels
EN, DE = 0, 1
CALC = {1: ("shaft-hub joint not displaceable", "Welle-Nabeverbindung nicht verschiebbar"),
        7: ("profile", "Profil"),
        8: ("spherical diameter", "Gleichdickdurchmesser"),
        9: ("outer circle diameter", "Au\u00dfenkreisdurchmesser"),
        10: ("inner circle diameter", "Innenkreisdurchmesser"),
        11: ("eccentricity", "Exzentergr\u00f6\u00dfe"),
        12: ("drill diameter", "Vorbohrung"),
        13: ("grinding disk diameter", "Schleifscheibendurchmesser"),
        14: ("section modulus, polar", "polares Widerstandsmoment"),
        15: ("section modulus, equitorial", "\u00e4quatoriales Widerstandsmoment"),
        17: ("moment of inertia, polar", "polares Tr\u00e4gheitsmoment"),
        18: ("section area", "Querschnitt"),
        31: ("profile length", "Nabenl\u00e4nge"),
        42: ("radius", "Radius"),
        52: ("polygon profile", "Polygonprofil")}
VOC = {"application factor": "Anwendungsfaktor", "Outer diameter": "Au\u00dfendurchmesser",
       "bending moment": "Biegemoment", "bending stress": "Biegespannung", "Borehole": "Bohrung",
       "torque": "Drehmoment", "unit": "Einheit", "Pulsat.load": "eins.Last",
       "number of teeth": "Z\u00e4hnezahl", "tooth height": "Zahnh\u00f6he",
       "pressure": "Fl\u00e4chenpressung", "Hardness factor": "H\u00e4rteeinflu\u00dffaktor",
       "length": "L\u00e4nge", "load factor": "Lastfaktor",
       "alternating load factor": "Lastwechselfaktor", "hub": "Nabe", "acc.to": "nach",
       "shearing stress": "Schubspannung", "pulsating": "schwellend", "Safety": "Sicherheit",
       "Yield Point": "Streckgrenze", "support factor": "St\u00fctzfaktor",
       "Reference stress": "Vergleichsspannung", "alternating": "wechselnd",
       "Alternat.load": "wechselnde Last", "shaft": "Welle", "Material name": "Werkstoffname",
       "sign": "Zeichen", "adm": "zul", "Perm. torque": "Zul.Drehmoment",
       "Perm. pressure": "Zul.Fl\u00e4chenpressung",
       "Permissible pressure": "Zul\u00e4ssige Fl\u00e4chenpressung",
       "DIMENSIONS": "ABMESSUNGEN", "STRENGTH": "FESTIGKEIT", "HUB": "NABE", "ACC.": "NACH",
       "SHAFT": "WELLE", "MATERIAL": "WERKSTOFF", "wall thickness": "Wanddicke",
       "tension": "Zugspannung"}


# ---------------------------------------------------------------- the report's content
def content(language, sep):
    """The report as a list of ("line", text), ("row", cells, formats), ("break",),
    ("needed",) and ("messages",); formats name each number cell's format, None elsewhere."""
    c = lambda n: CALC[n][language]  # noqa: E731
    w = lambda word: word if language == EN else VOC[word]  # noqa: E731
    v = values()
    adm = w("adm")
    items = []
    line = lambda text: items.append(("line", text))  # noqa: E731

    def row(label, symbol, unit, *cells):
        texts, kinds = [label, symbol, unit], [None, None, None]
        for cell in cells:
            if isinstance(cell, tuple):
                kind, name = cell[0], cell[1]
                texts.append(fmt(kind, v[name], sep) + (cell[2] if len(cell) > 2 else ""))
                kinds.append((kind, name))
            else:
                texts.append(cell)
                kinds.append(None)
        items.append(("row", texts, kinds))

    mm, mpa, nm = "mm", "MPa", "Nm"
    area, volume, inertia = "mm\u00b2", "mm\u00b3", "mm4"
    line("")
    line(c(7) + " DIN 32711 - P3G 60 H7/k6")
    line("-" * 70)
    line("")
    line(w("DIMENSIONS"))
    line("-" * 70)
    row(c(8), "d1/d4", mm, ("real", "d1"), ("real", "d4"))
    row("ISO Tol. " + c(8), "d1/d4", "", "k6", "H7")
    row(c(8) + " min.", "d1/d4min", mm, ("2,3", "d1min"), ("2,3", "d4min"))
    row(c(8) + " max.", "d1/d4max", mm, ("2,3", "d1max"), ("2,3", "d4max"))
    row(c(9), "d2/d5", mm, ("real", "d2"), ("real", "d5"))
    row(c(10), "d3/d6", mm, ("real", "d3"), ("real", "d6"))
    row(c(11), "e1/e2", mm, ("real", "e1"), ("real", "e2"))
    row(w("Borehole") + "/" + w("Outer diameter"), "dB", mm, ("real", "dB1"), ("real", "dB2"))
    row(c(12) + " d6", "d6pre", mm, "", ("real", "d6pre"))
    row(c(13), "d7", mm, "", ("real", "d7"))
    row(c(42), "r1 P3G", mm, ("real", "r1"))
    row(c(42), "r2 P3G", mm, ("real", "r2"))
    row(c(31), "l", mm, ("real", "l"))
    row(w("length"), "l", mm, ("real", "l1"), ("real", "l2"))
    row(w("number of teeth"), "n", "", "3", "-3")
    row(w("tooth height") + " min", "h min", mm, ("2,3", "hmin"))
    row(c(18), "A  P3G", area, ("real", "A"))
    row(c(14), "Wp P3G", volume, ("auto", "Wp"))
    row(c(14), "Wpd1P3G", volume, ("auto", "Wpd1"))
    row(c(17), "Ip P3G", inertia, ("real", "Ip"))
    row(c(15), "Wx P3G", volume, ("auto", "Wx"))
    items.append(("break",))
    line("")
    line(w("MATERIAL") + " " + w("SHAFT") + "/" + w("HUB"))
    line("=" * 70)
    line(w("Material name") + " 1/2:         " + " " * 20 + " / " + " " * 20)
    line("-" * 70)
    row(w("Yield Point"), "Re", mpa, ("6,0", "Re1"), ("6,0", "Re2"))
    row(w("support factor"), "fS", "", ("3,2", "fS1"), ("3,2", "fS2"))
    row(w("Hardness factor"), "fH", "", ("3,2", "fH1"), ("3,2", "fH2"))
    row(w("Permissible pressure"), "p" + adm, mpa, ("6,0", "Pzul1"), ("6,0", "Pzul2"))
    line("")
    line(w("STRENGTH") + " " + w("ACC.") + " DIN 3892/32711")
    line("-" * 70)
    row(w("torque"), "T", nm, ("width7", "T"))
    row(w("bending moment"), "Mb", nm, ("width7", "Mb"))
    row(w("application factor"), "KA", "", ("4,2", "KA"))
    row(w("alternating load factor"), "fW", "", ("4,2", "fW"))
    line(c(1) + "  (f app = " + fmt("1,1", v["fapp"], sep) + ")")
    line("-" * 70)
    row(adm + " " + w("tension"), "Sig." + adm, mpa, ("6,0", "fWRe1"), ("6,0", "fWRe2"))
    row(w("Perm. pressure"), "pa " + adm, mpa, ("6,0", "pa1"), ("6,0", "pa2"))
    row(w("pressure"), "p max", mpa, ("6,0", "p"))
    row("(p = F/A = T/(rm*h*L*n)", "p max", mpa, ("6,0", "pFA", ")"))
    row(w("shearing stress"), "tau max", mpa, ("6,0", "tau1"), ("6,0", "tau2"))
    row(w("bending stress"), "sig.bmax", mpa, ("6,0", "sigmab1"), ("6,0", "sigmab2"))
    row(w("Reference stress"), "sig.vmax", mpa, ("6,0", "sigmav1"), ("6,0", "sigmav2"))
    row(c(14), "Wt", volume, ("auto", "Wt1"), ("auto", "Wt2"))
    row(c(15), "Wb", volume, ("auto", "Wb1"), ("auto", "Wb2"))
    row("Min." + w("wall thickness"), "s min", mm, "", ("5,1", "smin2"))
    row(w("wall thickness"), "s", mm, "", ("5,1", "s2"))
    row(w("Safety") + " " + w("pressure"), "Sp=pa" + adm + "/pmax", "", ("4,2", "Sp1"),
        ("4,2", "Sp2"))
    row(w("Safety") + " " + w("Yield Point"), "Se=fW*Re/Sig.v", "", ("4,2", "Se1"),
        ("4,2", "Se2"))
    row(w("Safety") + " " + w("wall thickness"), "Sw=swall/smin", "", "", ("4,2", "sRatio2"))
    line("")
    items.append(("needed",))
    line(w("STRENGTH") + " " + w("ACC.") + " ROLOFF/MATEK")
    line("-" * 70)
    line(c(1))
    line("-" * 70)
    row(w("application factor"), "KA", "", ("4,2", "KA"))
    row(w("load factor") + " (" + w("Pulsat.load") + ")", "nue Fs", "", ("4,2", "nueFs"))
    row(w("load factor") + " (" + w("Alternat.load") + ")", "nue Fw", "", ("4,2", "nueFw"))
    row(w("Perm. pressure") + "(" + w("Pulsat.load") + ")", "pFs " + adm, mpa,
        ("5,1", "pFs1"), ("5,1", "pFs2"))
    row(w("Perm. pressure") + "(" + w("alternating") + ")", "pFw " + adm, mpa,
        ("5,1", "pFw1"), ("5,1", "pFw2"))
    row(w("Perm. torque") + " (" + w("pulsating") + ")", "Ts " + adm, nm, ("7,0", "Ts"))
    row(w("Perm. torque") + " (" + w("alternating") + ")", "Tw " + adm, nm, ("7,0", "Tw"))
    items.append(("needed",))
    items.append(("messages",))
    for item in items:
        if item[0] == "row":
            item[1][0] = capitalised(item[1][0])
    return items


def capitalised(text):
    return text[:1].upper() + text[1:] if text[:1].isascii() else text


# ---------------------------------------------------------------- tab-separated layout
def tsv(items):
    out = [f"KV6 Test V6.0\t{DATE}\t{TIME}", FOLDER + "/temp/$$$1.txt",
           "Pr\u00fcfstand 3", "P3G 60", "", " "]
    for item in items:
        if item[0] == "line" and item[1] not in ("-" * 70, "=" * 70):
            out.append(item[1])
        elif item[0] == "row":
            out.append("\t".join(item[1]))
        elif item[0] == "messages":
            out += ["", "", "REMARKS, WARNINGS AND ERROR MESSAGES", "\t".join(MESSAGE)]
    return out


# ---------------------------------------------------------------- paged layout, style 1
LINES_PER_PAGE = 66


def laid(pieces, size=70):
    text = [" "] * size
    for column, piece in pieces:
        start = column - 1
        if start + len(piece) <= size:
            text[start:start + len(piece)] = piece
    return "".join(text)


# The record's default drawing names and numbers.
def numbered(text, number):
    return laid([(1, text), (40, "No.: " + number)], 64)


class Paged:
    def __init__(self):
        self.out, self.count, self.page = [], 0, 0

    def line(self, text):
        self.count += 1
        if self.count >= LINES_PER_PAGE:
            self.count = 0
            self.header()
            self.line("")
        self.out.append("       " + text)

    def header(self):
        self.count = 0
        self.page += 1
        title = "KV6 V6.0  polygon profile P3G acc.to DIN 32711"
        for text in ["*" * 70,
                     laid([(1, "*"), (4, title), (64, f"pg.{self.page:2d}"), (70, "*")]),
                     laid([(1, "*"), (53, DATE), (64, TIME), (70, "*")]),
                     laid([(1, "*"), (4, FOLDER + "/data/p3g60.KV6"), (70, "*")]),
                     "*" * 70, laid([(1, "*"), (4, numbered("shaft", "1")), (70, "*")]),
                     laid([(1, "*"), (4, numbered("hub", "2")), (70, "*")]),
                     laid([(1, "*"), (4, "Pr\u00fcfstand 3"), (70, "*")]),
                     laid([(1, "*"), (4, "P3G 60"), (70, "*")]), "*" * 70,
                     laid([(1, "*"), (35, "sign"), (44, "unit"), (51, "  shaft"), (62, "hub"),
                           (70, "*")]),
                     "*" * 70, ""]:
            self.line(text)

    def row(self, cells):
        if len(cells) == 5:
            text = laid([(1, cells[0]), (35, cells[1]), (44, cells[2]), (51, cells[3]),
                         (62, cells[4])], 71)
        else:
            last = cells[3].strip() if len(cells[3]) > 14 else cells[3]
            text = laid([(1, cells[0]), (35, cells[1]), (44, cells[2]),
                         (70 - len(last) if len(last) > 14 else 56, last)])
        self.line(text)
        self.line("-" * 70)

    def needed(self):
        if self.count > max(LINES_PER_PAGE - 10, 10):
            self.count = 0
            self.header()


def paged(items):
    page = Paged()
    page.header()
    for item in items:
        if item[0] == "line":
            page.line(item[1])
        elif item[0] == "row":
            page.row(item[1])
        elif item[0] == "break":
            page.count = 0
            page.header()
        elif item[0] == "needed":
            page.needed()
        elif item[0] == "messages":
            page.out += ["", ""]
            for text in ["REMARKS, WARNINGS AND ERROR MESSAGES", "=" * 70]:
                page.line(text)
            page.out.append("")
            page.line("-" * 70)
            for text in MESSAGE:
                page.line(text)
            page.line("-" * 70)
    return page.out


# ---------------------------------------------------------------- files
def encoded(lines):
    return "".join(text + "\r\n" for text in lines).encode("cp850")


def reports():
    return {"p3g60_en.tsv": encoded(tsv(content(EN, "."))),
            "p3g60_de.tsv": encoded(tsv(content(DE, ","))),
            "p3g60_en.txt": encoded(paged(content(EN, ".")))}


def generate(folder):
    for name, data in reports().items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


def check(folder):
    failures = 0
    for name, language, sep in (("p3g60_en.tsv", EN, "."), ("p3g60_de.tsv", DE, ",")):
        with open(os.path.join(folder, name), "rb") as f:
            data = f.read()
        if data != reports()[name]:
            print(f"{name}: differs from the report built from the tables")
            failures += 1
        rows = list(csv.reader(io.StringIO(data.decode("cp850"), newline=""),
                               delimiter="\t", quoting=csv.QUOTE_NONE))
        expected = {tuple(item[1][:2]): item for item in content(language, sep)
                    if item[0] == "row"}
        v = values()
        numbers = 0
        for number, cells in enumerate(rows, 1):
            if len(cells) not in (0, 1, 3, 4, 5):
                print(f"{name} row {number}: {len(cells)} cells")
                failures += 1
            item = expected.get(tuple(cells[:2])) if len(cells) >= 4 else None
            if len(cells) >= 4 and item is None:
                print(f"{name} row {number}: no such row in the tables: {cells}")
                failures += 1
                continue
            for cell, kind in zip(cells, item[2] if item else []):
                if kind is None:
                    continue
                numbers += 1
                want = fmt(kind[0], v[kind[1]], sep)
                if cell.rstrip(")") != want:
                    print(f"{name} row {number}: {kind[1]} is {cell!r}, oracle {want!r}")
                    failures += 1
        print(f"{name}: {len(rows)} rows, {numbers} number cells checked")
    print(f"{failures} disagreements")
    return 0 if failures == 0 else 1


if __name__ == "__main__":
    if len(sys.argv) != 3 or sys.argv[1] not in ("generate", "check"):
        print(__doc__)
        sys.exit(2)
    if sys.argv[1] == "generate":
        generate(sys.argv[2])
        sys.exit(0)
    sys.exit(check(sys.argv[2]))
