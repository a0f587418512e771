"""Real input for the real programs: a private X server (Xvfb) with an
optional window manager (openbox), programs started on it with their
standard output collected line by line, and xdotool's pointer and keys.

Everything waits on something it can observe (a line of output, a window
appearing or going, pixels changing), with generous deadlines, so a loaded
machine only makes a run slower. Everything started here runs in its own
process group and is ended on close, whatever happened.
"""

import argparse
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

# Deadlines are long: a loaded two-core machine may take seconds to map a
# window. Nothing waits this long unless something is wrong.
DEADLINE = 30.0
POLL = 0.05
# Longer than any desktop's double-click interval.
DOUBLE_CLICK_INTERVAL = 1.0


class Failure(AssertionError):
    pass


def wait_for(what, test, deadline=DEADLINE):
    """Polls @test until it gives something true, and returns that."""
    end = time.monotonic() + deadline
    while True:
        value = test()
        if value:
            return value
        if time.monotonic() > end:
            raise Failure("timed out waiting for " + what)
        time.sleep(POLL)


def _kill_group(proc):
    if proc is None or proc.poll() is not None:
        return
    try:
        os.killpg(proc.pid, signal.SIGTERM)
        proc.wait(timeout=5)
    except (ProcessLookupError, subprocess.TimeoutExpired):
        try:
            os.killpg(proc.pid, signal.SIGKILL)
            proc.wait(timeout=5)
        except (ProcessLookupError, subprocess.TimeoutExpired):
            pass


class Image:
    """An RGB screenshot: rows of bytes, three per pixel."""

    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, data

    def pixel(self, x, y):
        if not (0 <= x < self.width and 0 <= y < self.height):
            return None
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])

    @staticmethod
    def from_ppm(raw):
        # P6, then width, height and maximum value, separated by white space.
        fields, at = [], 0
        while len(fields) < 4:
            while raw[at:at + 1].isspace():
                at += 1
            start = at
            while not raw[at:at + 1].isspace():
                at += 1
            fields.append(raw[start:at])
        if fields[0] != b"P6" or fields[3] != b"255":
            raise Failure("unexpected screenshot format")
        width, height = int(fields[1]), int(fields[2])
        data = raw[at + 1:at + 1 + width * height * 3]
        if len(data) != width * height * 3:
            raise Failure("short screenshot")
        return Image(width, height, data)


class Program:
    """A program on the session's display; its standard output is kept."""

    def __init__(self, args, env, log_name):
        self.args = args
        self.lines = []
        self._changed = threading.Condition()
        self._stderr = open(log_name, "wb")
        self.proc = subprocess.Popen(args, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                     stderr=self._stderr, start_new_session=True)
        self._reader = threading.Thread(target=self._read, daemon=True)
        self._reader.start()

    def _read(self):
        for raw in self.proc.stdout:
            with self._changed:
                self.lines.append(raw.decode("utf-8", "replace").rstrip("\n"))
                self._changed.notify_all()

    def wait_line(self, pattern, after=0, deadline=DEADLINE):
        """Index of the first line from @after on that matches @pattern."""
        regex = re.compile(pattern)

        def found():
            for i in range(after, len(self.lines)):
                if regex.search(self.lines[i]):
                    return i + 1  # never 0, so it counts as found
            if self.proc.poll() is not None:
                raise Failure("%s ended (%s) while waiting for %r; output: %r"
                              % (self.args[0], self.proc.returncode, pattern, self.lines))
            return None

        return wait_for(repr(pattern) + " in the output, got %r" % self.lines[after:], found, deadline) - 1

    def close(self):
        _kill_group(self.proc)
        self._stderr.close()


class XSession:
    """A private X server of 1280 x 1024 pixels, optionally with openbox."""

    def __init__(self, workdir, dpi=96, window_manager=True, extra_env=None):
        for tool in ("Xvfb", "xdotool", "xwininfo", "xprop", "import"):
            if shutil.which(tool) is None:
                raise Failure(tool + " is missing: scripts/bootstrap.sh installs it")
        self.workdir = workdir
        self.programs = []
        self._last_click = None
        self.wm = None
        # Xvfb picks a free display itself and writes its number to the pipe,
        # so sessions started side by side never share one.
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-dpi", str(dpi),
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
            stderr=open(os.path.join(workdir, "xvfb.log"), "wb"), start_new_session=True)
        os.close(write_end)
        try:
            number = b""
            end = time.monotonic() + DEADLINE
            while not number.endswith(b"\n"):
                if time.monotonic() > end or self.xvfb.poll() is not None:
                    raise Failure("Xvfb did not start")
                ready, _, _ = select.select([read_end], [], [], POLL)
                if ready:
                    chunk = os.read(read_end, 16)
                    if not chunk:
                        raise Failure("Xvfb did not say its display")
                    number += chunk
        finally:
            os.close(read_end)
        self.display = ":" + number.decode().strip()
        env = {k: v for k, v in os.environ.items() if k not in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        env.update({"DISPLAY": self.display, "QT_QPA_PLATFORM": "xcb", "XDG_RUNTIME_DIR": workdir})
        env.update(extra_env or {})
        self.env = env
        try:
            if window_manager:
                self._start_window_manager()
        except BaseException:
            self.close()
            raise

    def _start_window_manager(self):
        if shutil.which("openbox") is None:
            raise Failure("openbox is missing: scripts/bootstrap.sh installs it")
        self.wm = subprocess.Popen(["openbox", "--sm-disable"], env=self.env, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL,
                                   stderr=open(os.path.join(self.workdir, "openbox.log"), "wb"),
                                   start_new_session=True)
        # A window manager announces itself on the root window.
        wait_for("the window manager",
                 lambda: "window id" in self.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], check=False))

    def close(self):
        for program in reversed(self.programs):
            program.close()
        _kill_group(self.wm)
        _kill_group(self.xvfb)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    # --- programs and tools --------------------------------------------------

    def start(self, args, name):
        program = Program(args, self.env, os.path.join(self.workdir, name + ".stderr"))
        self.programs.append(program)
        return program

    def run(self, args, check=True, binary=False):
        done = subprocess.run(args, env=self.env, stdin=subprocess.DEVNULL, capture_output=True, timeout=DEADLINE)
        if check and done.returncode != 0:
            raise Failure("%s failed: %s" % (" ".join(args), done.stderr.decode(errors="replace")))
        return done.stdout if binary else done.stdout.decode("utf-8", "replace")

    def xdotool(self, *args):
        return self.run(["xdotool"] + [str(a) for a in args])

    # --- windows ---------------------------------------------------------------

    def windows(self, name=None, class_name=None):
        """Visible windows whose title matches @name (a regular expression)."""
        args = ["xdotool", "search", "--onlyvisible"]
        args += ["--name", name] if name is not None else ["--class", class_name]
        return [int(w) for w in self.run(args, check=False).split()]

    def wait_window(self, name, deadline=DEADLINE):
        return wait_for("a window named " + name, lambda: (self.windows(name=name) or [None])[0], deadline)

    def wait_no_window(self, name, deadline=DEADLINE):
        wait_for("no window named " + name, lambda: not self.windows(name=name), deadline)

    def geometry(self, window):
        """(x, y, width, height) of @window's inside, in root coordinates."""
        info = self.run(["xwininfo", "-id", str(window)])
        value = lambda key: int(re.search(key + r":\s+(-?\d+)", info).group(1))
        return (value("Absolute upper-left X"), value("Absolute upper-left Y"), value("Width"), value("Height"))

    def settled_geometry(self, window):
        """geometry() once the window manager has stopped moving @window."""
        last = None
        while True:
            geometry = self.geometry(window)
            if geometry == last:
                return geometry
            last = geometry
            time.sleep(0.2)

    def property(self, window, name):
        return self.run(["xprop", "-id", str(window), name], check=False)

    def close_button(self, window):
        """Where the window manager's close button of @window is: openbox ends
        the title bar with it, a square as high as the bar."""
        extents = self.property(window, "_NET_FRAME_EXTENTS")
        if "=" not in extents:
            raise Failure("the window manager has not framed the window: " + extents)
        _, right, top, _ = (int(v) for v in extents.split("=")[1].split(","))
        x, y, width, _ = self.geometry(window)
        return (x + width + right - 1 - top // 2, y - top // 2)

    # --- input -------------------------------------------------------------------

    def pointer(self):
        """Where the pointer is, in root coordinates."""
        fields = dict(line.split("=", 1) for line in self.xdotool("getmouselocation", "--shell").split())
        return (int(fields["X"]), int(fields["Y"]))

    def move(self, x, y):
        # --sync waits for the pointer to leave where it was: a move to where
        # it already is would wait out xdotool's own timeout of seconds.
        if self.pointer() != (int(x), int(y)):
            self.xdotool("mousemove", "--sync", int(x), int(y))

    def click(self, x, y, button=1, repeat=1):
        self.move(x, y)
        # A click of the same button where the last one landed a moment ago
        # would make a double click of the two: a user meaning two clicks
        # waits that long.
        at = (int(x), int(y), button)
        if self._last_click and self._last_click[0] == at:
            time.sleep(max(0.0, self._last_click[1] + DOUBLE_CLICK_INTERVAL - time.monotonic()))
        # The two clicks of a double-click come well within any interval.
        self.xdotool("click", "--repeat", repeat, "--delay", 60, button)
        self._last_click = (at, time.monotonic())

    def keys(self, *names):
        self.xdotool("key", "--delay", 60, *names)

    # --- pixels ------------------------------------------------------------------

    def screenshot(self):
        return Image.from_ppm(self.run(["import", "-silent", "-window", "root", "-depth", "8", "ppm:-"], binary=True))


def run_case(cases, description):
    """The command line of a real-input test program: runs the one case named,
    on its own server in a fresh work folder, and exits 0 when it passed."""
    parser = argparse.ArgumentParser(description=description, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("case", choices=sorted(cases))
    parser.add_argument("--legendhost", required=True)
    parser.add_argument("--clntool", required=True)
    parser.add_argument("--dpi", type=int, default=96)
    parser.add_argument("--keep", action="store_true", help="keep the work folder")
    args = parser.parse_args()

    workdir = tempfile.mkdtemp(prefix="realinput-")
    extra = {"QT_FONT_DPI": str(args.dpi)} if args.dpi != 96 else {}
    session = None
    try:
        session = XSession(workdir, dpi=args.dpi, extra_env=extra)
        cases[args.case](args, session, workdir)
    except Failure as failure:
        print("FAILED %s: %s" % (args.case, failure))
        if session is not None:
            with open(os.path.join(workdir, "last.ppm"), "wb") as out:
                out.write(session.run(["import", "-silent", "-window", "root", "-depth", "8", "ppm:-"],
                                      binary=True, check=False))
            for program in session.programs:
                print("output of %s: %r" % (program.args[0], program.lines))
        print("work folder: " + workdir)
        sys.exit(1)
    finally:
        if session is not None:
            session.close()
    print("passed " + args.case)
    if not args.keep:
        shutil.rmtree(workdir, ignore_errors=True)
    sys.exit(0)
