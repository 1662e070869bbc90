#!/usr/bin/env python3
"""The program driven as a user drives it.

The real wkv6 runs on the xcb platform under an Xvfb server of the walk's own, in a home of its
own, and gets nothing but key presses and mouse clicks through the X server (xdotool). What it
shows is read by the probe library loaded into it (tests/driven/probe.cpp); what it writes (the
calculation file, the PDF) and how it ends (its exit code, valgrind's findings) are read from the
outside.

usage: walk.py --wkv6 BIN --probe LIB --source ROOT [--valgrind] PART...
Each part starts the program afresh on a display of its own; the walk fails with a message that
says which step of which part went wrong.
"""

import argparse
import ctypes
import difflib
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

# The source tree stays as checked out: no bytecode beside the scripts.
sys.dont_write_bytecode = True
from pdfcircles import pdf_circles  # noqa: E402

SCREEN = "1920x1200x24"
# Valgrind runs the program some twenty to fifty times slower.
VALGRIND_SLOWDOWN = 25
VALGRIND_ERROR = re.compile(r"^==\d+== (Invalid|Mismatched|Conditional|Use of uninit|"
                            r"Syscall param|Source and destination|Argument)", re.M)
VALGRIND_ERROR_EXIT = 97
# The lines of a calculation file's head that name the program that wrote it.
PROGRAM_LINES = 4
# The line of the torque T in Nm, and that of the diameter d1.
TORQUE_LINE = 28
D1_LINE = 15
# The worked example's outer and inner circle of the profile, d2 and d3, which its production
# drawing draws at "M 1:1"; a circle measures within 1 % of that across and down.
EXAMPLE_CIRCLES_MM = (64.5, 55.5)
TOLERANCE = 0.01
# Results of the report, each by its pattern: the first number after its formula.
REPORT_RESULTS = (("Sp", r"Sp=paadm/pmax\s+(-?[\d.]+)"),
                  ("Se", r"Se=fW\*Re/Sig\.v\s+(-?[\d.]+)"))
# The report head's date and time, and its line that names the connection's file (a long path
# runs up to the border).
REPORT_TIME = re.compile(r"\d{4}-\d{2}-\d{2} +\d{1,2}:\d{2}")
REPORT_FILE = r"^\s*\*\s+(\S+\.kv6)\s*\*\s*$"
# The last row of the material table by its number, with its yield point Re.
PICKED_MATERIAL = ("EN AW-7075 T6", "480")
# The last row of the profile table, as the dimensions form names it in either unit system.
PICKED_PROFILE = "profile DIN 32711 - P3G 100"


class WalkFailure(Exception):
    pass


def die_with_the_walk():
    """Run in each child before it starts: it is killed when the walk ends, however it ends."""
    pr_set_pdeathsig = 1
    ctypes.CDLL(None, use_errno=True).prctl(pr_set_pdeathsig, signal.SIGKILL)


def log(text):
    print(text, flush=True)


def run_quietly(command, timeout, env=None):
    return subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                          timeout=timeout, env=env, check=False)


class Display:
    """An Xvfb server on a display number that it picks itself."""

    def __init__(self, timeout):
        read_end, write_end = os.pipe()
        # Clients reach it through the abstract socket alone: nothing is left in /tmp.
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", SCREEN, "-nolisten", "tcp",
             "-nolisten", "unix"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            preexec_fn=die_with_the_walk)
        os.close(write_end)
        os.set_blocking(read_end, False)
        number = b""
        deadline = time.monotonic() + timeout
        try:
            while not number.endswith(b"\n"):
                if self.process.poll() is not None:
                    raise WalkFailure("Xvfb ended at its start (exit %d)" % self.process.returncode)
                if time.monotonic() > deadline:
                    raise WalkFailure("Xvfb named no display within %d s" % timeout)
                try:
                    number += os.read(read_end, 16)
                except BlockingIOError:
                    time.sleep(0.05)
        except WalkFailure:
            self.stop()
            raise
        finally:
            os.close(read_end)
        self.name = ":" + number.decode().strip()

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


def extend(env, name, options):
    env[name] = env[name] + ":" + options if env.get(name) else options


def describe(state):
    """The screen in one line, for failure messages."""
    if state is None:
        return "no answer from the program yet"
    windows = ", ".join("%s %r%s" % (w["name"] or w["class"], w["title"],
                                     " (active)" if w["active"] else "")
                        for w in state["windows"])
    popup = state["popup"]
    menu = ""
    if popup:
        menu = "; open menu %r with %s" % (popup["title"], [a["text"] for a in popup["actions"]])
    return "windows: %s%s; focus on %s" % (windows or "none", menu, state["focus"] or "nothing")


class Program:
    """One run of wkv6 in a home of its own on the given display."""

    def __init__(self, options, display, root):
        self.options = options
        self.slowdown = VALGRIND_SLOWDOWN if options.valgrind else 1
        self.root = root
        self.step_text = "starting wkv6"
        self.request = 0
        self.last_state = None
        for folder in ("home", "config", "data", "tmp", "work", "probe"):
            os.makedirs(os.path.join(root, folder))
        os.mkdir(os.path.join(root, "run"), 0o700)
        self.probe_dir = os.path.join(root, "probe")
        self.env = self.environment(display)
        command = [options.wkv6]
        if options.valgrind:
            here = os.path.dirname(os.path.abspath(__file__))
            command = ["valgrind", "--tool=memcheck", "--error-exitcode=%d" % VALGRIND_ERROR_EXIT,
                       "--num-callers=30", "--vgdb=no",
                       "--suppressions=" + os.path.join(here, "valgrind.supp"),
                       "--log-file=" + os.path.join(root, "valgrind.%p.log")] + command
        self.output = open(os.path.join(root, "output.txt"), "w+b")
        self.process = subprocess.Popen(command, cwd=self.work(), env=self.env,
                                        stdin=subprocess.DEVNULL, stdout=self.output,
                                        stderr=subprocess.STDOUT, preexec_fn=die_with_the_walk)

    def environment(self, display):
        env = {key: value for key, value in os.environ.items()
               if not key.startswith(("QT_", "XDG_", "WAYLAND_", "KV6_"))}
        home = {"HOME": "home", "XDG_CONFIG_HOME": "config", "XDG_DATA_HOME": "data",
                "XDG_RUNTIME_DIR": "run", "TMPDIR": "tmp"}
        env.update({key: os.path.join(self.root, folder) for key, folder in home.items()})
        env.update({"DISPLAY": display, "QT_QPA_PLATFORM": "xcb", "LANG": "C.UTF-8",
                    "LD_PRELOAD": self.options.probe, "KV6_PROBE_DIR": self.probe_dir})
        # The probe comes before the sanitizer's run-time in the list of loaded libraries.
        if self.options.valgrind:
            # Code that the regular expressions compile at run time is beyond memcheck's reach.
            env["QT_ENABLE_REGEXP_JIT"] = "0"
        extend(env, "ASAN_OPTIONS", "verify_asan_link_order=0")
        extend(env, "LSAN_OPTIONS", "print_suppressions=0:suppressions=" +
               os.path.join(os.path.dirname(os.path.abspath(__file__)), "lsan.supp"))
        return env

    def work(self, *names):
        return os.path.join(self.root, "work", *names)

    # --- reading the screen ---------------------------------------------------------------

    def step(self, text):
        self.step_text = text
        log("  step: " + text)

    def fail(self, what):
        screen = "last screen before wkv6 ended" if self.ended() else "screen"
        raise WalkFailure("%s: %s\n    %s: %s" % (self.step_text, what, screen,
                                                 describe(self.last_state)))

    def ended(self):
        return self.process.poll() is not None

    def end_text(self):
        code = self.process.returncode
        if code < 0:
            name = signal.Signals(-code).name
            return "wkv6 was ended by %s (exit %d)%s" % (name, 128 - code, self.output_tail())
        return "wkv6 exited %d%s" % (code, self.output_tail())

    def output_tail(self):
        self.output.flush()
        self.output.seek(0)
        lines = self.output.read().decode(errors="replace").strip().splitlines()[-8:]
        return "; its last output:\n      " + "\n      ".join(lines) if lines else ""

    def state(self):
        """What the screen shows now, after every input sent so far was handled."""
        self.request += 1
        request_file = os.path.join(self.probe_dir, "request")
        with open(request_file + ".part", "w") as f:
            f.write(str(self.request))
        os.replace(request_file + ".part", request_file)
        answer = os.path.join(self.probe_dir, "state.json")
        deadline = time.monotonic() + 30 * self.slowdown
        while True:
            if self.ended():
                self.fail(self.end_text())
            try:
                with open(answer) as f:
                    state = json.load(f)
                if state["request"] == str(self.request):
                    self.last_state = state
                    return state
            except (OSError, ValueError):
                pass
            if time.monotonic() > deadline:
                self.fail("wkv6 did not answer within %d s (hanging?)" % (30 * self.slowdown))
            time.sleep(0.05)

    def wait(self, what, found, seconds=20):
        """Waits until found(state) gives a value that is not None, and returns it."""
        deadline = time.monotonic() + seconds * self.slowdown
        while True:
            state = self.state()
            value = found(state)
            if value is not None:
                return value
            if time.monotonic() > deadline:
                self.fail("waited %d s for %s" % (seconds * self.slowdown, what))
            time.sleep(0.1)

    @staticmethod
    def window_in(state, name):
        for window in state["windows"]:
            if name in (window["name"], window["class"]):
                return window
        return None

    def wait_window(self, name, seconds=20):
        """Waits until the named window is the active one (it takes the keys) and returns it."""
        def active(state):
            window = self.window_in(state, name)
            if window is None or not window["active"]:
                return None
            return window
        return self.wait("window %s to be shown and active" % name, active, seconds)

    def wait_no_window(self, name, seconds=20):
        self.wait("window %s to close" % name,
                  lambda state: True if self.window_in(state, name) is None else None, seconds)

    def control(self, window_name, control_name, seconds=20):
        def visible(state):
            window = self.window_in(state, window_name)
            if window is None:
                return None
            for control in window["controls"]:
                if control["name"] == control_name:
                    return control
            return None
        return self.wait("control %s in window %s" % (control_name, window_name), visible,
                         seconds)

    def settle(self):
        """Two answers in a row: the inputs sent before were handled."""
        self.state()
        time.sleep(0.1 * self.slowdown)
        return self.state()

    # --- typing and clicking --------------------------------------------------------------

    def xdotool(self, *arguments):
        result = run_quietly(["xdotool"] + list(arguments), 30, self.env)
        if result.returncode != 0:
            self.fail("xdotool %s failed: %s" % (" ".join(arguments), result.stdout.strip()))

    def keys(self, *keys):
        self.xdotool("key", "--delay", "60", *keys)

    def type(self, text):
        self.xdotool("type", "--delay", "60", text)

    def click_box(self, box):
        x, y, width, height = box
        self.xdotool("mousemove", "--sync", str(x + width // 2), str(y + height // 2))
        self.xdotool("click", "1")

    def click(self, window_name, control_name):
        control = self.control(window_name, control_name)
        if not control["enabled"]:
            self.fail("%s in %s is disabled" % (control_name, window_name))
        self.click_box(control["box"])

    def menu(self, menu_text, item_text):
        """Opens a menu of the main window's bar with the mouse and clicks one of its items."""
        def entry(state):
            window = self.window_in(state, "QMainWindow")
            for action in window["menuBar"] if window else []:
                if action["text"].replace("&", "") == menu_text:
                    return action
            return None
        self.click_box(self.wait("menu %s in the menu bar" % menu_text, entry)["box"])
        self.menu_item(menu_text, item_text)

    def menu_item(self, menu_text, item_text):
        def item(state):
            popup = state["popup"]
            if not popup or popup["title"].replace("&", "") != menu_text:
                return None
            for action in popup["actions"]:
                if action["text"].replace("&", "") == item_text:
                    return action
            return None
        action = self.wait("item %s in the open menu %s" % (item_text, menu_text), item)
        if not action["enabled"]:
            self.fail("the menu item %s, %s is disabled" % (menu_text, item_text))
        self.click_box(action["box"])

    def wait_popup(self, menu_text):
        self.wait("menu %s to open" % menu_text,
                  lambda s: True if s["popup"] and
                  s["popup"]["title"].replace("&", "") == menu_text else None)

    def open_input_form(self, key, form, form_text):
        """Opens an input form by its key in the Edit menu, as Alt+E and the key do."""
        self.step("Alt+E, %s opens %s" % (key.upper(), form_text))
        self.keys("alt+e")
        self.wait_popup("Edit")
        self.keys(key)
        self.wait_window(form)

    def focus_main_window(self):
        """Gives the main window the keys, as a window manager does when a dialog closes."""
        window = self.wait("the main window", lambda s: self.window_in(s, "QMainWindow"), 60)
        # There is no window manager to hand the focus on.
        self.xdotool("windowfocus", "--sync", window["id"])
        return self.wait_window("QMainWindow")

    # --- the end --------------------------------------------------------------------------

    def wait_exit(self, seconds=30):
        try:
            self.process.wait(seconds * self.slowdown)
        except subprocess.TimeoutExpired:
            self.fail("wkv6 did not end within %d s" % (seconds * self.slowdown))
        return self.process.returncode

    def stop(self):
        if not self.ended():
            self.process.kill()
            self.process.wait()
        self.output.close()

    def memory_errors(self):
        """Valgrind's first finding in the program (not in a process it forked), or None."""
        log_file = os.path.join(self.root, "valgrind.%d.log" % self.process.pid)
        if not self.options.valgrind or not os.path.exists(log_file):
            return None
        with open(log_file, errors="replace") as f:
            text = f.read()
        match = VALGRIND_ERROR.search(text)
        if match is None:
            return None
        lines = text[match.start():].splitlines()[:25]
        return "valgrind: " + "\n      ".join(lines)

    def expect_exit(self, expected, what):
        code = self.wait_exit()
        errors = self.memory_errors()
        if errors:
            self.fail(errors)
        if code != expected:
            self.fail("%s: %s, not %d" % (what, self.end_text(), expected))


# --- the parts of the walk ----------------------------------------------------------------

def help_image_then_menu(program):
    """A help image from an input form, Escape, then the menu, then File, Exit."""
    program.focus_main_window()
    forms = [("the load form", "l", "TForm_kv6load", "Button_ka", "KA ?"),
             ("the dimensions form", "d", "TForm_kv6abm", "Button_hilfebild", "Aux. Image")]
    for form_text, key, form, button, caption in forms:
        program.open_input_form(key, form, form_text)
        program.step('"%s" in %s shows its help image' % (caption, form_text))
        program.click(form, button)
        program.settle()
        program.wait_window(form)
        program.step("Escape closes %s" % form_text)
        program.keys("Escape")
        program.wait_no_window(form)
        program.focus_main_window()
        program.step("Help, KV6 after %s's help image" % form_text)
        program.keys("alt+h")
        program.wait_popup("Help")
        program.menu_item("Help", "KV6")
        program.wait_window("TAboutBox")
        program.step("Enter closes the about window")
        program.keys("Return")
        program.wait_no_window("TAboutBox")
        program.focus_main_window()
    exit_program(program)


def exit_program(program, question=None):
    """File, Exit; the question the program asks on the way (a changed connection) answered Yes."""
    program.step("File, Exit")
    program.keys("alt+f")
    program.wait_popup("File")
    program.keys("x")
    if question is not None:
        program.step('File, Exit: "%s" answered Yes' % question)
        box = program.wait_window("QMessageBox")
        asked = [c["text"] for c in box["controls"] if c["name"] == "qt_msgbox_label"]
        if asked != [question]:
            program.fail("the question on leaving is %s, not %r" % (asked, question))
        program.keys("y")
    program.expect_exit(0, "File, Exit")


def type_file_name(program, path):
    """path typed into the file dialog's name field, typed again where the field shows something
    else: xdotool types a letter the keyboard lacks through a key it maps for the moment, which
    a busy machine can read before the mapping."""
    for _ in range(3):
        program.click("QFileDialog", "fileNameEdit")
        program.keys("ctrl+a")
        program.type(path)
        program.settle()
        shown = program.control("QFileDialog", "fileNameEdit")["text"]
        if shown == path:
            return
        program.step("the name field shows %r, not %r: again" % (shown, path))
    program.fail("the file dialog's name field shows %r, not %r" % (shown, path))


def open_calc_file(program, path):
    program.step("File, Open of %s" % os.path.basename(path))
    program.keys("ctrl+o")
    program.wait_window("QFileDialog")
    type_file_name(program, path)
    program.keys("Return")
    program.wait_no_window("QFileDialog")
    program.focus_main_window()
    name = os.path.splitext(os.path.basename(path))[0]
    program.wait("the file's name in the main window's title",
                 lambda s: True if name in program.window_in(s, "QMainWindow")["title"] else None)


def type_into(program, form, edit, text):
    program.click(form, edit)
    program.keys("ctrl+a")
    program.type(text)
    program.wait("%r in %s" % (text, edit),
                 lambda s: True if program.control(form, edit)["text"] == text else None)


def click_tab(program, window, text):
    def tab(state):
        for t in (program.window_in(state, window) or {"tabs": []})["tabs"]:
            if t["text"].replace("&", "") == text:
                return t
        return None
    program.click_box(program.wait("the tab %s in %s" % (text, window), tab)["box"])


def calc_file_lines(path):
    with open(path, "rb") as f:
        return f.read().split(b"\r\n")


def calc_torque_and_close(program, torque, button, caption):
    """The load form by its menu key; the torque typed; Calc, then the button that closes it."""
    program.open_input_form("l", "TForm_kv6load", "the load form")
    program.step("the torque %s typed into the load form, Calc, then %s" % (torque, caption))
    type_into(program, "TForm_kv6load", "Edit_t", torque)
    program.click("TForm_kv6load", "Button_calc")
    program.settle()
    program.click("TForm_kv6load", button)
    program.wait_no_window("TForm_kv6load")
    program.focus_main_window()


def worked_example(program):
    """File, Open of the worked example; the load form by its menu key; a torque typed; Calc, OK;
    File, Save: the file holds the typed torque and nothing else changed; View, Printout shows the
    results the command line's report of the saved file has. Then a file whose calculation stops
    shows nothing of the worked example."""
    example = program.work("p3g60.kv6")
    shutil.copyfile(os.path.join(program.options.source, "tests/calc/golden/p3g60.kv6"), example)
    before = calc_file_lines(example)
    program.focus_main_window()
    open_calc_file(program, example)
    calc_torque_and_close(program, "1500", "Button_ok", "OK")
    program.step("File, Save")
    program.keys("ctrl+s")
    after = program.wait("the saved file to change",
                         lambda s: calc_file_lines(example) if calc_file_lines(example) != before
                         else None)
    # The first lines name the program that wrote the file.
    changed = [(i + 1, b.decode("cp850"), a.decode("cp850"))
               for i, (b, a) in enumerate(zip(before, after)) if b != a and i >= PROGRAM_LINES]
    if len(before) != len(after) or changed != [(TORQUE_LINE, "1000.0000000", "1500.0000000")]:
        program.fail("the saved file should differ from the example only in the torque "
                     "1500.0000000; lines changed (line, before, after): %s%s"
                     % (changed, "" if len(before) == len(after) else
                        "; %d lines became %d" % (len(before), len(after))))
    program.step("View, Printout: the report of the typed torque")
    program.menu("View", "Printout")
    viewer = program.wait_window("TForm_showtextfile")
    shown = [c["text"] for c in viewer["controls"] if c["name"] == "Memo1"]
    expected = command_line_report(program, example)
    for name, pattern in REPORT_RESULTS:
        on_screen = report_value(pattern, shown[0] if shown else "")
        written = report_value(pattern, expected)
        if on_screen is None or on_screen != written:
            program.fail("the report on the screen shows %s = %s; the command line's report of the "
                         "saved file has %s" % (name, on_screen, written))
    program.keys("Escape")
    program.wait_no_window("TForm_showtextfile")
    program.focus_main_window()
    a_stopped_load_after(program, example)
    exit_program(program)


def a_stopped_load_after(program, example):
    """File, Open of a copy of the example with d1 = 0: Escape leaves the calculation's messages;
    the drawing is no longer the example's, and View, Printout says that the calculation stopped,
    without the example's results."""
    stops = program.work("d1null.kv6")
    lines = calc_file_lines(example)
    lines[D1_LINE - 1] = b"0"
    with open(stops, "wb") as f:
        f.write(b"\r\n".join(lines))
    sheet = program.window_in(program.settle(), "QMainWindow")["drawing"]
    program.step("File, Open of d1null.kv6, whose calculation stops at d1 = 0")
    program.keys("ctrl+o")
    program.wait_window("QFileDialog")
    type_file_name(program, stops)
    program.keys("Return")
    program.wait_no_window("QFileDialog")
    program.step("Escape leaves the calculation's messages")
    program.wait_window("QDialog")
    program.keys("Escape")
    program.wait_no_window("QDialog")
    program.focus_main_window()
    window = program.wait("the file's name in the main window's title",
                          lambda s: program.window_in(s, "QMainWindow") if "d1null" in
                          program.window_in(s, "QMainWindow")["title"] else None)
    if window["drawing"] == sheet:
        program.fail("the drawing still shows the worked example's sheet")
    report = printout(program, "after the stopped load")
    if "The calculation stopped" not in report or "d1 = 0" not in report:
        program.fail("the printout does not say that the calculation stopped at d1 = 0:\n      %s"
                     % "\n      ".join(report.splitlines()[:16]))
    shown = [name for name, pattern in REPORT_RESULTS if report_value(pattern, report) is not None]
    if shown:
        program.fail("the printout after the stopped load shows the results %s" % shown)


def printout(program, what):
    """View, Printout: the report's text as the viewer shows it, then Escape."""
    program.step("View, Printout %s" % what)
    program.menu("View", "Printout")
    viewer = program.wait_window("TForm_showtextfile")
    shown = [c["text"] for c in viewer["controls"] if c["name"] == "Memo1"]
    if not shown or not shown[0].strip():
        program.fail("the report viewer shows no report")
    program.keys("Escape")
    program.wait_no_window("TForm_showtextfile")
    program.focus_main_window()
    # The head's date and time are those of the printout.
    return re.sub(REPORT_TIME, "<time>", shown[0])


def report_file_line(report):
    match = re.search(REPORT_FILE, report, re.I | re.M)
    return match.group(1) if match else None


def same_report(program, before, what):
    after = printout(program, what)
    if report_file_line(after) != report_file_line(before):
        program.fail("the report's file line became %r %s; it was %r"
                     % (report_file_line(after), what, report_file_line(before)))
    if after != before:
        changed = list(difflib.unified_diff(before.splitlines(), after.splitlines(), "before",
                                            "after", n=0, lineterm=""))
        program.fail("the report changed %s:\n      %s" % (what, "\n      ".join(changed[:16])))


def save_calc_file(program, path):
    """File, Save: the file as it is written anew (a new file renamed over the old one)."""
    program.step("File, Save of %s" % os.path.basename(path))
    before = os.stat(path)
    program.keys("ctrl+s")
    program.wait("the file written anew",
                 lambda s: True if os.stat(path).st_ino != before.st_ino or
                 os.stat(path).st_mtime_ns != before.st_mtime_ns else None)
    return calc_file_lines(path)


def pick_last_row(program, form, button, what, edits, expected):
    """The last row of the browse that the form's button opens, taken with Enter: the form shows
    it."""
    program.step("%s: the table's last row" % what)
    program.click(form, button)
    program.wait_window("dbf4")
    program.keys("ctrl+End", "Return")
    program.wait_no_window("dbf4")
    program.wait_window(form)
    program.settle()
    shown = tuple(program.control(form, edit)["text"] for edit in edits)
    if shown != expected:
        program.fail("%s shows %s after the pick, not %s" % (form, shown, expected))


def pick_switch_units_cancel(program, key, form, form_text, pick, units):
    """An input form opened, a row picked, the unit button pressed, then Cancel."""
    program.open_input_form(key, form, form_text)
    pick_last_row(program, form, *pick)
    program.step('"%s", then Cancel in %s' % (units, form_text))
    program.click(form, "Button_metric")
    program.settle()
    program.wait_window(form)
    program.click(form, "Button_cancel")
    program.wait_no_window(form)
    program.focus_main_window()


def cancel_and_close_keep_the_connection(program):
    """File, Open of the worked example in the user's folder, where the first start put it; the
    shaft's material picked in the material form, then Cancel: the report is unchanged; a material
    pick, "Mpa <--> psi", Cancel, then a profile pick, "mm <--> inch", Cancel (the units are
    metric again): the report and the saved file are unchanged; the table of calculation files
    looked at and closed without a pick: the window's title, the report and its file line are
    unchanged."""
    example = os.path.join(program.root, "data", "brelcor", "kv6", "p3g60.kv6")
    program.focus_main_window()
    program.step("the worked example in the user's folder after the first start")
    if not os.path.isfile(example):
        program.fail("the first start put no p3g60.kv6 into %s: %s"
                     % (os.path.dirname(example), sorted(os.listdir(os.path.dirname(example)))))
    open_calc_file(program, example)
    title = program.window_in(program.state(), "QMainWindow")["title"]
    report = printout(program, "of the worked example")
    file_line = report_file_line(report)
    if file_line is None or not file_line.lower().endswith("p3g60.kv6"):
        program.fail("the report's file line names %r, not the worked example; its head:\n      %s"
                     % (file_line, "\n      ".join(report.splitlines()[:6])))

    saved = save_calc_file(program, example)

    material_pick = ("Button_mat1", "the shaft's material pick", ("Edit_Name1", "Edit_Re1"),
                     PICKED_MATERIAL)
    program.open_input_form("m", "TForm_kvwst", "the material form")
    pick_last_row(program, "TForm_kvwst", *material_pick)
    program.step("Cancel in the material form")
    program.click("TForm_kvwst", "Button_cancel")
    program.wait_no_window("TForm_kvwst")
    program.focus_main_window()
    same_report(program, report, "after the material pick and Cancel")

    pick_switch_units_cancel(program, "m", "TForm_kvwst", "the material form", material_pick,
                             "Mpa <--> psi")
    pick_switch_units_cancel(program, "d", "TForm_kv6abm", "the dimensions form",
                             ("Button_db", 'the profile pick "DIN 32711"', ("Label_db",),
                              (PICKED_PROFILE,)), "mm <--> inch")
    same_report(program, report, "after the picks, the unit buttons and Cancel")
    now = save_calc_file(program, example)
    if now[PROGRAM_LINES:] != saved[PROGRAM_LINES:]:
        changed = [(i + 1, b.decode("cp850"), a.decode("cp850"))
                   for i, (b, a) in enumerate(zip(saved, now)) if b != a]
        program.fail("the file saved after the picks, the unit buttons and Cancel differs from "
                     "the one saved before (line, before, after): %s" % changed[:8])

    program.step("File, Open... (Table): the table of calculation files")
    program.menu("File", "Open... (Table)")
    program.wait_window("TForm_preview")
    program.step("Escape closes the table without a pick")
    program.keys("Escape")
    program.wait_no_window("TForm_preview")
    program.focus_main_window()
    now = program.window_in(program.settle(), "QMainWindow")["title"]
    if now != title:
        program.fail("the window's title became %r after the table of files; it was %r"
                     % (now, title))
    same_report(program, report, "after the table of files closed without a pick")
    exit_program(program)


def a_recent_file_found_under_another_case(program):
    """A recent file renamed to another letter case: File, 1, File, Save writes the new name."""
    listed, on_disk = program.work("Welle ø60 größer.kv6"), program.work("Welle Ø60 größer.kv6")
    shutil.copyfile(os.path.join(program.options.source, "tests/calc/golden/p3g60.kv6"), listed)
    program.focus_main_window()
    open_calc_file(program, listed)
    os.rename(listed, on_disk)
    program.step("File, 1: the recent entry, now found as %s" % os.path.basename(on_disk))
    program.keys("alt+f")
    program.wait_popup("File")
    program.keys("1")
    program.focus_main_window()
    save_calc_file(program, on_disk)
    if os.path.exists(listed):
        program.fail("File, Save wrote %s, a name the file no longer has" % listed)
    exit_program(program)


MESSAGE_PREFIX = re.compile(r"(Fatal  :|Error  :|Warning:)")


def message_count_item(program):
    """The View menu opened: the error messages item's count and whether it is enabled."""
    def entry(state):
        window = program.window_in(state, "QMainWindow")
        for action in window["menuBar"] if window else []:
            if action["text"].replace("&", "") == "View":
                return action
        return None
    program.click_box(program.wait("menu View in the menu bar", entry)["box"])

    def item(state):
        popup = state["popup"]
        if not popup or popup["title"].replace("&", "") != "View":
            return None
        for action in popup["actions"]:
            match = re.fullmatch(r"Error messages \((\d+)\)", action["text"].replace("&", ""))
            if match:
                return action, int(match.group(1))
        return None
    return program.wait("the item Error messages (n) in the open menu View", item)


def messages_shown(program):
    """View, Error messages (n): n, and the messages its report shows (none while disabled)."""
    action, count = message_count_item(program)
    if not action["enabled"]:
        program.keys("Escape")
        program.settle()
        program.focus_main_window()
        return count, 0
    program.click_box(action["box"])
    viewer = program.wait_window("TForm_showtextfile")
    shown = [c["text"] for c in viewer["controls"] if c["name"] == "Memo1"]
    program.keys("Escape")
    program.wait_no_window("TForm_showtextfile")
    program.focus_main_window()
    return count, len(MESSAGE_PREFIX.findall(shown[0] if shown else ""))


def calc_then_cancel_counts_the_messages(program):
    """File, Open of the worked example (one warning); a torque that overloads it typed into the
    load form, Calc, then Cancel, which keeps the calculated connection: the View menu's count is
    that of the messages its report shows, before and after."""
    example = program.work("p3g60.kv6")
    shutil.copyfile(os.path.join(program.options.source, "tests/calc/golden/p3g60.kv6"), example)
    program.focus_main_window()
    open_calc_file(program, example)
    for torque in ("1000000", "1000"):
        before = messages_shown(program)
        calc_torque_and_close(program, torque, "Button_cancel", "Cancel")
        program.step("View, Error messages (n) after Calc and Cancel")
        count, shown = messages_shown(program)
        if count != shown or (count, shown) == before:
            program.fail("the View menu counts %d messages, its report shows %d; before the Calc "
                         "they were %d and %d" % (count, shown, before[0], before[1]))
    exit_program(program)


def load_form_torque(program):
    """Edit, Load: the torque the load form shows, then Cancel."""
    program.open_input_form("l", "TForm_kv6load", "the load form")
    torque = program.control("TForm_kv6load", "Edit_t")["text"]
    program.click("TForm_kv6load", "Button_cancel")
    program.wait_no_window("TForm_kv6load")
    program.focus_main_window()
    return torque


def open_example_load_form(program):
    """File, Open of a copy of the worked example, then its load form; the copy's path and the
    torque the form shows."""
    example = program.work("p3g60.kv6")
    shutil.copyfile(os.path.join(program.options.source, "tests/calc/golden/p3g60.kv6"), example)
    program.focus_main_window()
    open_calc_file(program, example)
    program.open_input_form("l", "TForm_kv6load", "the load form")
    return example, program.control("TForm_kv6load", "Edit_t")["text"]


def refusal_of_torque(program, text, button="Button_ok"):
    """text typed as the load form's torque, then the button (OK): the texts of the message box
    where the form refuses it, None where the form closes."""
    type_into(program, "TForm_kv6load", "Edit_t", text)
    program.click("TForm_kv6load", button)
    box = program.window_in(program.wait("the load form to close or to refuse the torque",
                                         lambda s: s if program.window_in(s, "QMessageBox") or
                                         not program.window_in(s, "TForm_kv6load") else None),
                            "QMessageBox")
    if box is None:
        return None
    return [c["text"] for c in box["controls"] if c["name"] == "qt_msgbox_label"]


def torque_after_save_and_open(program, example):
    """The load form closed, File, Save, File, Open: the torque the load form shows then."""
    program.wait_no_window("TForm_kv6load")
    program.focus_main_window()
    save_calc_file(program, example)
    open_calc_file(program, example)
    program.step("the load form after File, Save and File, Open")
    return load_form_torque(program)


def a_torque_the_file_cannot_keep(program):
    """File, Open of the worked example; the torque 1e400 typed into the load form, then OK: the
    form refuses it with the range message, shows the old torque again and keeps its size, or it
    takes it; OK, File, Save, File, Open: the load form shows the torque it took."""
    example, old = open_example_load_form(program)
    size = program.wait_window("TForm_kv6load")["box"][2:]
    program.step("the torque 1e400 typed into the load form, then OK")
    said = refusal_of_torque(program, "1e400")
    taken = "1e400"
    if said is not None:
        program.step("the range message, then Return")
        if not said or not said[0].startswith("Valid Data are: "):
            program.fail("the load form refused 1e400 with %s, not the range message" % said)
        program.keys("Return")
        program.wait_no_window("QMessageBox")
        form = program.wait("the load form again",
                            lambda s: program.window_in(s, "TForm_kv6load"))
        taken = program.control("TForm_kv6load", "Edit_t")["text"]
        if taken != old or form["box"][2:] != size:
            program.fail("after the refusal the load form shows the torque %r, not %r, and "
                         "measures %s, not %s" % (taken, old, form["box"][2:], size))
        program.step("OK in the load form with its old torque")
        program.click("TForm_kv6load", "Button_ok")
    shown = torque_after_save_and_open(program, example)
    if float(shown) != float(taken):
        program.fail("the load form shows the torque %s after File, Save and File, Open; it took "
                     "%s" % (shown, taken))
    exit_program(program)


def a_unit_typed_into_the_torque(program):
    """File, Open of the worked example; "1000 Nm" typed as the torque, then OK: the range
    message, Return, the old torque shown again; 777, Calc, then "777 Nm", Calc: the range
    message, Return, the torque of the Calc shown again; OK, File, Save, File, Open: 777."""
    example, old = open_example_load_form(program)
    for text, (button, caption), shown in (("1000 Nm", ("Button_ok", "OK"), old),
                                           ("777 Nm", ("Button_calc", "Calc"), "777")):
        if shown == "777":
            program.step("777 typed as the torque, then Calc")
            type_into(program, "TForm_kv6load", "Edit_t", "777")
            program.click("TForm_kv6load", "Button_calc")
            program.settle()
        program.step('"%s" typed as the torque, then %s' % (text, caption))
        said = refusal_of_torque(program, text, button) or []
        if not said or not said[0].startswith("Valid Data are: "):
            program.fail('the load form took "%s" with %s, not the range message' % (text, said))
        program.keys("Return")
        program.wait_no_window("QMessageBox")
        now = program.control("TForm_kv6load", "Edit_t")["text"]
        if now != shown:
            program.fail('after the refusal of "%s" the torque shows %r, not %r' % (text, now, shown))
    program.click("TForm_kv6load", "Button_ok")
    if float(torque_after_save_and_open(program, example)) != 777:
        program.fail("File, Save did not keep the torque 777 of the last Calc")
    exit_program(program)


def configuration_captions(program):
    """File, Settings: the choices of the CAD and Printout pages stand beside their captions, and
    the hidden fields of the external page leave no caption behind; Cancel."""
    program.focus_main_window()
    program.step("File, Settings")
    program.keys("alt+f")
    program.wait_popup("File")
    program.keys("t")
    program.wait_window("Tconfig")
    pages = (("CAD", {"Label_cadstltype": "STL Type"}, ()),
             ("Printout", {"Label_lpt": "LPT-Interface for text printing",
                           "Label_ausdruckdefault": "output code",
                           "Label_textwindowsizecode": "Text window", "Label_unit": "Unit"}, ()),
             ("external", {"Label_handbuchdir": " E-Manual (kv6.htm)"},
              ("Label_externtxt", "Label_externhtml")))
    for page, captions, hidden in pages:
        program.step("the %s page of the settings" % page)
        click_tab(program, "Tconfig", page)
        for label, caption in captions.items():
            program.wait("%s to show %r" % (label, caption),
                         lambda s, l=label, c=caption: True
                         if program.control("Tconfig", l)["text"] == c else None)
        shown = [c["name"] for c in program.window_in(program.settle(), "Tconfig")["controls"]]
        orphans = [label for label in hidden if label in shown]
        if orphans:
            program.fail("the %s page shows %s without their fields" % (page, orphans))
    program.step("Cancel in the settings")
    program.click("Tconfig", "Button_cancel")
    program.wait_no_window("Tconfig")
    program.focus_main_window()
    exit_program(program)


def report_value(pattern, text):
    match = re.search(pattern, text)
    return match.group(1) if match else None


def command_line_report(program, calc_file):
    """The report that "wkv6 FILE /I" writes for a copy of the file, in a folder of its own."""
    folder = os.path.join(program.root, "command-line")
    os.makedirs(folder)
    shutil.copy(calc_file, folder)
    env = {k: v for k, v in program.env.items()
           if k not in ("DISPLAY", "QT_QPA_PLATFORM", "LD_PRELOAD")}
    result = subprocess.run([program.options.wkv6, os.path.basename(calc_file), "/I"], cwd=folder,
                            env=env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, timeout=60, check=False)
    report = os.path.join(folder, os.path.splitext(os.path.basename(calc_file))[0] + ".txt")
    if result.returncode != 0 or not os.path.exists(report):
        program.fail("wkv6 %s /I exited %d and wrote no report: %s"
                     % (os.path.basename(calc_file), result.returncode, result.stdout[-2000:]))
    with open(report, encoding="cp1252", errors="replace") as f:
        return f.read()


def dbf_field_names(path):
    """The field names of a dBase table, from its header."""
    with open(path, "rb") as f:
        header = f.read(32)
        header_length = int.from_bytes(header[8:10], "little")
        fields = f.read(header_length - 32)
    names = []
    for start in range(0, len(fields) - 31, 32):
        if fields[start] == 0x0D:
            break
        names.append(fields[start:start + 11].split(b"\0")[0].decode("ascii"))
    return names


def check_browse(program, table, what):
    """The open browse shows the table's own fields as its headings and values in its cells."""
    expected = dbf_field_names(os.path.join(program.options.source, "data", table))
    grid = program.wait("the browse of %s with its grid" % table,
                        lambda s: (program.window_in(s, "dbf4") or {"grids": [None]})["grids"][0])
    headings = [h.strip().upper() for h in grid["headings"]]
    if headings != expected:
        program.fail("%s shows the headings %s, not the fields of %s: %s"
                     % (what, grid["headings"], table, expected))
    if grid["rows"] == 0 or not any(cell.strip() for cell in grid["firstRow"]):
        program.fail("%s shows no values in its first row: %s" % (what, grid["firstRow"]))


def pick_in_input_form(program, key, form, form_text, button, pick_text, table):
    """Opens an input form, picks the first row of its table's browse with Enter, and closes the
    form with OK; the browse must show the table's own fields."""
    program.focus_main_window()
    program.open_input_form(key, form, form_text)
    program.step(pick_text)
    program.click(form, button)
    program.wait_window("dbf4")
    check_browse(program, table, pick_text)
    program.keys("Return")
    program.wait_window(form)
    program.click(form, "Button_ok")
    program.wait_no_window(form)


def browse_headings(program):
    """A profile pick, a material pick, then Database, Material type: each browse shows its own
    table's fields."""
    pick_in_input_form(program, "d", "TForm_kv6abm", "the dimensions form", "Button_db",
                       'the profile pick "DIN 32711"', "p3g.dbf")
    pick_in_input_form(program, "m", "TForm_kvwst", "the material form", "Button_mat1",
                       "the shaft's material pick", "rkm1base.dbf")
    program.focus_main_window()
    program.step("Database, Material type")
    program.menu("Database", "Material type")
    program.wait_window("dbf4")
    check_browse(program, "kv3wstyp.dbf", "Database, Material type")
    a_number_cell_refuses_text(program)
    program.keys("Escape")
    program.wait_no_window("dbf4")
    program.focus_main_window()
    exit_program(program, "Discard previous input data ?")


def a_number_cell_refuses_text(program):
    """"abc" typed into the open browse's number cell FS_KEY, then Return: the valid-data message;
    Return, and Escape drops the text: the cell shows its value as before."""
    program.step('"abc" typed into the first row\'s FS_KEY, then Return')
    before = program.wait("the grid", lambda s: program.window_in(s, "dbf4")["grids"][0])
    program.keys("Right", "Right")
    program.type("abc")
    program.keys("Return")
    box = program.wait_window("QMessageBox")
    said = [c["text"] for c in box["controls"] if c["name"] == "qt_msgbox_label"]
    if not said or not said[0].startswith("Valid Data are: "):
        program.fail('the browse answered "abc" with %s, not the valid-data message' % said)
    program.step("Return closes the message, Escape drops the text")
    program.keys("Return")
    program.wait_no_window("QMessageBox")
    program.keys("Escape")
    after = program.wait("the grid", lambda s: program.window_in(s, "dbf4")["grids"][0])
    if after["firstRow"] != before["firstRow"]:
        program.fail("the first row became %s; it was %s" % (after["firstRow"], before["firstRow"]))


def print_proportions(program):
    """Drawing 8 of the worked example printed with the A4 setup from a 1600 x 1000 window: the
    circles in the PDF are round."""
    example = program.work("p3g60.kv6")
    shutil.copyfile(os.path.join(program.options.source, "tests/calc/golden/p3g60.kv6"), example)
    program.focus_main_window()
    program.step("File, Settings: the drawing window made 1600 x 1000 on the Graphics page")
    program.keys("alt+f")
    program.wait_popup("File")
    program.keys("t")
    program.wait_window("Tconfig")
    click_tab(program, "Tconfig", "Graphics")
    program.click("Tconfig", "ComboBox_screensizecode")
    program.settle()
    program.keys("Home", "Return")
    program.wait("the window size taken from the input",
                 lambda s: True if program.control("Tconfig", "ComboBox_screensizecode")["text"]
                 == "Input" else None)
    type_into(program, "Tconfig", "Edit_x", "1600")
    type_into(program, "Tconfig", "Edit_y", "1000")
    program.click("Tconfig", "Button_ok")
    program.wait_no_window("Tconfig")
    program.focus_main_window()
    program.wait("the drawing window at 1600 x 1000",
                 lambda s: True if program.window_in(s, "QMainWindow")["client"] == [1600, 1000]
                 else None)
    open_calc_file(program, example)
    program.step("View, Shaft + Hub Production drawing")
    program.menu("View", "Shaft + Hub Production drawing")
    program.settle()
    program.step("File, Print: the print form")
    program.keys("ctrl+p")
    program.wait_window("TForm_printconf")
    program.step("Database in the print form: the A4 setup picked")
    program.click("TForm_printconf", "Button_db")
    program.wait_window("dbf4")
    grid = program.wait("the setups in the browse",
                        lambda s: (program.window_in(s, "dbf4") or {"grids": [None]})["grids"][0])
    if not grid["firstRow"] or not grid["firstRow"][0].startswith("A4"):
        program.fail("the first setup is not the A4 one: %s" % grid["firstRow"])
    setup = grid["firstRow"]
    program.keys("Return")
    program.wait_no_window("dbf4")
    program.wait_window("TForm_printconf")
    scales = [program.control("TForm_printconf", edit)["text"]
              for edit in ("Edit_scalex", "Edit_scaley")]
    if [float(v) for v in scales] != [float(v) for v in setup[1:3]]:
        program.fail("the print form took the scales %s, not the A4 setup's %s"
                     % (scales, setup[1:3]))
    program.step("OK in the print form prints the drawing")
    program.click("TForm_printconf", "Button_ok")
    box = program.wait_window("QMessageBox", 60)
    texts = [c["text"] for c in box["controls"] if c["text"].startswith("PDF: ")]
    if not texts:
        program.fail("the box after printing names no PDF: %s"
                     % [c["text"] for c in box["controls"]])
    pdf = texts[0][len("PDF: "):]
    program.keys("Return")
    program.wait_no_window("QMessageBox")
    program.focus_main_window()
    exit_program(program)
    program.step("the circles of the PDF %s" % pdf)
    if not os.path.isfile(pdf):
        program.fail("no file %s" % pdf)
    check_circles(program, pdf)


def check_circles(program, pdf):
    found = pdf_circles(pdf)
    measured = ", ".join("%.2f x %.2f" % c for c in found)
    if not found:
        program.fail("the PDF draws no circle")
    out_of_round = [c for c in found if abs(c[0] / c[1] - 1) > TOLERANCE]
    if out_of_round:
        program.fail("circles out of round by more than 1 %%: %s mm across x down"
                     % ", ".join("%.2f x %.2f" % c for c in out_of_round))
    for diameter in EXAMPLE_CIRCLES_MM:
        if not any(abs(across - diameter) <= TOLERANCE * diameter and
                   abs(down - diameter) <= TOLERANCE * diameter for across, down in found):
            program.fail("the M 1:1 drawing has no circle of %.1f mm within 1 %%; its circles "
                         "measure %s mm across x down" % (diameter, measured))


PARTS = {
    "help-image-then-menu": help_image_then_menu,
    "worked-example": worked_example,
    "browse-headings": browse_headings,
    "print-proportions": print_proportions,
    "a-unit-typed-into-the-torque": a_unit_typed_into_the_torque,
    "cancel-and-close-keep-the-connection": cancel_and_close_keep_the_connection,
    "a-recent-file-found-under-another-case": a_recent_file_found_under_another_case,
    "configuration-captions": configuration_captions,
    "calc-then-cancel-counts-the-messages": calc_then_cancel_counts_the_messages,
    "a-torque-the-file-cannot-keep": a_torque_the_file_cannot_keep,
}


def run_part(options, name):
    log("== %s%s" % (name, " under valgrind" if options.valgrind else ""))
    display = Display(30)
    root = tempfile.mkdtemp(prefix="kv6walk.")
    program = None
    try:
        program = Program(options, display.name, root)
        PARTS[name](program)
        log("   passed")
        return True
    except WalkFailure as failure:
        log("FAIL %s: %s" % (name, failure))
        errors = program.memory_errors() if program is not None else None
        if errors and errors not in str(failure):
            log("    before that, " + errors)
        return False
    finally:
        if program is not None:
            program.stop()
        display.stop()
        if options.keep:
            log("   kept " + root)
        else:
            shutil.rmtree(root, ignore_errors=True)


def main():
    # A timeout's SIGTERM ends the walk through its clean-up: the program and Xvfb stop, the
    # part's folder goes.
    signal.signal(signal.SIGTERM, lambda number, frame: sys.exit("walk.py: terminated"))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--wkv6", required=True)
    parser.add_argument("--probe", required=True)
    parser.add_argument("--source", required=True)
    parser.add_argument("--valgrind", action="store_true")
    parser.add_argument("--keep", action="store_true", help="keep each part's folder")
    parser.add_argument("parts", nargs="*", default=list(PARTS))
    options = parser.parse_args()
    options.wkv6 = os.path.abspath(options.wkv6)
    options.probe = os.path.abspath(options.probe)
    unknown = [p for p in options.parts if p not in PARTS]
    if unknown:
        parser.error("unknown parts %s; the parts are %s" % (unknown, list(PARTS)))
    failed = [name for name in options.parts if not run_part(options, name)]
    passed = len(options.parts) - len(failed)
    print("%d passed, %d failed" % (passed, len(failed)))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
