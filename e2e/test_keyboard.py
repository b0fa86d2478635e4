#!/usr/bin/env python3
"""Real key presses (xdotool) into the running program: typing, Enter, Tab and
Shift+Tab between the boxes in F1-F10 order, and the focus coming back after
another program had it."""

import harness
from harness import wait_until

LEFT_COLUMN = [110, 120, 130, 140, 150]   # F1-F5, top to bottom
RIGHT_COLUMN = [170, 180, 190, 200, 210]  # F6-F10, top to bottom
TAB_ORDER = LEFT_COLUMN + RIGHT_COLUMN


class Keyboard(harness.DesktopTest):

    def start(self):
        proc = self.desk.start_vantrel()
        self.desk.wait_window()
        xid = self.desk.x_window("Vantrel", proc)
        self.desk.focus(xid)
        return proc, xid

    def window(self):
        return self.desk.dump().window()

    def wait_focus(self, cid):
        wait_until(lambda: self.window()["focus_id"] == cid, "the focus in box %d" % cid)

    def texts(self):
        return {c["id"]: c["text"] for c in self.window()["children"] if c["id"] in TAB_ORDER}

    def test_typing_with_enter_then_tab(self):
        self.start()
        self.wait_focus(110)
        self.desk.type("ab")
        self.desk.key("Return")
        self.desk.type("c")
        wait_until(lambda: self.texts()[110] == b"ab\r\nc", "the typed text in box 110")
        self.desk.screenshot("keyboard-typed")
        self.desk.key("Tab")
        self.wait_focus(120)
        self.assertEqual(self.texts(), {cid: b"ab\r\nc" if cid == 110 else b"" for cid in TAB_ORDER})

    def test_tab_and_shift_tab_follow_the_keys(self):
        self.start()
        self.wait_focus(110)
        steps = [("Tab", cid) for cid in TAB_ORDER[1:]]  # down the left column, F5 -> F6 on top right
        steps += [
            ("Tab", 110),        # F10 wraps to F1
            ("shift+Tab", 210),  # and back from F1 to F10
            ("shift+Tab", 200),
        ]
        for key, expected in steps:
            with self.subTest(key=key, to=expected):
                self.desk.key(key)
                self.wait_focus(expected)
        self.assertEqual(set(self.texts().values()), {b""}, "Tab never types into a box")

    def test_focus_returns_to_the_box_that_had_it(self):
        self.start()
        self.wait_focus(110)
        for _ in range(2):
            self.desk.key("Tab")
        self.wait_focus(130)
        log = self.desk.path("receiver.log")
        receiver = self.desk.start("receiver.exe", harness.winpath(log))
        self.desk.wait_file(log, b"ready")
        self.desk.focus(self.desk.x_window("Receiver", receiver))
        main = self.window()
        wait_until(lambda: self.desk.dump().foreground not in (0, main["hwnd"]),
                   "the receiver in front")
        # Back by a click on the label beside the boxes: it activates the
        # window but takes no focus itself.
        ox, oy = main["client_origin"]
        self.desk.x("xdotool", "mousemove", str(ox + 12), str(oy + 100), "click", "1")
        wait_until(lambda: self.desk.dump().foreground == main["hwnd"], "Vantrel in front again")
        self.wait_focus(130)


if __name__ == "__main__":
    harness.main()
