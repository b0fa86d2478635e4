#!/usr/bin/env python3
"""F1-F10 paste their box into the focused application: through the real
clipboard and a synthesised Ctrl+V, byte for byte, large texts included, and
nothing stale when another program holds the clipboard."""

import harness
from harness import SLOT_BOXES, wait_until

WM_CHAR = 0x0102

GBK_TEXT = b"\xd6\xd0\xce\xc4 \xb2\xe2\xca\xd4"  # "中文 测试" in code page 936

# (key, text put into its box). The key's box is found through SLOT_BOXES.
PASTES = [
    ("F1", b"first line\r\nsecond line\r\n"),
    ("F6", GBK_TEXT + b"\r\n\x81\x40\xfe\xfe"),  # F6 is the top right box, not the one below F5
    ("F10", b"bottom right\tbox"),
    ("F3", b""),                                 # an empty box pastes the empty text
]


def x_clipboard_form(text):
    """What X programs get for an ASCII CF_TEXT: LF line ends."""
    return text.replace(b"\r\n", b"\n")


class Paste(harness.DesktopTest):

    def start(self):
        self.proc = self.desk.start_vantrel()
        self.desk.wait_window()
        receiver = harness.Receiver(self.desk)
        receiver.focus()  # hotkeys reach Wine only while a Wine window has the focus
        return receiver

    def box_text(self, cid, max_text=65536):
        child = [c for c in self.desk.dump(max_text=max_text).window()["children"] if c["id"] == cid][0]
        return child["text"], child["text_length"]

    def test_each_key_pastes_its_box_byte_for_byte(self):
        receiver = self.start()
        for key, text in PASTES:
            self.desk.set_text(SLOT_BOXES[key], text)
            self.assertEqual(self.box_text(SLOT_BOXES[key])[0], text)
        self.desk.screenshot("paste-texts")
        for n, (key, text) in enumerate(PASTES, 1):
            with self.subTest(key=key):
                self.desk.key(key)
                self.assertEqual(receiver.wait_paste(n), ("ok", text))
                if all(b < 0x80 for b in text):
                    self.assertEqual(self.desk.clipboard(), x_clipboard_form(text))
        typed = {r[1] for r in receiver.records() if r[0] == "char"}
        self.assertEqual(typed, {0x16}, "only Ctrl+V reached the receiver, no plain V, no F-key")

    def test_a_million_bytes_paste_intact(self):
        receiver = self.start()
        line = b"".join(bytes([0x20 + (i * 7) % 95]) for i in range(98)) + b"\r\n"
        text = (line * (1_000_000 // len(line) + 1))[:1_000_000]
        self.desk.set_text(110, text)
        self.assertEqual(self.box_text(110, max_text=0)[1], len(text))
        self.desk.key("F1")
        status, got = receiver.wait_paste(1, timeout=120)
        self.assertEqual(status, "ok")
        self.assertEqual(len(got), len(text))
        if got != text:
            first = next(i for i, (a, b) in enumerate(zip(got, text)) if a != b)
            self.fail("pasted text differs from byte %d on" % first)

    def test_clipboard_held_elsewhere_pastes_nothing(self):
        receiver = self.start()
        self.desk.set_text(110, b"new text")
        ready = self.desk.path("clipholder.ready")
        self.desk.start("clipholder.exe", harness.winpath(ready), "held elsewhere")
        self.desk.wait_file(ready, b"ready")

        # F1, then a plain "x": once the receiver has the x, F1's WM_HOTKEY is
        # in Vantrel's queue. A character posted to box 130 after that is
        # typed there only when Vantrel is done with F1.
        self.desk.key("F1", "x")
        wait_until(lambda: ("char", ord("x")) in receiver.records(), "the x in the receiver")
        self.desk.inspect("post", "130", str(WM_CHAR), str(ord("z")), "0")
        wait_until(lambda: self.box_text(130)[0] == b"z", "Vantrel done with F1")
        self.assertEqual(receiver.pastes(), [], "no Ctrl+V while another program holds the clipboard")

        # Once the other program lets go, its own text is there, not ours.
        self.desk.inspect("--title", "ClipHolder", "close")
        wait_until(lambda: self.desk.clipboard() == b"held elsewhere", "the holder's text on the clipboard")

        # And the next press works again.
        self.desk.key("F1")
        self.assertEqual(receiver.wait_paste(1), ("ok", b"new text"))
        self.assertEqual(len(receiver.pastes()), 1)

if __name__ == "__main__":
    harness.main()
