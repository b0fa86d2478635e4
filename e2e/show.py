#!/usr/bin/env python3
"""`make run`: starts build/win64/vantrel.exe under Wine.

With a DISPLAY it runs there until the user closes it. Without one it runs on a
virtual display of its own, saves a screenshot to build/vantrel.png once the
window is up, closes the window and reports the exit code."""

import os
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
os.environ.setdefault("VANTREL_E2E_PREFIX", os.path.join(ROOT, "build", "wineprefix"))

import harness  # noqa: E402  (reads the prefix above)

SCREENSHOT = os.path.join(ROOT, "build", "vantrel.png")


def on_users_display():
    env = dict(os.environ, WINEPREFIX=harness.PREFIX, WINEDEBUG="-all",
               WINEDLLOVERRIDES="mscoree,mshtml=")
    quiet = dict(env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                 stderr=subprocess.DEVNULL)
    print("Starting Vantrel on %s (Wine prefix %s); close its window to finish."
          % (env["DISPLAY"], harness.PREFIX))
    subprocess.run([harness.WINESERVER, "-p"], **quiet)
    subprocess.run([harness.WINE, "cmd", "/c", "exit", "0"], **quiet)
    try:
        return subprocess.run([harness.WINE, os.path.join(harness.EXE_DIR, "vantrel.exe")],
                              env=env).returncode
    finally:
        subprocess.run([harness.WINESERVER, "-k"], **quiet)
        subprocess.run([harness.WINESERVER, "-w"], **quiet)


def on_virtual_display():
    with harness.WineDesktop("run") as desk:
        print("No DISPLAY: starting Vantrel on the virtual display :%d" % desk.display)
        proc = desk.start_vantrel()
        desk.wait_window()
        desk.screenshot(SCREENSHOT)
        print("Screenshot: %s" % os.path.relpath(SCREENSHOT, os.getcwd()))
        desk.inspect("close")
        return desk.wait_exit(proc)


def main():
    if not os.path.exists(os.path.join(harness.EXE_DIR, "vantrel.exe")):
        sys.exit("no vantrel.exe in %s: build the win64 preset first" % harness.EXE_DIR)
    code = on_users_display() if os.environ.get("DISPLAY") else on_virtual_display()
    print("Vantrel exited with code %d" % code)
    return 0 if code == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
