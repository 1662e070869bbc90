#!/usr/bin/env python3
"""Checks every include of the sources against the layering of the folders.

    layering_check.py ROOT       checks the tree at ROOT; lists each wrong include, exit 1 if any
    layering_check.py --self-test  checks generated trees with known faults

A folder includes its own headers and those of the folders below it:
platform <- base <- calc; platform <- tables/core <- tables/modules <- tables/access, which alone in
tables/ also uses base; base, calc, tables <- cad <- app. platform/headless and platform/qt are
backends beside each other above platform. Only platform/qt includes Qt. The program's entry,
tools, the data generators, tests and benchmarks may include anything.

Inside base/, cad/, platform/ (beside its backends) and tables/modules/ every unit lives in a
folder of its concern (in tables/modules/ one folder per module), and those folders are layered
too: a folder includes only the ones before it in SUBFOLDERS. The one include that runs back up
between them is named in EXCEPTIONS: the service registry of platform/system/, which holds every
service of the kit, reached by each service's own door.
"""

import os
import re
import subprocess
import sys
import tempfile

TABLES = {"tables/core", "tables/modules", "tables/access"}
BELOW = {
    "platform": set(),
    "platform/headless": {"platform"},
    "platform/qt": {"platform"},
    "base": {"platform"},
    "calc": {"platform", "base"},
    "tables/core": {"platform"},
    "tables/modules": {"platform", "tables/core"},
    "tables/access": {"platform", "tables/core", "tables/modules", "base"},
    "cad": {"platform", "base", "calc"} | TABLES,
    "app": {"platform", "base", "calc", "cad"} | TABLES,
}
# The concern folders of a layer, lowest first.
SUBFOLDERS = {
    "base": ["settings", "text", "files", "draw", "help", "dialogs", "report", "start"],
    "cad": ["layer", "writers", "drawings", "print"],
    "platform": ["files", "ui", "print", "system"],
    "tables/modules": ["expr", "ndx", "memo", "vfile"],
}
# Folders above every layer: they may include any folder.
FREE = {"main.cpp", "tools", "tests", "bench", "data"}
QT_FOLDERS = {"platform/qt"} | FREE

# Single headers a folder (or a concern folder) may include against the layering, each with its
# reason.
EXCEPTIONS = {
    # The stored numbers' text shares the 18-digit rounding of every number the program shows.
    ("tables/core", "base/text/numbertext.h"),
    # A service's door finds the service in the registry, whose record holds the whole kit and so
    # includes every service's interface.
    ("platform/files", "platform/system/services.h"),
    ("platform/ui", "platform/system/services.h"),
    ("platform/print", "platform/system/services.h"),
}

SOURCE = re.compile(r".*\.(cpp|h)$")
QUOTED = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
QT = re.compile(r"^\s*#\s*include\s*<(Q[A-Za-z]*|Qt[A-Za-z]*/[^>]*)>")


def folder_of(path):
    """The layer a repository path belongs to, or None outside the layered sources."""
    parts = path.split("/")
    if parts[0] in FREE:
        return parts[0]
    if len(parts) > 2 and "/".join(parts[:2]) in BELOW:
        return "/".join(parts[:2])
    if len(parts) > 1 and parts[0] in BELOW:
        return parts[0]
    return None


def subfolder_of(path):
    """The concern folder of a path inside a layer of SUBFOLDERS, or None where it has none."""
    layer = folder_of(path)
    if layer not in SUBFOLDERS:
        return None
    parts = path[len(layer) + 1 :].split("/")
    if len(parts) > 1 and parts[0] in SUBFOLDERS[layer]:
        return parts[0]
    return None


def subfolder_fault(path, header):
    """Why an include of header from path runs against the order of the concern folders, if it
    does: the concern folder of path and the reason."""
    layer = folder_of(path)
    if layer not in SUBFOLDERS or folder_of(header) != layer:
        return None
    order = SUBFOLDERS[layer]
    here, there = subfolder_of(path), subfolder_of(header)
    if here is None or there is None or order.index(there) <= order.index(here):
        return None
    concern = f"{layer}/{here}"
    return concern, f"{concern} includes {header} of {layer}/{there}, which is above it"


def is_build_tree(path):
    return os.path.exists(os.path.join(path, "CMakeCache.txt"))


def sources(root):
    for top, dirs, files in os.walk(root):
        dirs[:] = sorted(
            d for d in dirs if not d.startswith(".") and not is_build_tree(os.path.join(top, d))
        )
        for name in sorted(files):
            if SOURCE.match(name):
                yield os.path.relpath(os.path.join(top, name), root).replace(os.sep, "/")


def check(root):
    """The wrong includes of the tree at root, as "file:line: reason" texts."""
    faults, used = [], set()
    for path in sources(root):
        folder = folder_of(path)
        if folder is None:
            faults.append(f"{path}: a source outside every layer; add its folder to the check")
            continue
        if folder in SUBFOLDERS and subfolder_of(path) is None:
            faults.append(f"{path}: a unit outside the concern folders of {folder}")
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as text:
            for number, line in enumerate(text, 1):
                where = f"{path}:{number}"
                if QT.match(line) and folder not in QT_FOLDERS:
                    faults.append(f"{where}: {folder} includes Qt, which only platform/qt may")
                match = QUOTED.match(line)
                if not match or folder in FREE:
                    continue
                header = match.group(1)
                wrong_way = subfolder_fault(path, header)
                if wrong_way and (wrong_way[0], header) in EXCEPTIONS:
                    used.add((wrong_way[0], header))
                elif wrong_way:
                    faults.append(f"{where}: {wrong_way[1]}")
                target = folder_of(header)
                if target is None or target == folder or target in BELOW[folder]:
                    continue
                if (folder, header) in EXCEPTIONS:
                    used.add((folder, header))
                    continue
                faults.append(f"{where}: {folder} includes {header} of {target}")
    for folder, header in sorted(EXCEPTIONS - used):
        faults.append(f"no {folder} file includes {header} any more: remove its exception")
    return faults


def main_check(root):
    faults = check(root)
    for fault in faults:
        print(fault)
    return 1 if faults else 0


def self_test():
    """Runs the check on generated trees: each planted fault is found, and nothing else; an
    exception that no source needs any more is reported."""
    cases = {
        "base/text/a.cpp": ('#include "calc/kv6rech.h"\n', "base includes calc/kv6rech.h of calc"),
        "base/files/i.cpp": (
            '#include "base/dialogs/utilcrt.h"\n',
            "base/files includes base/dialogs/utilcrt.h of base/dialogs, which is above it",
        ),
        "cad/j.cpp": ("", "a unit outside the concern folders of cad"),
        "platform/ui/b.h": ('#include "platform/qt/qtcanvas.h"\n', "platform includes platform/qt"),
        "platform/ui/h.cpp": ('#include "platform/headless/x.h"\n', "platform includes platform/h"),
        "platform/files/n.cpp": (
            '#include "platform/system/clock.h"\n',
            "platform/files includes platform/system/clock.h of platform/system, which is above",
        ),
        "platform/o.cpp": ("", "a unit outside the concern folders of platform"),
        "platform/qt/c.cpp": ('#include "platform/headless/x.h"\n', "qt includes platform/head"),
        "tables/core/d.cpp": ('#include "base/text/utilstr.h"\n', "tables/core includes base/text/u"),
        "calc/e.cpp": ("#include <QString>\n", "calc includes Qt"),
        "tables/modules/vfile/w.cpp": (
            '#include "tables/access/tzprimds.h"\n',
            "tables/modules includes tables/access",
        ),
        "tables/modules/expr/y.cpp": (
            '#include "tables/modules/ndx/ndxindex.h"\n',
            "tables/modules/expr includes tables/modules/ndx/ndxindex.h of tables/modules/ndx",
        ),
        "tables/modules/z.cpp": ("", "a unit outside the concern folders of tables/modules"),
        "tables/access/x.cpp": ('#include "cad/layer/brelcad.h"\n', "tables/access includes cad"),
        "cad/layer/f.cpp": ('#include "tests/support/tempfolder.h"\n', "includes tests/support"),
        "scripts/g.cpp": ("", "a source outside every layer"),
    }
    allowed = {
        "platform/print/p.cpp": '#include "platform/ui/canvas.h"\n#include <string>\n',
        "platform/qt/q.cpp": '#include <QImage>\n#include "platform/ui/canvas.h"\n',
        "platform/files/fa.cpp": '#include "platform/system/services.h"\n',
        "platform/ui/ua.cpp": '#include "platform/system/services.h"\n',
        "platform/ui/ub.cpp": '#include "platform/files/codepage.h"\n',
        "platform/print/pa.cpp": '#include "platform/system/services.h"\n',
        "tables/modules/ndx/na.cpp": '#include "tables/modules/expr/exprcode.h"\n',
        "tables/modules/vfile/va.cpp": '#include "tables/modules/expr/exprcompile.h"\n',
        "tables/core/r.cpp": '#include "base/text/numbertext.h"\n#include "platform/system/clock.h"\n',
        "tables/access/s.cpp": '#include "base/settings/brelvar.h"\n#include "tables/core/engine.h"\n',
        "app/t.cpp": '#include "cad/layer/brelcad.h"\n#include "tables/access/browse.h"\n',
        "base/dialogs/k.cpp": '#include "base/help/helptext.h"\n#include "base/text/utilstr.h"\n',
        "cad/drawings/l.cpp": '#include "cad/layer/cadprim.h"\n#include "cad/drawings/m.h"\n',
        "tests/u.cpp": '#include <QApplication>\n#include "app/v.h"\n#include "x.h"\n',
        "main.cpp": '#include "platform/qt/qtbackend.h"\n',
    }
    with tempfile.TemporaryDirectory() as root:

        def write(path, text):
            os.makedirs(os.path.dirname(os.path.join(root, path)), exist_ok=True)
            with open(os.path.join(root, path), "w", encoding="utf-8") as out:
                out.write(text)

        for path, text in allowed.items():
            write(path, text)
        clean = subprocess.run([sys.executable, __file__, root], capture_output=True, text=True)
        ok = clean.returncode == 0 and clean.stdout == ""
        if not ok:
            print("a tree that keeps the layering was refused:\n" + clean.stdout)
        for path, (text, _) in cases.items():
            write(path, text)
        faulty = subprocess.run([sys.executable, __file__, root], capture_output=True, text=True)
        found = faulty.stdout.splitlines()
        for path, (_, reason) in cases.items():
            if not any(line.startswith(path) and reason in line for line in found):
                print(f"missed in {path}: {reason}")
                ok = False
        if len(found) != len(cases) or faulty.returncode != 1:
            print("expected exactly the planted faults and exit 1:\n" + faulty.stdout)
            ok = False
        write("tables/core/r.cpp", '#include "platform/system/clock.h"\n')
        stale = subprocess.run([sys.executable, __file__, root], capture_output=True, text=True)
        if "no tables/core file includes base/text/numbertext.h any more" not in stale.stdout:
            print("an exception no source needs was not reported:\n" + stale.stdout)
            ok = False
    return 0 if ok else 1


if __name__ == "__main__":
    if sys.argv[1:] == ["--self-test"]:
        sys.exit(self_test())
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    sys.exit(main_check(sys.argv[1]))
