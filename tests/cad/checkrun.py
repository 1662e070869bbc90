"""The loop every file checker of the CAD tests shares: the files named, or those of a kind in a
named folder, each checked and its problems printed; exit status 1 when any failed or none was
found."""

import os


def files(args, extension):
    for arg in args:
        if os.path.isdir(arg):
            for name in sorted(os.listdir(arg)):
                if name.lower().endswith(extension):
                    yield os.path.join(arg, name)
        else:
            yield arg


def run(args, extension, kind, check):
    checked = failed = 0
    for path in files(args, extension):
        checked += 1
        problems = check(path)
        if problems:
            failed += 1
            print("%s: %s" % (path, "; ".join(problems)))
    if checked == 0:
        print("no %s found" % kind)
        return 1
    print("%d %ss checked, %d failed" % (checked, kind, failed))
    return 1 if failed else 0
