#!/usr/bin/env python3
"""Every way of closing the window ends the process with exit code 0, at
once, whatever the boxes hold."""

import harness
from harness import wait_until

CLOSERS = {
    "WM_CLOSE from another program": lambda desk: desk.inspect("close"),
    "Alt+F4": lambda desk: desk.key("alt+F4"),
    "Esc": lambda desk: desk.key("Escape"),
}


class Close(harness.DesktopTest):

    def test_each_way_of_closing_exits_with_0(self):
        for name, close in CLOSERS.items():
            with self.subTest(name):
                proc = self.desk.start_vantrel()
                self.desk.wait_window()
                self.desk.focus(self.desk.x_window("Vantrel", proc))
                # Some text in a box that is not the first: closing never asks.
                self.desk.key("Tab")
                self.desk.type("unsaved")
                wait_until(lambda: self.desk.dump().window()["focus_id"] == 120
                           and b"unsaved" in {c["text"] for c in self.desk.dump().window()["children"]},
                           "text typed into box 120")
                if name == "Esc":
                    self.desk.screenshot("close-unsaved-text")
                close(self.desk)
                self.assertEqual(self.desk.wait_exit(proc), 0)
                self.assertEqual(self.desk.dump().windows, [])


if __name__ == "__main__":
    harness.main()
