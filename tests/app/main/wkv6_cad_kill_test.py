#!/usr/bin/env python3
"""A DXF export from the command line killed at 150 random moments of its run, then run to its
end: the folder holds the connection and the complete drawing, and nothing else.

usage: wkv6_cad_kill_test.py WKV6 SOURCE_ROOT
"""
import filecmp
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time

KILLS = 150


def main():
    wkv6, source = os.path.abspath(sys.argv[1]), sys.argv[2]
    root = tempfile.mkdtemp()
    try:
        for folder in ("home", "config", "data", "tmp", "work"):
            os.mkdir(os.path.join(root, folder))
        os.mkdir(os.path.join(root, "run"), 0o700)
        work = os.path.join(root, "work")
        shutil.copy(os.path.join(source, "tests/calc/golden/p3g60.kv6"), work)
        env = {k: v for k, v in os.environ.items()
               if not k.startswith(("QT_", "XDG_", "WAYLAND_", "KV6_")) and k != "DISPLAY"}
        env.update({"HOME": os.path.join(root, "home"), "TMPDIR": os.path.join(root, "tmp"),
                    "XDG_CONFIG_HOME": os.path.join(root, "config"),
                    "XDG_DATA_HOME": os.path.join(root, "data"),
                    "XDG_RUNTIME_DIR": os.path.join(root, "run")})

        def start():
            return subprocess.Popen([wkv6, "p3g60.kv6", "/CAD1:1"], cwd=work, env=env,
                                    stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                    stderr=subprocess.DEVNULL)

        began = time.monotonic()
        start().wait()
        length = time.monotonic() - began
        seed = random.randrange(1 << 30)
        moments = random.Random(seed)
        for _ in range(KILLS):
            process = start()
            time.sleep(moments.uniform(0, length))
            process.send_signal(signal.SIGKILL)
            process.wait()
        if start().wait() != 0:
            sys.exit("the run after the kills failed")
        left = sorted(os.listdir(work))
        if left != ["p3g60.dxf", "p3g60.kv6"]:
            sys.exit("the kills (seed %d) left %s" % (seed, left))
        if not filecmp.cmp(os.path.join(work, "p3g60.dxf"),
                           os.path.join(source, "tests/cad/data/p3g60_drawing1.dxf"), False):
            sys.exit("the run after the kills wrote another drawing")
        print("%d kills left nothing behind" % KILLS)
    finally:
        shutil.rmtree(root)


if __name__ == "__main__":
    main()
