#!/usr/bin/env python3
"""Writes the shipped help texts (brelcor.hlp, kv6.hlp) and the message help
file (kv6.err) into data/, in CP850 with CR LF line ends.

Run from anywhere: python3 data/src/makedata.py
The generated files are committed; this script only keeps the repeated
records (tolerance messages, material types) consistent.
"""
import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.dirname(HERE)

# ---------------------------------------------------------------- help texts
# number -> (image or None, [line 1 .. line 5])
COMMON = {
    1000: (None, ["Load input: torque T and bending moment Mb of the connection,",
                  "the application factor KA and the alternating load factor fW,",
                  "and the load case (hub fixed or displaceable under load).",
                  "Calc recalculates, OK stores the values and recalculates."]),
    1030: (None, ["Printing the drawing: choose a stored print setup (printer,",
                  "paper, scale and pen widths) or the current printer.",
                  "OK prints the drawing shown in the main window."]),
    1040: (None, ["Print setups: choose a stored print setup from the table.",
                  "Enter accepts the highlighted row, Esc keeps the setup in use."]),
    1050: (None, ["Output device of the report: screen viewer, text printer,",
                  "file, Windows printer, word processor, tab separated text",
                  "or HTML page."]),
    1060: (None, ["Single page printing: Yes stops after each page so that the",
                  "next sheet can be inserted by hand."]),
    1070: (None, ["Output file: enter or choose the name of the file that",
                  "receives the report. An existing file is overwritten",
                  "only after confirmation."]),
    1120: (None, ["User ID: the name of your data folder below the default data",
                  "directory. Use a plain folder name without path characters.",
                  "Cancel ends the program."]),
    1210: (None, ["Messages of the calculation: select a message to see its",
                  "origin and remedy, or choose Continue... to go on.",
                  "Fatal messages stop the calculation, errors mark violated",
                  "limits, warnings mark questionable values."]),
    1300: (None, ["Arcs of polylines are written as chords (line segments)",
                  "when this box is checked."]),
    1305: (None, ["Chord precision in mm used when arcs are written as lines.",
                  "Smaller values give more segments."]),
    1310: (None, ["STL file type: binary files are small, ASCII files can be",
                  "read in a text editor."]),
    1315: (None, ["Z slice: height step in mm of the STL solids."]),
    1500: (None, ["Ask for the user ID at program start and use a data folder",
                  "of its own for each user."]),
    1555: (None, ["Colours: the 16 colours of the drawing window. Click a",
                  "colour field to change it; the numbers are used by",
                  "drawings and layers."]),
    1570: (None, ["CAD directory: folder that receives DXF, IGES, STL and STEP",
                  "files."]),
    1575: (None, ["Copy the DBF tables to the temporary directory and use the",
                  "copies (for read-only table folders)."]),
    1580: (None, ["Help level: 0 no hints, 1 hints, 2 hints with help numbers",
                  "and the first message preselected after a calculation."]),
    1585: (None, ["Monochrome layers: all CAD layers are drawn in colour 1."]),
    1590: (None, ["PLT directory: folder of the help files, help images,",
                  "auxiliary images and the start image start.plt."]),
    1595: (None, ["EDI directory: folder for exchange files."]),
    1600: (None, ["DBF directory: folder of the material, profile and print",
                  "setup tables."]),
    1605: (None, ["Working directory: the folder in which the program was",
                  "started. It holds the configuration file; it is shown only."]),
    1610: (None, ["Temporary directory: folder for report, block and table",
                  "work files. It must be writable."]),
    1615: (None, ["Default data directory: folder of the calculation files,",
                  "or the base of the per-user data folders."]),
    1670: (None, ["Screen graphics: choose how drawings are shown in the",
                  "main window."]),
    1710: (None, ["Resolution: width and height of the drawing area in",
                  "pixels."]),
    1715: (None, ["3D drawings are written as 2D views in DXF and IGES when",
                  "this box is checked."]),
    1720: (None, ["CAD font: name of the text font written to CAD files,",
                  "for example TXT8."]),
    1725: (None, ["Dialog size: scale in percent of the dialog windows and of",
                  "their elements (30 to 300)."]),
    1730: (None, ["Text factors: width and height factors of texts in the",
                  "drawing window and in CAD files."]),
    1735: (None, ["Open a CAD file with its default program after it has been",
                  "written."]),
    1740: (None, ["CAD text angle: slant of CAD texts in degrees."]),
    1750: (None, ["Digits for floating point numbers: decimals of reports and",
                  "dialogs; 3 is the standard."]),
    1755: (None, ["Decimal sign of the text export: dot or comma."]),
    1800: (None, ["Zoom factor: enlargement of one zoom step with the keys or",
                  "the mouse wheel."]),
    1810: (None, ["Pan factor: share of the window moved by one pan step."]),
    1815: (None, ["Zoom with the mouse wheel when this box is checked."]),
    1830: (None, ["Program directory: folder of the program file; shown only."]),
    1910: (None, ["Layers: name, colour and line width of the CAD layers 0 to",
                  "5. Layer 0 holds the contour, 1 to 3 dimensions and",
                  "texts, 4 the centre lines, 5 the frame."]),
    1920: (None, ["CAD settings: font, text factor and angle, decimals and",
                  "scale of DXF output, arcs as lines, STL type and slice,",
                  "3D views and opening the file after export."]),
    1930: (None, ["Printout: lines per page, header lines, printout style and",
                  "the device that receives reports."]),
    1935: (None, ["Printer: interface and type of the text printer, printing",
                  "density and the Windows print mode (mono or colour)."]),
    1940: (None, ["Graphics: size of the drawing window, background colour,",
                  "zoom and pan factors and the colour palette."]),
    1960: (None, ["Enter diagram limits before a diagram is drawn."]),
    1970: (None, ["Message help: origin explains why the message was issued,",
                  "remedy tells which input to change. Both texts can be",
                  "edited; OK asks whether to save them to the message help",
                  "file."]),
    1980: (None, ["DXF decimals: number of decimals of coordinates in DXF and",
                  "text list files (3 to 16)."]),
    1990: (None, ["DXF scale: factor applied to all coordinates of DXF and text",
                  "list output; 1.0 writes millimetres."]),
    2050: (None, ["CAD output: choose the target (DXF, IGES, screen, plot",
                  "program, text list, STL or STEP) or the drawing to output."]),
    2055: (None, ["Plot program command line: choose one of the stored command",
                  "lines of the external plot program."]),
    2060: (None, ["Edit the plot program command line. An empty line or a line",
                  "beginning with 0 starts the step by step command builder."]),
    2080: (None, ["Program directory of the plot program. The program file",
                  "must exist in this folder."]),
    2090: (None, ["Destination code: the plotter language that the plot",
                  "program writes (HP-GL, HP-GL/2, PostScript and others)."]),
    2110: (None, ["Output interface of the plot program: serial port, parallel",
                  "port or file."]),
    2120: (None, ["Port number of the serial or parallel interface (1 to 4)."]),
    2130: (None, ["Destination file name or output directory of the plot",
                  "program."]),
    2140: (None, ["Plot scale; 0 fits the drawing to the limits of the sheet."]),
    2145: (None, ["Rotate the plot by 90 degrees."]),
    2150: (None, ["Reference point shifting in x and y direction, in mm."]),
    2160: (None, ["Text width to height ratio of plotted texts (0.1 to 10)."]),
    2170: (None, ["Batch file name: a command line longer than 60 characters",
                  "is written to a batch file of this name."]),
    2280: (None, ["PostScript font used by the plot program for texts."]),
    2300: (None, ["Auxiliary images: HP-GL drawings with a short description.",
                  "Choose a line or use the arrows to show an image in the",
                  "main window. New, Insert, Modify and Delete maintain the",
                  "list; OK closes it."]),
    2310: (None, ["New auxiliary image: enter a description of up to 50",
                  "characters for the chosen HP-GL file."]),
    2320: (None, ["Delete: the chosen line is removed from the list; the",
                  "image file itself is kept."]),
    2330: (None, ["Description of the auxiliary image, up to 50 characters."]),
    2340: (None, ["Name of the HP-GL file of the image, without folder and",
                  "without the extension .plt."]),
    2350: (None, ["Insert: the new line is placed before the chosen line."]),
    2450: (None, ["Search: type the text to look for in the current column;",
                  "Search Next continues after the found row."]),
    2500: (None, ["External text program used to show text files."]),
    2530: (None, ["Archive mode: files are opened without the data directory",
                  "and saved only when the archive flag allows it."]),
    2535: (None, ["Show the name of the current file in the window title."]),
    2540: (None, ["Sheet border of the ISO 7200 drawing frame: 5 or 10 mm."]),
    2545: (None, ["Hide warnings in drawings and reports."]),
    2550: (None, ["Manual directory: folder of the electronic manual."]),
    2710: (None, ["Program used to open the linked document; empty uses the",
                  "default program of the desktop."]),
    2720: (None, ["Linked document: file name with folder."]),
    2730: (None, ["Document links: up to ten documents with the program that",
                  "opens them. OK stores the links with the calculation."]),
    2820: (None, ["Result graphics: choose the view drawn after a",
                  "calculation."]),
    2900: (None, ["Height of the STL solid in mm; 0 keeps the length of the",
                  "part."]),
    3000: (None, ["Table of calculation files: every file of the data",
                  "directory with its key values. Choose a row to load",
                  "the file; the columns can be sorted."]),
    3010: (None, ["Change entry: date, name, index and text of one change of",
                  "the drawing. OK stores it in the change protocol."]),
    3020: (None, ["Drawing texts: choose which texts fill the title block of",
                  "the drawing."]),
    3055: (None, ["The file already exists. Yes overwrites it when the new",
                  "content is written; No or Cancel keeps the existing file."]),
    3210: (None, ["Database: tables are shown in a grid; move with the arrow",
                  "keys, Enter chooses a row, Esc leaves the table. Search",
                  "finds a text in the current column."]),
    3400: (None, ["Table of calculation files: Enter or a double click loads",
                  "the file of the row, Esc closes the table."]),
}

PROGRAM = {
    5005: ("p3gdims", ["Dimensions of the P3G connection to DIN 32711: profile",
                       "diameter d1 and eccentricity e1, lengths l, l1, l2 of",
                       "the joint, shaft and hub, outer hub diameter dB2 and",
                       "bores. The arrows propose values from d1."]),
    5040: ("material", ["Materials of shaft and hub: yield point Re, support",
                        "factor fS and hardness factor fH. The allowable",
                        "pressure is Re x fH x fS. DIN 32711 picks a material",
                        "from the table."]),
    5100: (None, ["Torque T transmitted by the connection, in Nm (lbfin in",
                  "imperial units)."]),
    5145: ("bores", ["Bores: inner bore dB1 of a hollow shaft and outer",
                     "diameter dB2 of the hub. A bore reduces the section",
                     "moduli of the part."]),
    5150: (None, ["Bending moment Mb acting on the connection, in Nm."]),
    5160: ("fwcoeff", ["Alternating load factor fW: 1.0 for a static load,",
                       "smaller values for pulsating and alternating torque."]),
    5300: (None, ["Material name of the part, as in the material table."]),
    5310: (None, ["Yield point Re of the material, in N/mm2."]),
    5340: (None, ["Material number of the part, for example 1.0503."]),
    5400: (None, ["Support factor fS of the material (1.0 to 1.5)."]),
    5410: (None, ["Hardness factor fH: 1.0 for soft, above 1.0 for hardened",
                  "surfaces."]),
    5420: ("kacoeff", ["Application factor KA: 1.0 for uniform operation, up",
                       "to 2.25 for heavy shocks of driving and driven machine."]),
    5430: (None, ["Application: hub fixed on the shaft, or hub displaceable",
                  "without or under load. A displaceable hub lowers the",
                  "allowable pressure."]),
    5500: (None, ["Drawing settings: profile diameter of the drawing,",
                  "resolution of the contour and the CAD element (polyline",
                  "or lines) of DXF and STL output."]),
    8260: (None, ["CAD output: the drawing is written to the chosen CAD file",
                  "in the CAD directory."]),
    9500: (None, ["Material database: choose the material of the part with",
                  "Enter; Esc keeps the current material."]),
    9510: (None, ["P3G profiles to DIN 32711: choose a profile size with",
                  "Enter; d1, e1, d2 and d3 are taken over."]),
    9520: (None, ["Material types with the factors fH and fS of shaft and",
                  "hub."]),
}

LAST = (9995, ["End of the help texts."])


def help_lines(entries):
    out = []
    for number in sorted(entries):
        image, lines = entries[number]
        assert number % 5 == 0 and 1 <= len(lines) <= 5, number
        out.append("%4d" % number + (":" + image if image else ""))
        out.append(lines[0])
        for line in lines[1:]:
            head = line[:4].strip()
            assert not (head.isdigit() and len(line) >= 4), line
            out.append(line)
    out.append("%4d" % LAST[0])
    out.append(LAST[1][0])
    out.append("")
    return out


# ------------------------------------------------------------ message help
def calc_records():
    return [
        ("Fatal  : d1 = 0 !",
         "The profile diameter d1 is 0, so no section property of the profile can be calculated.",
         "Enter the profile diameter d1 in the dimensions form or pick a profile from the DIN 32711 table."),
        ("Fatal  : l = 0 !",
         "The joint length l is 0, so the surface pressure cannot be calculated.",
         "Enter the joint length l (the length of engagement of shaft and hub) in the dimensions form."),
        ("Error  : e1 = 0 !",
         "The eccentricity e1 is 0: the profile is a circle and cannot transmit torque by its form.",
         "Enter the eccentricity e1 of the P3G profile or let the dimensions form propose it from d1."),
        ("Error  : leff > l1 !",
         "The joint length l is longer than the length of the shaft profile l1 or of the hub l2.",
         "Shorten the joint length l or lengthen the profile of shaft and hub to at least l."),
        ("Error  : e > e lim !",
         "The eccentricity e1 is larger than d1/16, the limit of the P3G profile to DIN 32711.",
         "Reduce the eccentricity e1 to d1/16 or less, or choose a larger profile diameter d1."),
        ("Error  : Sp < 1 (",
         "The surface pressure of the profile is higher than the allowable pressure of the part named.",
         "Lengthen the joint, choose a larger profile, a stronger material or a lower torque or KA."),
        ("Error  : Se < 1 (",
         "The equivalent stress of torsion and bending exceeds the yield point times the load factor fW.",
         "Choose a larger profile or a stronger material, or reduce torque, bending moment or KA."),
        ("Warning: dB2 = 0 !",
         "No outer hub diameter dB2 is given, so the wall thickness of the hub is not checked.",
         "Enter the outer diameter dB2 of the hub in the dimensions form."),
        ("Warning: Re = 0 !",
         "The yield point Re of the hub material is 0: its allowable pressure and wall are not checked.",
         "Pick the hub material from the material table or enter its yield point Re."),
        ("Warning: s < smin ! (1)",
         "The wall thickness s of the shaft (1) or of the hub (2) is below the minimum wall thickness smin.",
         "Increase the outer hub diameter, reduce the bore of the shaft or choose a stronger material."),
        ("smin (sqrt)",
         "The minimum wall thickness of the hub has a negative radicand: torque or yield point is negative.",
         "Enter a positive torque T and a positive yield point Re of the hub material."),
        ("s1min (sqrt)",
         "The minimum wall thickness of the shaft has a negative radicand: torque or yield point is negative.",
         "Enter a positive torque T and a positive yield point Re of the shaft material."),
    ]


RANGE_TEXTS = ["a9..a13", "b8..b13", "c8..c12", "d5..d13", "e5..e10", "f3..f10",
               "g3..g10", "cd 5 .. cd 10", "ef 3 .. ef 10", "fg 3 .. fg 10",
               "m3..m9", "n3..n9", "p3..p10", "r3..r10", "s3..s10", "t5..t9",
               "u5..u9", "v5..v8", "x5..x11", "y5..y10", "z6..z11"]


def iso_records():
    rec = [
        ("unknown command character !",
         "A tolerance beginning with < or > steps through the letters; only w (shafts) or B (holes) may follow.",
         "Use <w or >w for shaft letters and <B or >B for hole letters, or type the tolerance, e.g. k6."),
        ("undefined dimension range",
         "ISO 286 defines tolerances for nominal sizes up to 3150 mm only.",
         "Check the diameter: nominal sizes above 3150 mm have no ISO tolerance."),
        ("unknown ISO tolerance",
         "The letters of the tolerance are not a fundamental deviation of ISO 286 (a to zc, A to ZC).",
         "Type a valid tolerance such as k6 for the shaft or H7 for the hub."),
        ("invalid ISO tolerance",
         "The tolerance has no grade: it must be letters followed by the grade number.",
         "Type the letters and the grade of the tolerance, for example k6, js 6 or H7."),
        ("tolerance grade 5 not defined for za",
         "ISO 286 does not define this tolerance grade for the letters named.",
         "Choose a grade that ISO 286 lists for these letters, for example 6 or 7."),
        ("d>500 not defined for a",
         "ISO 286 defines these letters for nominal sizes up to 500 mm only.",
         "Choose another fundamental deviation, such as h or js, for sizes above 500 mm."),
    ]
    for text in RANGE_TEXTS:
        letters = text.split("..")[0].rstrip("0123456789 ")
        rec.append((text,
                    "The grade is outside the range " + text + " that ISO 286 recommends for " + letters + "; the values are computed anyway.",
                    "Check the deviations or choose a grade within " + text + "."))
    for letters in ("cd", "ef", "fg"):
        rec.append((letters + " is defined only from 1 to 10 mm ",
                    "ISO 286 defines the shaft deviation " + letters + " for nominal sizes up to 10 mm only.",
                    "Choose another fundamental deviation for sizes above 10 mm."))
    for letters, low in (("t", 24), ("T", 24)):
        rec.append((letters + " is defined only from > 24 mm ",
                    "ISO 286 defines the deviation " + letters + " only for nominal sizes above 24 mm.",
                    "Use " + ("u" if letters == "t" else "U") + " or another deviation for sizes up to 24 mm."))
    for letters, low in (("v", 14), ("y", 18)):
        rec.append((letters + " is defined only from > %d to 500 mm " % low,
                    "ISO 286 defines the shaft deviation " + letters + " only for nominal sizes above %d mm." % low,
                    "Choose another fundamental deviation, such as x or z, for this size."))
    for grade in range(1, 19):
        for letters in ("CD", "EF", "FG"):
            rec.append(("%s %d is defined only from 1 to 10 mm " % (letters, grade),
                        "ISO 286 defines the hole deviation " + letters + " for nominal sizes up to 10 mm only.",
                        "Choose another fundamental deviation for sizes above 10 mm."))
        for letters, low in (("V", 14), ("Y", 18)):
            rec.append(("%s %d is defined only from > %d mm " % (letters, grade, low),
                        "ISO 286 defines the hole deviation " + letters + " only for nominal sizes above %d mm." % low,
                        "Choose another fundamental deviation, such as X or Z, for this size."))
    return rec


DXF_ENTITIES = ["MTEXT", "SPLINE", "ELLIPSE", "POINT", "HATCH", "DIMENSION",
                "ATTRIB", "3DFACE", "LEADER"]


def other_records():
    rec = [("Fatal  : DIN 6885 database",
            "The table of material types (kv3wstyp) could not be opened.",
            "Check the DBF directory in the settings and that the table file kv3wstyp.dbf is there.")]
    for digit in range(10):
        rec.append(("Material type %d0 not found." % digit,
                    "The material type of the chosen material is missing in the table of material types.",
                    "Add the material type to the material type table or choose another material."))
    for number in range(1, 100):
        rec.append(("Werkstofftyp %02d nicht gefunden." % number,
                    "The material type of the chosen material is missing in the table of material types.",
                    "Add the material type to the material type table or choose another material."))
    for name in DXF_ENTITIES:
        rec.append(("Error  : DXF: " + name,
                    "A block file holds a DXF entity that the drawing replay does not read.",
                    "Export the block with lines, arcs, circles, polylines, texts and solids only."))
    rec.append(("Invalid temp directory",
                "A block file in the temporary directory could not be opened.",
                "Check the temporary directory in the settings; it must exist and be writable."))
    rec.append(("Fehler in GetArcCenter (dphi = ",
                "An arc with a swept angle of 0 or a multiple of 360 degrees has no centre.",
                "Check the arc in the drawing or block file; it is not drawn."))
    rec.append(("Error  : Database #",
                "A table of the program could not be read.",
                "Check the DBF directory in the settings and the table files there."))
    return rec


def check_records(records):
    keys = set()
    for message, origin, remedy in records:
        key = message[:15]
        assert key not in keys, key
        keys.add(key)
        for text in (message, origin, remedy):
            assert "\r" not in text and "\n" not in text and len(text) < 250, text
    prefixes = ("Fatal  : ", "Error  : ", "Warning: ")
    for _, origin, remedy in records:
        for text in (origin, remedy):
            assert not text.startswith(prefixes), text
            assert text[:15] not in keys, text


def write(name, lines):
    data = "".join(line + "\r\n" for line in lines).encode("cp850")
    with open(os.path.join(DATA, name), "wb") as f:
        f.write(data)


# ------------------------------------------------------------------ images
# Plotter units of 0.025 mm; every image stays inside 6400 x 4800 (160 x 120 mm).
ETX = "\x03"


class Plot:
    def __init__(self):
        self.cmds = ["PU0,0;"]

    def pen(self, n):
        self.cmds.append("SP%d;" % n)

    def poly(self, points, close=False):
        pts = [(int(round(x)), int(round(y))) for x, y in points]
        if close:
            pts.append(pts[0])
        for x, y in pts:
            assert 0 <= x <= 6400 and 0 <= y <= 4800, (x, y)
        self.cmds.append("PU%d,%d;" % pts[0])
        self.cmds.append("PD" + ",".join("%d,%d" % p for p in pts[1:]) + ";")
        self.cmds.append("PU;")

    def rect(self, x0, y0, x1, y1):
        self.poly([(x0, y0), (x1, y0), (x1, y1), (x0, y1)], close=True)

    def circle(self, x, y, r):
        assert r <= x <= 6400 - r and r <= y <= 4800 - r
        self.cmds.append("PU%d,%d;CI%d;" % (x, y, r))

    def label(self, x, y, text, size=(0.25, 0.35), direction=(1, 0)):
        # rough extent check: characters are about 1.2 x width apart
        width = len(text) * size[0] * 400 * 1.2 * direction[0]
        assert 0 <= x and x + width <= 6400 and 0 <= y and y + size[1] * 400 <= 4800, text
        self.cmds.append("SI%.2f,%.2f;DI%d,%d;" % (size[0], size[1], direction[0], direction[1]))
        self.cmds.append("PU%d,%d;LB%s%s;" % (x, y, text, ETX))

    def text(self):
        return "\r\n".join(self.cmds + ["PU0,0;", "SP0;"]) + "\r\n"


def p3g_points(cx, cy, d1, e1, scale, steps=180):
    """Contour of a P3G profile (DIN 32711) of diameter d1 and eccentricity e1, in mm."""
    pts = []
    for i in range(steps):
        t = 2 * math.pi * i / steps
        rad = d1 / 2 - e1 * math.cos(3 * t)
        x = rad * math.cos(t) - 3 * e1 * math.sin(3 * t) * math.sin(t)
        y = rad * math.sin(t) + 3 * e1 * math.sin(3 * t) * math.cos(t)
        pts.append((cx + x * scale, cy + y * scale))
    return pts


def image_start():
    p = Plot()
    p.pen(1)
    p.rect(100, 100, 6300, 4700)
    p.pen(5)
    p.poly(p3g_points(1700, 2300, 60, 2.25, 30), close=True)
    p.pen(3)
    p.circle(1700, 2300, 330)
    p.pen(4)
    p.poly([(500, 2300), (2900, 2300)])
    p.poly([(1700, 1100), (1700, 3500)])
    p.pen(1)
    p.label(3300, 3300, "KV6", (0.6, 0.9))
    p.pen(2)
    p.label(3300, 2600, "P3G polygon", (0.28, 0.4))
    p.label(3300, 2200, "shaft-hub connections", (0.2, 0.3))
    p.label(3300, 1800, "DIN 32711", (0.28, 0.4))
    p.pen(7)
    p.label(3300, 700, "ISO 286 fits", (0.2, 0.3))
    return p.text()


def image_dims():
    p = Plot()
    p.pen(1)
    p.label(200, 4300, "P3G dimensions", (0.28, 0.4))
    p.pen(5)
    p.poly(p3g_points(1500, 2200, 60, 3, 22), close=True)
    p.pen(3)
    p.circle(1500, 2200, 660)
    p.pen(4)
    p.poly([(500, 2200), (2500, 2200)])
    p.poly([(1500, 1200), (1500, 3200)])
    p.pen(2)
    p.poly([(840, 1000), (2160, 1000)])
    p.label(1300, 700, "d1")
    p.poly([(1500, 2200 + 660), (1500, 2200 + 726)])
    p.label(1600, 3400, "e1")
    # side view: shaft in hub
    p.pen(1)
    p.rect(3300, 1600, 6000, 2800)
    p.pen(5)
    p.rect(3700, 1300, 5400, 3100)
    p.pen(2)
    p.poly([(3700, 900), (5400, 900)])
    p.label(4400, 550, "l, l2")
    p.poly([(3300, 3500), (6000, 3500)])
    p.label(4500, 3600, "l1")
    p.label(6050, 2100, "d2", (0.2, 0.3))
    return p.text()


def image_material():
    p = Plot()
    p.pen(1)
    p.label(200, 4300, "Materials of shaft and hub", (0.28, 0.4))
    p.pen(5)
    p.rect(600, 1800, 3000, 2600)
    p.pen(3)
    p.rect(1400, 1400, 2400, 3000)
    p.pen(2)
    p.label(700, 2050, "shaft: Re, fS, fH")
    p.label(1450, 3150, "hub: Re, fS, fH")
    p.pen(1)
    p.label(3400, 2800, "pzul = Re x fH x fS")
    p.label(3400, 2300, "pa = pzul x fW x fapp")
    p.label(3400, 1800, "Sp = pa / p >= 1")
    p.pen(7)
    p.label(600, 800, "fS 1.0 .. 1.5   fH 1.0 soft, > 1.0 hardened", (0.18, 0.28))
    return p.text()


def image_bores():
    p = Plot()
    p.pen(1)
    p.label(200, 4300, "Bores of shaft and hub", (0.28, 0.4))
    p.pen(3)
    p.circle(2400, 2200, 1500)
    p.pen(5)
    p.poly(p3g_points(2400, 2200, 60, 3, 26), close=True)
    p.pen(6)
    p.circle(2400, 2200, 350)
    p.pen(4)
    p.poly([(700, 2200), (4100, 2200)])
    p.poly([(2400, 500), (2400, 3900)])
    p.pen(2)
    p.label(2500, 2300, "dB1")
    p.label(3950, 3300, "dB2")
    p.label(4500, 2400, "s = wall thickness", (0.2, 0.3))
    p.label(4500, 1900, "s >= smin", (0.2, 0.3))
    return p.text()


def image_fw():
    p = Plot()
    p.pen(1)
    p.label(200, 4300, "Load factor fW", (0.28, 0.4))
    for row, (name, fw, curve) in enumerate((("static", "1.0", "flat"),
                                             ("pulsating", "0.7", "pulse"),
                                             ("alternating", "0.5", "alt"))):
        y0 = 3200 - row * 1300
        p.pen(4)
        p.poly([(400, y0), (3600, y0)])
        p.pen(5)
        pts = []
        for i in range(61):
            x = 400 + i * 50
            s = math.sin(2 * math.pi * i / 30)
            if curve == "flat":
                y = y0 + 400
            elif curve == "pulse":
                y = y0 + 200 + 200 * s
            else:
                y = y0 + 400 * s
            pts.append((x, y))
        p.poly(pts)
        p.pen(2)
        p.label(3900, y0, name + "  fW = " + fw, (0.2, 0.3))
    return p.text()


def image_ka():
    p = Plot()
    p.pen(1)
    p.label(200, 4300, "Application factor KA", (0.28, 0.4))
    rows = [("driving machine", "uniform", "moderate", "heavy shocks"),
            ("uniform", "1.00", "1.25", "1.75"),
            ("light shocks", "1.10", "1.35", "1.85"),
            ("moderate shocks", "1.25", "1.50", "2.00"),
            ("heavy shocks", "1.50", "1.75", "2.25")]
    p.rect(200, 1000, 6200, 3900)
    for i in range(1, 5):
        y = 3900 - i * 580
        p.poly([(200, y), (6200, y)])
    for x in (2300, 3600, 4900):
        p.poly([(x, 1000), (x, 3900)])
    p.pen(2)
    for i, row in enumerate(rows):
        y = 3900 - i * 580 - 400
        for x, cell in zip((300, 2400, 3700, 5000), row):
            p.label(x, y, cell, (0.16, 0.24))
    p.pen(7)
    p.label(200, 500, "driven machine across, driving machine down", (0.16, 0.24))
    return p.text()


IMAGES = {"start": image_start, "p3gdims": image_dims, "material": image_material,
          "bores": image_bores, "fwcoeff": image_fw, "kacoeff": image_ka}

DBH = [("start", "Start image: P3G polygon shaft-hub connection"),
       ("p3gdims", "Dimensions of the P3G profile and the joint"),
       ("bores", "Bores of shaft and hub, wall thickness"),
       ("kacoeff", "Application factor KA")]


def main():
    for name, make in IMAGES.items():
        assert len(name) <= 8 and name == name.lower()
        with open(os.path.join(DATA, name + ".plt"), "wb") as f:
            f.write(make().encode("cp850"))
    write("kv6.dbh", ['"%s","%s"' % entry for entry in DBH])

    write("brelcor.hlp", help_lines(COMMON))
    write("kv6.hlp", help_lines(PROGRAM))
    records = calc_records() + iso_records() + other_records()
    check_records(records)
    write("kv6.err", [line for record in records for line in record])


if __name__ == "__main__":
    main()
