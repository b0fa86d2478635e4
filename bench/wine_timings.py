"""Timings of the real exes under Wine on a virtual display: start-up, hotkey to
paste, and the Vantrel process's memory and idle CPU time. Each figure is taken
for vantrel.exe and for minimal.exe (bench/tools/minimal.cpp) in the same run,
alternating between the two, so that a busy machine weighs on both alike.

Uses the end-to-end harness (e2e/harness.py) for the display, the Wine prefix
and starting programs."""

import os
import re
import statistics
import subprocess
import sys
import threading
import time

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "e2e"))
import harness  # noqa: E402
from harness import wait_until, winpath  # noqa: E402

BOX_F1 = 110  # child identifier of F1's box


class XEvents:
    """Structure events of the top-level X windows (xev on the root window),
    each with the moment it was read: (monotonic seconds, kind, window id)."""

    HEAD = re.compile(r"^(\w+Notify) event")
    WINDOW = re.compile(r"\bwindow (0x[0-9a-f]+)")

    def __init__(self, desk):
        self.events = []
        self.proc = subprocess.Popen(
            ["stdbuf", "-oL", "xev", "-root", "-event", "substructure"], env=desk.env,
            stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
            text=True, preexec_fn=harness._die_with_parent)
        desk.procs.append(self.proc)
        self._lock = threading.Lock()
        threading.Thread(target=self._read, daemon=True).start()
        # xev says nothing when it is ready: make X windows (xclip makes one to
        # read a selection) until it reports one.
        wait_until(lambda: desk.clipboard() is not None and self.mark() > 0, "xev to watch")

    def _read(self):
        kind = None
        for line in self.proc.stdout:
            now = time.monotonic()
            head = self.HEAD.match(line)
            if head:
                kind = head.group(1)
                continue
            window = self.WINDOW.search(line)
            if kind and window:
                with self._lock:
                    self.events.append((now, kind, int(window.group(1), 16)))
                kind = None

    def mark(self):
        with self._lock:
            return len(self.events)

    def since(self, mark, kind):
        with self._lock:
            return [e for e in self.events[mark:] if e[1] == kind]


def x_pid(desk, window):
    out = desk.x("xprop", "-id", str(window), "_NET_WM_PID", check=False)
    match = re.search(r"= (\d+)", out)
    return int(match.group(1)) if match else None


def cpu_ticks(pid):
    """User + system CPU time of a process so far, in clock ticks."""
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])


def resident_kib(pid):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    raise RuntimeError("no VmRSS for process %d" % pid)


class Program:
    """One of the two programs measured: its exe, the key that pastes and the
    text it pastes."""

    def __init__(self, name, exe, key, text):
        self.name = name
        self.exe = exe
        self.key = key
        self.text = text

    def start(self, desk, xevents, with_text=False):
        """Starts it (Vantrel with its text in F1's box when with_text); returns
        (process, seconds from the start to its window being mapped, the X window)."""
        mark = xevents.mark()
        args = []
        if self.exe == "minimal.exe":
            args = ([] if self.key == "F1" else ["-" + self.key]) + [self.text.decode("ascii")]
        started = time.monotonic()
        proc = desk.start(self.exe, *args)

        def mapped():
            for when, _, window in xevents.since(mark, "MapNotify"):
                if x_pid(desk, window) == proc.pid:
                    return when, window
            if proc.poll() is not None:
                raise RuntimeError("%s ended with %s before showing its window"
                                   % (self.exe, proc.returncode))
            return None

        when, window = wait_until(mapped, "the window of " + self.exe, harness.START_TIMEOUT,
                                  interval=0.02)
        if with_text and self.exe == "vantrel.exe":
            desk.set_text(BOX_F1, self.text)
        return proc, when - started, window

    @staticmethod
    def stop(desk, xevents, proc, window):
        """Ends the process and waits until its window is gone from the display
        (then its hotkeys are free for the next one)."""
        mark = xevents.mark()
        proc.kill()
        proc.wait(timeout=30)
        desk.procs.remove(proc)
        wait_until(lambda: any(w == window for _, _, w in xevents.since(mark, "DestroyNotify"))
                   or not desk.x("xdotool", "search", "--pid", str(proc.pid), check=False).split(),
                   "the window of a stopped program to go", 30)


def start_up(desk, xevents, programs, pairs):
    """Seconds from process start to the main window mapped, `pairs` runs of each
    program, alternating (after one unmeasured run of each). Both hold F1, so
    only one runs at a time."""
    times = {p.name: [] for p in programs}
    for round_ in range(pairs + 1):
        for program in programs:
            proc, seconds, window = program.start(desk, xevents)
            if round_ > 0:
                times[program.name].append(seconds)
            Program.stop(desk, xevents, proc, window)
    return times


def run_paste_timer(desk, count, length, keys, timeout):
    """Runs pastetimer.exe for `count` presses, taking `keys` in turn, each
    expecting `length` bytes. Returns {key: (microseconds of each press that
    pasted the right text, number of presses that did not)}."""
    log = desk.path("pastetimer.log")
    go = desk.path("pastetimer.go")
    proc = desk.start("pastetimer.exe", winpath(log), winpath(go), str(count), str(length), *keys)
    desk.wait_file(log, b"ready")
    desk.focus(desk.x_window("PasteTimer", proc))  # hotkeys reach Wine only through its windows
    open(go, "wb").close()
    desk.wait_file(log, b"done", timeout=timeout)
    desk.wait_exit(proc)
    desk.procs.remove(proc)
    result = {key: ([], 0) for key in keys}
    with open(log, "rb") as f:
        for line in f:
            fields = line.split()
            if fields[0] != b"paste":
                continue
            key = fields[1].decode()
            times, failed = result[key]
            if fields[3] == b"ok":
                times.append(int(fields[2]))
            else:
                result[key] = (times, failed + 1)
    return result


def hotkey_to_paste(desk, xevents, programs, presses):
    """Microseconds from the key going down to the text read back in the paste
    timer: both programs run at once, each with its own key, and the presses
    alternate between them, `presses` for each."""
    running = [(program,) + program.start(desk, xevents, with_text=True) for program in programs]
    keys = [program.key for program in programs]
    text_length = len(programs[0].text)
    by_key = run_paste_timer(desk, presses * len(programs), text_length, keys,
                             timeout=presses * len(programs) * 6)
    for program, proc, _, window in running:
        Program.stop(desk, xevents, proc, window)
    return {program.name: by_key[program.key] for program in programs}


def settle(pid, quiet_for=1.0, limit=20.0):
    """Waits until the process has used no CPU time for `quiet_for` seconds
    (what it was doing is over); bounded by `limit`."""
    deadline = time.monotonic() + limit
    last, since = cpu_ticks(pid), time.monotonic()
    while time.monotonic() < deadline:
        time.sleep(0.1)
        now = cpu_ticks(pid)
        if now != last:
            last, since = now, time.monotonic()
        elif time.monotonic() - since >= quiet_for:
            return
    raise RuntimeError("process %d kept using the CPU for %gs" % (pid, limit))


def idle_ticks(pid, seconds):
    settle(pid)
    before = cpu_ticks(pid)
    time.sleep(seconds)  # the measuring interval itself
    return cpu_ticks(pid) - before


def footprint(desk, xevents, programs, idle_seconds, pastes, big_text):
    """Per program: resident memory after start; CPU ticks while idle with its
    own window in front (just started), then in the background (another
    program has the focus). For Vantrel also resident memory after one paste
    of big_text (the clipboard's machinery is set up by the first one) and
    after `pastes` more."""
    out = {}
    for program in programs:
        proc, _, window = program.start(desk, xevents)
        settle(proc.pid)
        figures = {"rss_start": resident_kib(proc.pid)}
        figures["idle_ticks_front"] = idle_ticks(proc.pid, idle_seconds)
        receiver = harness.Receiver(desk)
        receiver.focus()
        figures["idle_ticks_background"] = idle_ticks(proc.pid, idle_seconds)
        receiver.proc.kill()
        receiver.proc.wait(timeout=30)
        desk.procs.remove(receiver.proc)
        if program.exe == "vantrel.exe":
            desk.set_text(BOX_F1, big_text)
            for name, count in (("first", 1), ("more", pastes)):
                result = run_paste_timer(desk, count, len(big_text), [program.key],
                                         timeout=count * 2 + 30)
                good, bad = result[program.key]
                figures["pasted_" + name] = len(good)
                figures["failed_" + name] = bad
                settle(proc.pid)
                figures["rss_after_" + name] = resident_kib(proc.pid)
        out[program.name] = figures
        Program.stop(desk, xevents, proc, window)
    return out


def measure(startup_pairs=10, presses=200, idle_seconds=10, pastes=1000):
    # Printable ASCII without spaces, so that it passes through a command line as it is.
    text = bytes(0x21 + (i * 7) % 94 for i in range(100)).replace(b'"', b"x").replace(b"\\", b"y")
    line = bytes(0x21 + (i * 7) % 94 for i in range(78)) + b"\r\n"
    big_text = (line * (65536 // len(line) + 1))[:65536]
    programs = [Program("vantrel", "vantrel.exe", "F1", text),
                Program("minimal", "minimal.exe", "F1", text)]
    # For the presses both run at once: the minimal program takes a key Vantrel leaves free.
    side_by_side = [programs[0], Program("minimal", "minimal.exe", "F11", text)]
    with harness.WineDesktop("bench") as desk:
        xevents = XEvents(desk)
        return {
            "startup": start_up(desk, xevents, programs, startup_pairs),
            "hotkey": hotkey_to_paste(desk, xevents, side_by_side, presses),
            "footprint": footprint(desk, xevents, programs, idle_seconds, pastes, big_text),
        }


if __name__ == "__main__":
    import json
    print(json.dumps(measure(startup_pairs=2, presses=20, idle_seconds=2, pastes=50),
                     indent=1))
