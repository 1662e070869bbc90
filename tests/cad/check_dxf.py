"""Checks DXF files with an independent reader (ezdxf): each file must load, audit clean, keep
every tag pair inside a SECTION, end with EOF and hold the entities its ".expect" file lists.
Usage: check_dxf.py FOLDER-or-FILE... ; exit status 1 when any file fails."""
import collections
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
                found = len(doc.blocks.get(name).query(dxftype))
            elif kind == "vertices":
                count, found = rest, sum(len(list(p.vertices)) for p in msp.query("POLYLINE"))
            elif kind == "arc":
                start, end = (float(v) for v in rest.split())
                if (start, end) not in arcs:
                    problems.append("no ARC from %s to %s (found %s)" % (start, end, sorted(arcs)))
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
