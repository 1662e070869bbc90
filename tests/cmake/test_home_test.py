"""The tests' home is shared by overlapping ctest runs of one build tree: a second run joins the
home of a first one still running, and only the last run out removes it. A run that died without
signing out does not keep the home alive. Usage: test_home_test.py SCRIPT"""
import os
import subprocess
import sys
import tempfile
import time
import unittest

SCRIPT = None


class Run:
    """One ctest run: a process whose children are the fixture's make and remove steps."""

    def __init__(self, home):
        self.home = home
        self.shell = subprocess.Popen(["sh"], stdin=subprocess.PIPE, text=True)

    def step(self, mode):
        # The step's parent must be the long-lived shell, as ctest is the parent of its steps.
        done = os.path.join(os.path.dirname(self.home), "done-%d" % self.shell.pid)
        self.shell.stdin.write('"%s" %s "%s"; : >"%s"\n' % (SCRIPT, mode, self.home, done))
        self.shell.stdin.flush()
        deadline = time.monotonic() + 20
        while not os.path.exists(done):
            if time.monotonic() > deadline:
                raise AssertionError("test-home %s did not finish" % mode)
            time.sleep(0.01)
        os.remove(done)

    def end(self, signed_out=True):
        if signed_out:
            self.step("remove")
        self.shell.kill()
        self.shell.wait()


class TestHome(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.home = os.path.join(self.folder.name, "home")
        self.mark = os.path.join(self.home, "tmp", "left-by-the-first-run")

    def tearDown(self):
        self.folder.cleanup()

    def test_a_second_run_keeps_the_home_of_a_running_one(self):
        first = Run(self.home)
        first.step("make")
        self.assertEqual(oct(os.stat(os.path.join(self.home, "run")).st_mode & 0o777), "0o700")
        open(self.mark, "w").close()
        second = Run(self.home)
        second.step("make")
        self.assertTrue(os.path.exists(self.mark), "the second run wiped the first run's home")
        second.end()
        self.assertTrue(os.path.exists(self.mark), "the second run removed a home still in use")
        first.end()
        self.assertEqual(os.listdir(self.folder.name), [], "the last run left files behind")

    def test_a_dead_run_neither_keeps_nor_shares_the_home(self):
        dead = Run(self.home)
        dead.step("make")
        open(self.mark, "w").close()
        dead.end(signed_out=False)
        fresh = Run(self.home)
        fresh.step("make")
        self.assertFalse(os.path.exists(self.mark), "a new run started from a dead run's leftovers")
        fresh.end()
        self.assertEqual(os.listdir(self.folder.name), [])


if __name__ == "__main__":
    SCRIPT = sys.argv.pop(1)
    unittest.main()
