#!/usr/bin/env python3
"""Another program floods Vantrel with what any program may send it (our
hostile.exe): 0x8075 with random values to every window, WM_HOTKEY with
identifiers out of range and in range for keys Vantrel could not register, and
WM_SETTEXT too large to be carried between processes. Vantrel keeps running,
keeps the user's texts, writes nothing to the clipboard and pastes nothing;
the next real key press still pastes."""

import os
import subprocess

import harness
from harness import SLOT_BOXES, refusal, wait_until

WM_CHAR = 0x0102
# Keys another program holds: their identifiers (33003, 33008) are in
# Vantrel's range, but no box has them.
HELD = ["F3", "F8"]
HELD_IDS = ["33003", "33008"]
SEED = "0x5eed"
ROUNDS = "100"
CLIPBOARD_MARK = b"the clipboard as the user left it"


class Hostile(harness.DesktopTest):

    def start_with_keys_held(self):
        ready = self.desk.path("keyholder.ready")
        self.desk.start("keyholder.exe", harness.winpath(ready), *HELD)
        self.desk.wait_file(ready, b"ready")
        proc = self.desk.start_vantrel()
        for key in HELD:
            def shown():
                boxes = [b for b in self.desk.dump().boxes if b["visible"]]
                return boxes if len(boxes) == 1 and harness.box_text(boxes[0]) == refusal(key) else None
            wait_until(shown, "the message for %s" % key)
            self.desk.inspect("answer", str(harness.IDOK))
            wait_until(lambda: not [b for b in self.desk.dump().boxes
                                    if b["visible"] and harness.box_text(b) == refusal(key)],
                       "the message for %s to go" % key)
        self.desk.wait_window()
        return proc

    def boxes(self):
        return {c["id"]: (c["text"], c["shown"]) for c in self.desk.dump().window()["children"]
                if c["id"] in SLOT_BOXES.values()}

    def test_messages_from_another_program_change_nothing(self):
        proc = self.start_with_keys_held()
        texts = {key: ("text of %s, typed by the user\r\n" % key).encode() * 3
                 for key in SLOT_BOXES if key not in HELD}
        for key, text in texts.items():
            self.desk.set_text(SLOT_BOXES[key], text)
        before = self.boxes()

        # The clipboard holds something of the user's; a receiver has the focus,
        # so a Ctrl+V sent by mistake would show there.
        ready = self.desk.path("clipholder.ready")
        self.desk.start("clipholder.exe", harness.winpath(ready), CLIPBOARD_MARK.decode())
        self.desk.wait_file(ready, b"ready")
        self.desk.inspect("--title", "ClipHolder", "close")
        wait_until(lambda: self.desk.clipboard() == CLIPBOARD_MARK, "the user's text on the clipboard")
        receiver = harness.Receiver(self.desk)
        receiver.focus()

        report = self.desk.path("hostile.report")
        result = subprocess.run(
            [harness.WINE, os.path.join(harness.EXE_DIR, "hostile.exe"), harness.winpath(report),
             SEED, ROUNDS] + HELD_IDS,
            env=self.desk.env, stdin=subprocess.DEVNULL, capture_output=True, timeout=300)
        with open(report) as f:
            lines = f.read().splitlines()
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(lines[-1], "done")
        steps = {line.split()[0]: line.split() for line in lines}
        self.assertEqual(steps["windows"][1:4], ["13", "boxes", "10"])
        for step in ("feedback", "zero", "hotkey"):
            sent, send_failed, posted, post_failed = (int(steps[step][i]) for i in (2, 4, 6, 8))
            self.assertGreater(sent, 0)
            self.assertEqual((send_failed, post_failed), (0, 0),
                             "%s: every message reached Vantrel, which answered" % step)
        self.assertEqual(steps["settext"][4], "0",
                         "this Wine carries 2 MiB between processes; the oversized send is not one")

        # Posted messages are taken in order: once a character posted now has
        # arrived, all of hostile.exe's have been handled. It goes to a hidden
        # box (F3's, refused), which holds no text of the user's.
        self.desk.inspect("post", str(SLOT_BOXES["F3"]), str(WM_CHAR), str(ord("z")), "0")
        wait_until(lambda: self.boxes()[SLOT_BOXES["F3"]][0] == b"z", "Vantrel done with the flood")
        self.assertIsNone(proc.poll(), "Vantrel keeps running")
        self.assertEqual([harness.box_text(b) for b in self.desk.dump().boxes], [], "and shows no message")
        after = self.boxes()
        after[SLOT_BOXES["F3"]] = before[SLOT_BOXES["F3"]]
        self.assertEqual(after, before, "every text and every box's visibility as they were")
        self.assertEqual(receiver.records(), [], "no Ctrl+V, no key at all")
        self.assertEqual(self.desk.clipboard(), CLIPBOARD_MARK, "the clipboard untouched")

        # A real key press still pastes, and only its own box.
        receiver.focus()
        self.desk.key("F6")
        self.assertEqual(receiver.wait_paste(1), ("ok", texts["F6"]))
        self.desk.inspect("close")
        self.assertEqual(self.desk.wait_exit(proc), 0)
        self.assertEqual(len(receiver.pastes()), 1)


if __name__ == "__main__":
    harness.main()
