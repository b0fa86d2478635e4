"""A private Wine desktop for the end-to-end tests: its own Xvfb display, its
own wineserver, the real vantrel.exe and our small helper programs, and ways to
look at the windows from outside (inspect.exe, xprop) and to be the user
(xdotool).

Every wait here polls for a condition with a deadline; nothing relies on a
fixed sleep being long enough.
"""

import ctypes
import fcntl
import glob
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

WINE = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver"

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
EXE_DIR = os.environ.get("VANTREL_WIN64_DIR", os.path.join(ROOT, "build", "win64"))
OUT_DIR = os.environ.get("VANTREL_E2E_OUT", os.path.join(ROOT, "build", "e2e"))
# One prefix for all tests; they run one at a time, each with its own server.
PREFIX = os.environ.get("VANTREL_E2E_PREFIX", os.path.join(OUT_DIR, "wineprefix"))

SKIPPED = 77  # what CTest is told to read as "skipped"

WS_VISIBLE = 0x10000000
IDOK = 1

# The first start of a fresh prefix takes ~10 s, more on a loaded machine.
START_TIMEOUT = 90
WAIT_TIMEOUT = 20


class Timeout(AssertionError):
    pass


def wait_until(condition, what, timeout=WAIT_TIMEOUT, interval=0.05):
    """Polls condition() until it gives something truthy and returns that;
    fails naming what was awaited (and the last value seen) after timeout."""
    deadline = time.monotonic() + timeout
    last = None
    while True:
        last = condition()
        if last:
            return last
        if time.monotonic() >= deadline:
            raise Timeout("timed out after %gs waiting for %s (last: %r)" % (timeout, what, last))
        time.sleep(interval)


def winpath(path):
    """A Linux path as Wine programs spell it (Wine maps Z: to /)."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def _die_with_parent():
    # A child started here must not outlive the test runner, even when CTest
    # kills the runner on a timeout.
    try:
        libc = ctypes.CDLL("libc.so.6", use_errno=True)
        libc.prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG
    except OSError:
        pass


def _decode_window(w):
    w["class"] = bytes.fromhex(w["class"]).decode("latin-1")
    w["title"] = bytes.fromhex(w["title"])
    for c in w["children"]:
        c["class"] = bytes.fromhex(c["class"]).decode("latin-1")
        c["text"] = bytes.fromhex(c["text"])
        c["shown"] = bool(c["style"] & WS_VISIBLE)  # its own flag, whatever the parent's
    return w


class Dump:
    """One look at the desktop: the Vantrel windows and their message boxes."""

    def __init__(self, data):
        self.screen = tuple(data["screen"])
        self.btnface = data["btnface"]  # COLORREF, 0x00BBGGRR
        self.foreground = data["foreground"]
        self.foreground_title = bytes.fromhex(data["foreground_title"])
        self.windows = [_decode_window(w) for w in data["windows"]]
        self.boxes = [_decode_window(b) for b in data["boxes"]]

    def window(self, pid=None):
        found = [w for w in self.windows if pid is None or w["pid"] == pid]
        return found[0] if len(found) == 1 else None

    def boxes_of(self, pid):
        return [b for b in self.boxes if b["pid"] == pid]


def refusal(key):
    """The message shown when a key cannot be registered, in code page 936:
    "注册" + key + "失败"."""
    return b"\xd7\xa2\xb2\xe1" + key.encode("ascii") + b"\xca\xa7\xb0\xdc"


REFUSAL_CAPTION = b"\xd0\xc5\xcf\xa2\xa3\xba"  # "信息：" in code page 936

# Which text box each function key pastes.
SLOT_BOXES = {"F1": 110, "F2": 120, "F3": 130, "F4": 140, "F5": 150,
              "F6": 170, "F7": 180, "F8": 190, "F9": 200, "F10": 210}
EDIT_IDS = sorted(SLOT_BOXES.values())


def read_receiver_log(path):
    """The records of receiver.exe's log: ("paste", status, bytes) and
    ("char", code), in order."""
    with open(path, "rb") as f:
        data = f.read()
    records, pos = [], 0
    while pos < len(data):
        end = data.find(b"\n", pos)
        if end < 0:
            break  # a record still being written
        fields = data[pos:end].split()
        if fields[0] == b"paste":
            n = int(fields[3])
            if len(data) < end + 1 + n + 1:
                break
            records.append(("paste", fields[2].decode(), data[end + 1:end + 1 + n]))
            pos = end + 1 + n + 1
        else:
            if fields[0] == b"char":
                records.append(("char", int(fields[2])))
            pos = end + 1
    return records


class Receiver:
    """receiver.exe on the desktop: the focused application a paste lands in."""

    def __init__(self, desk):
        self.desk = desk
        self.log = desk.path("receiver.log")
        self.proc = desk.start("receiver.exe", winpath(self.log))
        desk.wait_file(self.log, b"ready")
        self.xid = desk.x_window("Receiver", self.proc)

    def focus(self):
        self.desk.focus(self.xid)

    def records(self):
        return read_receiver_log(self.log)

    def pastes(self):
        return [r for r in self.records() if r[0] == "paste"]

    def wait_paste(self, count, timeout=WAIT_TIMEOUT):
        """Waits for the count-th paste and returns it as (status, bytes)."""
        pastes = wait_until(lambda: len(self.pastes()) >= count and self.pastes(),
                            "paste number %d in the receiver" % count, timeout)
        return pastes[count - 1][1:]


def box_text(box):
    """The message of a message box: the text of its visible static control
    that has one (the icon is a static control without text)."""
    texts = [c["text"] for c in box["children"]
             if c["class"].lower() == "static" and c["text"] and c["shown"]]
    return texts[0] if len(texts) == 1 else None


class WineDesktop:
    """Xvfb + wineserver for one test file. Use as a context manager; the
    display, the server and every program started through it are gone
    afterwards, also when the test failed."""

    def __init__(self, name, size=(1024, 768)):
        self.name = name
        self.size = size
        self.procs = []
        self.xvfb = None
        self.display = None
        self.env = None
        self.work = None
        self.lock = None

    # -- set-up and tear-down ------------------------------------------------

    def __enter__(self):
        try:
            self._start()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def _start(self):
        os.makedirs(OUT_DIR, exist_ok=True)
        # Another run on the same prefix (a second ctest in this tree) would
        # share, and kill, our wineserver: take turns.
        os.makedirs(os.path.dirname(PREFIX), exist_ok=True)
        self.lock = open(PREFIX + ".lock", "w")
        wait_until(self._try_lock, "the Wine prefix to be free (another test run?)", timeout=900,
                   interval=0.5)
        self.work = tempfile.mkdtemp(prefix="vantrel-e2e-")
        self._start_xvfb()
        env = dict(os.environ)
        for key in ("WAYLAND_DISPLAY", "WINESERVER", "WINELOADER"):
            env.pop(key, None)
        env.update(DISPLAY=":%d" % self.display, WINEPREFIX=PREFIX, WINEDEBUG="-all",
                   WINEDLLOVERRIDES="mscoree,mshtml=")
        self.env = env
        # A server left behind by a killed run would own this prefix.
        self._quiet([WINESERVER, "-k"])
        self._quiet([WINESERVER, "-w"], timeout=60)
        # Daemons inherit the output of whoever starts them: start them with
        # nothing attached, so that no later capture is held open by them.
        self._quiet([WINESERVER, "-p"])
        self._quiet([WINE, "cmd", "/c", "exit", "0"], timeout=START_TIMEOUT + 60)

    def _start_xvfb(self):
        read_fd, write_fd = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "%dx%dx24" % self.size,
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            preexec_fn=_die_with_parent)
        os.close(write_fd)
        with os.fdopen(read_fd) as pipe:
            number = pipe.readline().strip()  # Xvfb writes it once it listens
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.display = int(number)
        wait_until(lambda: os.path.exists("/tmp/.X11-unix/X%d" % self.display), "the X socket")

    def _try_lock(self):
        try:
            fcntl.flock(self.lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
            return True
        except BlockingIOError:
            return False

    def _quiet(self, argv, timeout=60):
        return subprocess.run(argv, env=self.env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, timeout=timeout).returncode

    def close(self):
        for proc in self.procs:
            if proc.poll() is None:
                proc.kill()
        for proc in self.procs:
            try:
                proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                pass
        if self.env:
            self._quiet([WINESERVER, "-k"])
            self._quiet([WINESERVER, "-w"], timeout=60)
        if self.xvfb and self.xvfb.poll() is None:
            self.xvfb.terminate()
            try:
                self.xvfb.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.xvfb.kill()
        if self.work:
            shutil.rmtree(self.work, ignore_errors=True)
        if self.lock:
            self.lock.close()  # releases the prefix
            self.lock = None

    # -- programs ------------------------------------------------------------

    def path(self, name):
        """A scratch file of this desktop, never handed out before."""
        self.files = getattr(self, "files", 0) + 1
        return os.path.join(self.work, "%d-%s" % (self.files, name))

    def start(self, exe, *args, log=None):
        """Starts a Windows program of the win64 build; returns its Popen
        (its pid is also the X windows' _NET_WM_PID)."""
        out = open(log or os.devnull, "ab")
        try:
            proc = subprocess.Popen([WINE, os.path.join(EXE_DIR, exe)] + list(args), env=self.env,
                                    stdin=subprocess.DEVNULL, stdout=out, stderr=out,
                                    preexec_fn=_die_with_parent)
        finally:
            out.close()
        self.procs.append(proc)
        return proc

    def start_vantrel(self, *args):
        return self.start("vantrel.exe", *args, log=os.path.join(OUT_DIR, self.name + ".log"))

    def inspect(self, *args, check=True, timeout=60):
        result = subprocess.run([WINE, os.path.join(EXE_DIR, "inspect.exe")] + list(args),
                                env=self.env, stdin=subprocess.DEVNULL, capture_output=True,
                                timeout=timeout)
        if check and result.returncode != 0:
            raise AssertionError("inspect.exe %s: exit %d: %s" % (
                " ".join(args), result.returncode, result.stderr.decode(errors="replace").strip()))
        return result

    def dump(self, pid=None, max_text=65536):
        args = ["--max-text", str(max_text)]
        if pid is not None:
            args += ["--pid", str(pid)]
        return Dump(json.loads(self.inspect(*args, "dump").stdout))

    def set_text(self, cid, data, pid=None):
        """Sets a child's text with WM_SETTEXT from another process."""
        path = self.path("text-%d.bin" % cid)
        with open(path, "wb") as f:
            f.write(data)
        pid_args = ["--pid", str(pid)] if pid is not None else []
        self.inspect(*pid_args, "settext", str(cid), winpath(path))

    def wait_window(self, pid=None, shown=True, timeout=START_TIMEOUT):
        """Waits until exactly one Vantrel window (of that Windows pid) exists
        and, by default, is visible; returns the dump it was seen in."""
        def seen():
            d = self.dump(pid)
            w = d.window(pid)
            return d if w and (w["visible"] or not shown) else None
        return wait_until(seen, "the Vantrel window", timeout)

    def wait_exit(self, proc, timeout=WAIT_TIMEOUT):
        try:
            return proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Timeout("the process did not end within %gs" % timeout) from None

    def wait_file(self, path, marker, timeout=START_TIMEOUT):
        def has():
            try:
                with open(path, "rb") as f:
                    return marker in f.read()
            except FileNotFoundError:
                return False
        wait_until(has, "%r in %s" % (marker, path), timeout)

    # -- X side --------------------------------------------------------------

    def x(self, *argv, check=True, timeout=30):
        result = subprocess.run(list(argv), env=self.env, stdin=subprocess.DEVNULL,
                                capture_output=True, timeout=timeout)
        if check and result.returncode != 0:
            raise AssertionError("%s: exit %d: %s" % (
                " ".join(argv), result.returncode, result.stderr.decode(errors="replace").strip()))
        return result.stdout.decode(errors="replace")

    def x_window(self, title, proc=None, timeout=WAIT_TIMEOUT):
        """The X window of a Wine top-level window with that exact title."""
        argv = ["xdotool", "search", "--all", "--name", "^%s$" % title]
        if proc is not None:
            argv[2:2] = ["--pid", str(proc.pid)]
        def find():
            ids = self.x(*argv, check=False).split()
            return int(ids[0]) if len(ids) == 1 else None
        return wait_until(find, "the X window %r" % title, timeout)

    def focus(self, xid):
        self.x("xdotool", "windowfocus", "--sync", str(xid))

    def key(self, *keys):
        self.x("xdotool", "key", *keys)

    def type(self, text):
        self.x("xdotool", "type", "--delay", "20", text)

    def icon_property(self, xid):
        """_NET_WM_ICON of an X window as a list of numbers (empty if none)."""
        out = self.x("xprop", "-id", str(xid), "-f", "_NET_WM_ICON", "32c", " = $0+\\n",
                     "_NET_WM_ICON", check=False)
        if "=" not in out:
            return []
        return [int(v) for v in out.split("=", 1)[1].replace(",", " ").split()]

    def clipboard(self):
        """The X clipboard as other X programs see it (Wine exports CF_TEXT
        as UTF-8 text with LF line ends)."""
        return subprocess.run(["xclip", "-o", "-selection", "clipboard"], env=self.env,
                              stdin=subprocess.DEVNULL, capture_output=True, timeout=10).stdout

    def screenshot(self, name):
        """Saves the whole screen as OUT_DIR/<name>.png, or to a path ending in .png."""
        path = name if name.endswith(".png") else os.path.join(OUT_DIR, name + ".png")
        os.makedirs(os.path.dirname(path), exist_ok=True)
        self.x("import", "-window", "root", path)
        return path


def icon_sizes(prop):
    """(width, height) of each image in a _NET_WM_ICON value."""
    sizes, i = [], 0
    while i + 2 <= len(prop):
        w, h = prop[i], prop[i + 1]
        sizes.append((w, h))
        i += 2 + w * h
    return sizes


class DesktopTest(unittest.TestCase):
    """A test file's desktop lives for the whole file; each test leaves no
    program of its own running."""

    desk = None

    @classmethod
    def setUpClass(cls):
        for old in glob.glob(os.path.join(OUT_DIR, "failed-%s.*.png" % cls.__name__)):
            os.remove(old)
        cls.desk = WineDesktop(cls.__name__)
        # Class cleanups run even when a subclass's setUpClass fails halfway.
        cls.addClassCleanup(cls.desk.close)
        cls.desk.__enter__()

    def setUp(self):
        self.addCleanup(self._end_programs)

    def _end_programs(self):
        if self._failed():
            try:
                self.desk.screenshot("failed-" + ".".join(self.id().split(".")[-2:]))
            except Exception:  # a failed screenshot must not hide the failure
                pass
        for proc in self.desk.procs:
            if proc.poll() is None:
                proc.kill()
                proc.wait(timeout=10)
        self.desk.procs.clear()

    def _failed(self):
        outcome = getattr(self, "_outcome", None)
        result = getattr(outcome, "result", None)
        if result is None:
            return False
        return any(test is self for test, _ in result.failures + result.errors)


def main():
    missing = [t for t in ("vantrel.exe", "inspect.exe") if not os.path.exists(os.path.join(EXE_DIR, t))]
    if missing:
        print("skipped: %s not in %s (build the win64 preset first)" % (", ".join(missing), EXE_DIR))
        sys.exit(SKIPPED)
    for tool in ("Xvfb", "xdotool", "xprop", "xclip", "import"):
        if not shutil.which(tool):
            print("missing %s: run `make deps`" % tool)
            sys.exit(1)
    unittest.main(verbosity=2)


class Image:
    """A screenshot's pixels, read through ImageMagick as binary PPM."""

    def __init__(self, png):
        data = subprocess.run(["convert", png, "-depth", "8", "ppm:-"], capture_output=True,
                              check=True, timeout=60).stdout
        # Header: "P6" width height maxval, each followed by one whitespace.
        fields, pos = [], 0
        while len(fields) < 4:
            while data[pos:pos + 1].isspace():
                pos += 1
            end = pos
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[pos:end])
            pos = end
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = data[pos + 1:]

    def rgb(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i:i + 3])

    def colours(self, left, top, right, bottom):
        """The set of colours in a rectangle (right and bottom excluded)."""
        return {self.rgb(x, y) for y in range(top, bottom) for x in range(left, right)}


def colorref_rgb(value):
    return (value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF)
