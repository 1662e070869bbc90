"""Checks DXF files with an independent reader (ezdxf): each file must load, audit clean, keep
every tag pair inside a SECTION, end with EOF, insert only blocks it defines and hold the
entities its ".expect" file lists.
Usage: check_dxf.py FOLDER-or-FILE... ; exit status 1 when any file fails."""
import math
import os
import sys

import ezdxf


def tag_pairs(path):
    with open(path, "rb") as f:
        lines = f.read().split(b"\r\n")
    if lines and lines[-1] == b"":
        lines.pop()
    if len(lines) % 2:
        raise ValueError("odd number of lines")
    return [(int(lines[i].strip()), lines[i + 1].decode("cp1252")) for i in range(0, len(lines), 2)]


def check_structure(path):
    """ezdxf drops stray tags with a warning only, so the section structure is checked here."""
    pairs = tag_pairs(path)
    inside = False
    for n, (code, value) in enumerate(pairs):
        if not inside:
            if (code, value) == (0, "EOF"):
                if n != len(pairs) - 1:
                    return "tags after EOF"
                return None
            if (code, value) != (0, "SECTION"):
                return "pair %d (%d %s) not inside a SECTION" % (n, code, value)
            inside = True
        elif (code, value) == (0, "ENDSEC"):
            inside = False
    return "file does not end with EOF"


def check_audit(doc):
    auditor = doc.audit()
    problems = ["error %s: %s" % (e.code, e.message) for e in auditor.errors]
    for fix in auditor.fixes:
        # ezdxf 0.18 gives R12 block polylines without handles a fixed SEQEND owner (202).
        if not (fix.code == 202 and "SEQEND" in fix.message):
            problems.append("fix %s: %s" % (fix.code, fix.message))
    return problems


def check_inserts(doc):
    """Every INSERT, in the modelspace or inside a block, names a block of the same file."""
    problems = []
    for layout in doc.blocks:  # the modelspace among them
        for insert in layout.query("INSERT"):
            if doc.blocks.get(insert.dxf.name) is None:
                problems.append("INSERT of the undefined block %s" % insert.dxf.name)
    return problems


def find_insert(msp, rest):
    """The expectation "insert NAME X Y SCALE": such an INSERT in the modelspace, to 1e-6."""
    name, x, y, scale = rest.split()
    x, y, scale = float(x), float(y), float(scale)
    for insert in msp.query("INSERT"):
        at = insert.dxf.insert
        if (insert.dxf.name == name and abs(at[0] - x) < 1e-6 and abs(at[1] - y) < 1e-6
                and abs(insert.dxf.xscale - scale) < 1e-6 and abs(insert.dxf.yscale - scale) < 1e-6):
            return None
    found = [(i.dxf.name, tuple(i.dxf.insert)[:2], i.dxf.xscale) for i in msp.query("INSERT")]
    return "no INSERT %s (found %s)" % (rest, found)


def p3g_contour(d, e, resolution):
    """The P3G contour with three lobes: with the support function h = d/2 - e cos 3phi the point
    is h (cos phi, sin phi) + h' (-sin phi, cos phi), phi the normal's direction, from angle 0
    round to angle 0 in 2 x resolution steps."""
    points = []
    for i in range(2 * resolution + 1):
        phi = (i % (2 * resolution)) * math.pi / resolution
        h = d / 2 - e * math.cos(3 * phi)
        dh = 3 * e * math.sin(3 * phi)
        points.append((h * math.cos(phi) - dh * math.sin(phi),
                       h * math.sin(phi) + dh * math.cos(phi)))
    return points


def check_contour(msp, rest):
    """The expectation "contour D E RESOLUTION FACTOR": the first polyline of the modelspace is
    the contour in DXF units (times FACTOR), vertex for vertex to 1e-6."""
    d, e, resolution, factor = rest.split()
    expected = p3g_contour(float(d), float(e), int(resolution))
    polylines = msp.query("POLYLINE")
    if not polylines:
        return ["no POLYLINE for the contour"]
    found = [v.dxf.location for v in polylines[0].vertices]
    if len(found) != len(expected):
        return ["contour: %d vertices, expected %d" % (len(found), len(expected))]
    for n, ((x, y), at) in enumerate(zip(expected, found)):
        if abs(x * float(factor) - at[0]) > 1e-6 or abs(y * float(factor) - at[1]) > 1e-6:
            return ["contour vertex %d at %s, expected %s" % (n, tuple(at)[:2], (x, y))]
    return []


def check_expected(doc, expect_path):
    problems = []
    msp = doc.modelspace()
    arcs = {(round(e.dxf.start_angle, 3), round(e.dxf.end_angle, 3)) for e in msp.query("ARC")}
    texts = {e.dxf.text for e in msp.query("TEXT")}
    with open(expect_path, encoding="utf-8") as f:
        for line in f.read().splitlines():
            kind, rest = line.split(" ", 1)
            if kind == "modelspace":
                dxftype, count = rest.split()
                found = len(msp.query(dxftype))
            elif kind == "block":
                name, dxftype, count = rest.split()
                block = doc.blocks.get(name)
                if block is None:
                    problems.append("no block " + name)
                    continue
                found = len(block.query(dxftype))
            elif kind == "vertices":
                count, found = rest, sum(len(list(p.vertices)) for p in msp.query("POLYLINE"))
            elif kind == "arc":
                start, end = (float(v) for v in rest.split())
                if (start, end) not in arcs:
                    problems.append("no ARC from %s to %s (found %s)" % (start, end, sorted(arcs)))
                continue
            elif kind == "insert":
                problem = find_insert(msp, rest)
                if problem:
                    problems.append(problem)
                continue
            elif kind == "contour":
                problems += check_contour(msp, rest)
                continue
            elif kind == "text":
                if rest not in texts:
                    problems.append("no TEXT %r (found %r)" % (rest, sorted(texts)))
                continue
            else:
                problems.append("unknown expectation " + line)
                continue
            if int(count) != found:
                problems.append("%s: expected %s, found %d" % (line, count, found))
    return problems


def check_file(path):
    problems = []
    structure = check_structure(path)
    if structure:
        problems.append(structure)
    try:
        doc = ezdxf.readfile(path)
    except Exception as error:  # a file that does not load fails, whatever the reason
        return problems + ["readfile: %s" % error]
    problems += check_inserts(doc)  # before the audit, which deletes such an INSERT
    problems += check_audit(doc)
    expect_path = os.path.splitext(path)[0] + ".expect"
    if os.path.exists(expect_path):
        problems += check_expected(doc, expect_path)
    return problems


def main(args):
    files = []
    for arg in args:
        if os.path.isdir(arg):
            files += sorted(os.path.join(arg, n) for n in os.listdir(arg) if n.endswith(".dxf"))
        else:
            files.append(arg)
    if not files:
        print("no DXF files given")
        return 1
    failed = False
    for path in files:
        problems = check_file(path)
        print("%s: %s" % (path, "; ".join(problems) if problems else "0 errors"))
        failed = failed or bool(problems)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
