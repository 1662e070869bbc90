"""Checks STL files with an independent reader (admesh): each file must load with the facet
count its ".expect" file names ("facets N"), hold no degenerate facet and no normal that
disagrees with its facet's winding. Usage: check_stl.py FOLDER-or-FILE... ; exit status 1 when
any file fails."""
import os
import re
import subprocess
import sys

import checkrun


def admesh_figures(path):
    # admesh prints the file's 80-byte header as it stands, with whatever byte follows it in
    # admesh's memory: its output is no text of any one encoding.
    out = subprocess.run(["admesh", "--exact", "--normal-values", path], capture_output=True,
                         check=True).stdout.decode("ascii", errors="replace")
    figures = {}
    for name in ("Number of facets", "Degenerate facets", "Normals fixed"):
        m = re.search(r"^%s\s*:\s*(\d+)" % name, out, re.M)
        if not m:
            raise ValueError("admesh gave no '%s'" % name)
        figures[name] = int(m.group(1))  # the original count where admesh gives two
    return figures


def expected_facets(path):
    with open(os.path.splitext(path)[0] + ".expect") as f:
        for line in f:
            key, value = line.split()
            if key == "facets":
                return int(value)
    raise ValueError("no facet count expected")


def check(path):
    figures = admesh_figures(path)
    problems = []
    if figures["Number of facets"] != expected_facets(path):
        problems.append("%d facets, expected %d" % (figures["Number of facets"],
                                                     expected_facets(path)))
    if figures["Degenerate facets"]:
        problems.append("%d degenerate facets" % figures["Degenerate facets"])
    if figures["Normals fixed"]:
        problems.append("%d normals disagree with the winding" % figures["Normals fixed"])
    return problems


def main(args):
    return checkrun.run(args, ".stl", "STL file", check)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
