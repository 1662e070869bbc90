#!/usr/bin/env python3
"""The command-line runs' start, watched by the probe library (startprobe.cpp) loaded into the
real program: "qt" fails when a run maps a Qt, X or font library; "work" fails when a run opens a
character converter, lists the shipped files' folder more than once, or tests a folder for
writing that the run does not write to (only the temporary folder takes the outputs' temporary
files; the usage text writes nothing).

usage: wkv6_start_test.py --wkv6 BIN --probe LIB --source ROOT {qt,work}
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile

MODES = (["p3g60.kv6", "/I"], ["p3g60.kv6", "/CAD1:1"], ["?"])
WINDOW_LIBRARIES = re.compile(r"/lib(Qt6|X11|xcb|fontconfig|freetype|xkbcommon|EGL|GL|kv6_qt)")
WRITE_TEST = re.compile(r"/x\.\$\$\$\d+\.\d+$")


def environment(root, probe=None, notes=None):
    env = {k: v for k, v in os.environ.items()
           if not k.startswith(("QT_", "XDG_", "WAYLAND_", "KV6_")) and k != "DISPLAY"}
    env.update({"HOME": os.path.join(root, "home"), "XDG_CONFIG_HOME": os.path.join(root, "config"),
                "XDG_DATA_HOME": os.path.join(root, "data"),
                "XDG_RUNTIME_DIR": os.path.join(root, "run"), "TMPDIR": os.path.join(root, "tmp")})
    if probe:
        env.update({"LD_PRELOAD": probe, "KV6_START_PROBE_OUT": notes})
        # The probe comes before the sanitizer's run-time in the list of loaded libraries.
        env["ASAN_OPTIONS"] = ":".join(filter(None, [env.get("ASAN_OPTIONS"),
                                                     "verify_asan_link_order=0"]))
    return env


def run(options, root, args, notes=None):
    """Runs wkv6 ARGS in the work folder; the probe's notes as (kind, text) pairs."""
    env = environment(root, options.probe if notes else None, notes)
    result = subprocess.run([options.wkv6] + args, cwd=os.path.join(root, "work"), env=env,
                            stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, timeout=60, check=False)
    if result.returncode != 0:
        sys.exit("wkv6 %s exited %d: %s" % (" ".join(args), result.returncode,
                                             result.stdout.decode(errors="replace")))
    if not notes:
        return []
    with open(notes, encoding="utf-8", errors="replace") as lines:
        pairs = [tuple(line.rstrip("\n").split(" ", 1)) for line in lines]
    if not any(kind == "map" for kind, _ in pairs):
        sys.exit("the probe noted nothing: was it loaded?")
    return pairs


def window_libraries(notes):
    return [text for kind, text in notes if kind == "map" and WINDOW_LIBRARIES.search(text)]


def start_work(notes, shipped, temp):
    faults = []
    converters = [text for kind, text in notes if kind == "iconv_open"]
    if converters:
        faults.append("%d converters opened (%s ...)" % (len(converters), converters[0]))
    listings = [text for kind, text in notes
                if kind == "opendir" and os.path.realpath(text) == shipped]
    if len(listings) > 1:
        faults.append("the shipped files' folder listed %d times" % len(listings))
    for kind, text in notes:
        if kind == "unlink" and WRITE_TEST.search(text) and (
                temp is None or os.path.realpath(os.path.dirname(text)) != temp):
            faults.append("a write test in " + os.path.dirname(text))
    return faults


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--wkv6", required=True)
    parser.add_argument("--probe", required=True)
    parser.add_argument("--source", required=True)
    parser.add_argument("check", choices=("qt", "work"))
    options = parser.parse_args()
    options.wkv6 = os.path.abspath(options.wkv6)
    options.probe = os.path.abspath(options.probe)
    shipped = os.path.realpath(os.path.join(os.path.dirname(options.wkv6), "data"))
    root = tempfile.mkdtemp()
    try:
        for folder in ("home", "config", "data", "tmp", "work"):
            os.mkdir(os.path.join(root, folder))
        os.mkdir(os.path.join(root, "run"), 0o700)
        shutil.copy(os.path.join(options.source, "tests", "calc", "golden", "p3g60.kv6"),
                    os.path.join(root, "work"))
        run(options, root, ["p3g60.kv6", "/I"])  # fills the user's folder, as a first run does
        temp = os.path.realpath(os.path.join(root, "run", "kv6"))
        failures = []
        for n, args in enumerate(MODES):
            notes = run(options, root, args, os.path.join(root, "notes%d.txt" % n))
            if options.check == "qt":
                faults = ["maps " + path for path in window_libraries(notes)]
            else:
                faults = start_work(notes, shipped, temp if args[0] != "?" else None)
            failures += ["wkv6 %s: %s" % (" ".join(args), fault) for fault in faults]
    finally:
        shutil.rmtree(root)
    for failure in failures:
        print("FAIL: " + failure)
    if failures:
        return 1
    print("every command-line run as expected")
    return 0


if __name__ == "__main__":
    sys.exit(main())
