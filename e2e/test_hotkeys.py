#!/usr/bin/env python3
"""Start-up with function keys that another program already has: the refusal
messages come before the window shows, each refused key's box is hidden, and a
second copy of Vantrel ends up with no boxes while the first keeps its keys."""

import harness
from harness import SLOT_BOXES, EDIT_IDS, refusal, wait_until

FUNCTION_KEYS = ["F%d" % n for n in range(1, 11)]

# Keys another program holds -> where the focus is once the window shows.
HELD = [
    (["F6"], 110),        # the box hidden is the top right one, not F6's neighbour below
    (["F1"], 120),        # the first box is gone, so the focus starts in the second
    (["F2", "F9"], 110),  # two messages, in key order
]


class Hotkeys(harness.DesktopTest):

    def hold_keys(self, keys):
        ready = self.desk.path("keyholder.ready")
        self.desk.start("keyholder.exe", harness.winpath(ready), *keys)
        self.desk.wait_file(ready, b"ready")
        with open(ready, "rb") as f:
            self.assertEqual(f.read().split(b"\n")[:-2], [k.encode() + b" ok" for k in keys])

    def answer_refusals(self, pid, keys, others_visible=()):
        """Waits for each key's message in turn, checks what is on the screen
        meanwhile, and dismisses it with OK."""
        for n, key in enumerate(keys):
            def box_shown():
                seen = self.desk.dump(pid)
                boxes = [b for b in seen.boxes_of(pid) if b["visible"]]
                return (seen, boxes[0]) if len(boxes) == 1 else None
            seen, box = wait_until(box_shown, "the message for %s" % key)
            self.assertEqual(harness.box_text(box), refusal(key))
            self.assertEqual(box["title"], harness.REFUSAL_CAPTION)
            main = seen.window(pid)
            self.assertFalse(main["visible"], "the window shows only after the messages")
            hidden = {c["id"] for c in main["children"] if not c["shown"]}
            self.assertEqual(hidden, {SLOT_BOXES[k] for k in keys[:n]},
                             "each refused box is hidden once its message is dismissed")
            for other in others_visible:
                self.assertTrue(self.desk.dump(other).window(other)["visible"])
            if n == 0:
                self.desk.screenshot("hotkeys-refused-" + key)
            self.desk.inspect("--pid", str(pid), "answer", str(harness.IDOK))
            wait_until(lambda: not [b for b in self.desk.dump(pid).boxes_of(pid)
                                    if b["visible"] and harness.box_text(b) == refusal(key)],
                       "the message for %s to go" % key)

    def test_keys_held_by_another_program(self):
        for keys, focus in HELD:
            with self.subTest(held=keys):
                self.hold_keys(keys)
                proc = self.desk.start_vantrel()
                pid = self.desk.wait_window(shown=False).window()["pid"]
                self.answer_refusals(pid, keys)
                seen = self.desk.wait_window(pid)
                main = seen.window(pid)
                self.assertEqual(seen.boxes_of(pid), [])
                self.assertTrue(main["topmost"])
                shown = {c["id"] for c in main["children"] if c["shown"]}
                self.assertEqual(shown, {100, 160} | set(EDIT_IDS) - {SLOT_BOXES[k] for k in keys})
                self.assertEqual(main["focus_id"], focus)
                self.desk.screenshot("hotkeys-held-" + "-".join(keys))
                # Tab walks the boxes that are left, in key order, and wraps.
                self.desk.focus(self.desk.x_window("Vantrel", proc))
                left = [SLOT_BOXES[k] for k in FUNCTION_KEYS if k not in keys]
                self.assertEqual(left[0], focus)
                for expected in left[1:] + left[:1]:
                    self.desk.key("Tab")
                    wait_until(lambda: self.desk.dump(pid).window(pid)["focus_id"] == expected,
                               "Tab to box %d" % expected)
                self.desk.inspect("close")
                self.assertEqual(self.desk.wait_exit(proc), 0)
                self._end_programs()

    def test_second_copy_gets_no_keys_and_the_first_keeps_them(self):
        first = self.desk.start_vantrel()
        first_pid = self.desk.wait_window().window()["pid"]
        second = self.desk.start_vantrel()
        second_pid = wait_until(
            lambda: [w["pid"] for w in self.desk.dump().windows if w["pid"] != first_pid],
            "the second window")[0]
        self.answer_refusals(second_pid, FUNCTION_KEYS, others_visible=[first_pid])
        seen = self.desk.wait_window(second_pid)
        main = seen.window(second_pid)
        self.assertEqual([c["id"] for c in main["children"] if c["shown"]], [160, 100])
        self.assertEqual(main["focus"], main["hwnd"], "no box to hold the focus")
        self.desk.screenshot("hotkeys-second-copy")

        # Esc closes a window without boxes too.
        self.assertEqual(seen.foreground, main["hwnd"])
        self.desk.focus(self.desk.x_window("Vantrel", second))
        self.desk.key("Escape")
        self.assertEqual(self.desk.wait_exit(second), 0)

        # The first copy kept its keys all along: F1 still pastes its box.
        self.assertIsNone(first.poll())
        self.desk.set_text(110, b"from the first copy", pid=first_pid)
        receiver = harness.Receiver(self.desk)
        receiver.focus()
        self.desk.key("F1")
        self.assertEqual(receiver.wait_paste(1), ("ok", b"from the first copy"))

if __name__ == "__main__":
    harness.main()
