#!/usr/bin/env python3
"""The main window as another program sees it right after start-up: place,
size, styles, the twelve children in Z order with their ids, places, styles and
texts, topmost, focus, icon and what is drawn."""

import harness
from harness import colorref_rgb

WS_CLIPSIBLINGS = 0x04000000
WS_EX_TOPMOST = 0x00000008
WS_EX_WINDOWEDGE = 0x00000100
WS_EX_CLIENTEDGE = 0x00000200

MAIN_STYLE = 0x02CA0000 | harness.WS_VISIBLE  # caption, system menu, minimise box, clip children
EDIT_STYLE = 0x44011044 | harness.WS_VISIBLE  # multi-line, auto-vscroll, want-return, tab stop
LABEL_STYLE = 0x44000000 | harness.WS_VISIBLE


def label_text(first, last):
    return b"".join(b"F%d" % n + b"\r\n" * 6 for n in range(first, last + 1))


# Top of the Z order first: (id, kind, left, top, width, height).
CHILDREN = [
    (210, "edit", 210, 296, 144, 64),
    (200, "edit", 210, 224, 144, 64),
    (190, "edit", 210, 152, 144, 64),
    (180, "edit", 210, 80, 144, 64),
    (170, "edit", 210, 8, 144, 64),
    (160, "label", 186, 8, 18, 368),
    (150, "edit", 30, 296, 144, 64),
    (140, "edit", 30, 224, 144, 64),
    (130, "edit", 30, 152, 144, 64),
    (120, "edit", 30, 80, 144, 64),
    (110, "edit", 30, 8, 144, 64),
    (100, "label", 6, 8, 16, 368),
]
LABEL_TEXTS = {100: label_text(1, 5), 160: label_text(6, 10)}


class MainWindow(harness.DesktopTest):
    """One start of Vantrel, looked at from several sides."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.proc = cls.desk.start_vantrel()
        cls.seen = cls.desk.wait_window()
        cls.main = cls.seen.window()
        cls.xid = cls.desk.x_window("Vantrel", cls.proc)
        cls.shot = cls.desk.screenshot("window")

    def setUp(self):
        pass  # the program runs for the whole class

    def test_centred_with_fixed_outer_size(self):
        self.assertEqual(self.seen.screen, (1024, 768))
        self.assertEqual(self.main["rect"], [327, 186, 327 + 370, 186 + 395])
        self.assertEqual(self.main["title"], b"Vantrel")

    def test_styles(self):
        # The system adds WS_CLIPSIBLINGS and WS_EX_WINDOWEDGE to every captioned
        # top-level window; everything else is the program's choice.
        self.assertEqual(hex(self.main["style"] & ~WS_CLIPSIBLINGS), hex(MAIN_STYLE))
        self.assertEqual(hex(self.main["exstyle"] & ~WS_EX_WINDOWEDGE), hex(WS_EX_TOPMOST))
        self.assertTrue(self.main["topmost"])
        self.assertEqual(self.main["owner"], 0, "an owned window has no taskbar button")
        self.assertTrue(self.main["enabled"])
        self.assertFalse(self.main["iconic"])

    def test_children_in_z_order(self):
        children = self.main["children"]
        self.assertEqual([c["id"] for c in children], [row[0] for row in CHILDREN])
        label_classes = set()
        for (cid, kind, left, top, width, height), child in zip(CHILDREN, children):
            with self.subTest(id=cid):
                self.assertEqual(child["rect"], [left, top, left + width, top + height])
                self.assertTrue(child["shown"])
                self.assertTrue(child["enabled"])
                self.assertTrue(child["text_ok"])
                if kind == "edit":
                    self.assertEqual(child["class"].lower(), "edit")
                    self.assertEqual(hex(child["style"]), hex(EDIT_STYLE))
                    self.assertEqual(hex(child["exstyle"]), hex(WS_EX_CLIENTEDGE))
                    self.assertEqual(child["text"], b"")
                else:
                    self.assertNotIn(child["class"].lower(), ("edit", "static", "button"))
                    self.assertEqual(hex(child["style"]), hex(LABEL_STYLE))
                    self.assertEqual(child["exstyle"], 0)
                    self.assertEqual(child["text"], LABEL_TEXTS[cid])
                    label_classes.add(child["class"])
        self.assertEqual(len(label_classes), 1, "both labels are of the program's label class")

    def test_active_with_focus_in_first_box_and_no_message_box(self):
        self.assertEqual(self.main["active"], self.main["hwnd"])
        self.assertEqual(self.seen.foreground, self.main["hwnd"])
        self.assertEqual(self.main["focus_id"], 110)
        self.assertEqual(self.seen.boxes, [])

    def test_topmost_reaches_the_x_window(self):
        state = self.desk.x("xprop", "-id", str(self.xid), "_NET_WM_STATE")
        self.assertIn("_NET_WM_STATE_ABOVE", state)

    def test_has_its_own_icon(self):
        icon = self.desk.icon_property(self.xid)
        self.assertIn((32, 32), harness.icon_sizes(icon))
        self.assertIn((16, 16), harness.icon_sizes(icon))
        # What Wine gives a window that set no icon of its own.
        log = self.desk.path("receiver.log")
        receiver = self.desk.start("receiver.exe", harness.winpath(log))
        try:
            self.desk.wait_file(log, b"ready")
            plain = self.desk.icon_property(self.desk.x_window("Receiver", receiver))
        finally:
            receiver.kill()
            receiver.wait(timeout=10)
        self.assertNotEqual(icon, plain)

    def test_drawn_backgrounds_boxes_and_labels(self):
        image = harness.Image(self.shot)
        ox, oy = self.main["client_origin"]
        face = colorref_rgb(self.seen.btnface)
        white = (255, 255, 255)
        # Empty text boxes: white inside their 2-pixel sunken edge (the first
        # pixels are left out: the focused box's caret blinks there).
        for cid, kind, left, top, width, height in CHILDREN:
            if kind != "edit":
                continue
            with self.subTest(box=cid):
                inside = image.colours(ox + left + 10, oy + top + 3, ox + left + width - 3,
                                       oy + top + height - 3)
                self.assertEqual(inside, {white})
        # The window paints its own background: the gaps between the boxes.
        for name, (left, top, right, bottom) in {
            "below the rows": (22, 362, 360, 370),
            "between the rows": (30, 73, 174, 79),
            "right margin": (356, 8, 364, 360),
        }.items():
            with self.subTest(gap=name):
                self.assertEqual(image.colours(ox + left, oy + top, ox + right, oy + bottom), {face})
        # The labels: five key names each, six lines apart, so with Wine's
        # 12-pixel line each name sits level with the top of its box and the
        # label is plain background in between.
        for cid, kind, left, top, width, height in CHILDREN:
            if kind != "label":
                continue
            for row in range(5):
                y = oy + top + 72 * row
                with self.subTest(label=cid, row=row):
                    name = image.colours(ox + left, y, ox + left + width, y + 12)
                    self.assertGreater(len(name), 1, "a key name drawn level with box row %d" % row)
                    below = image.colours(ox + left, y + 14, ox + left + width, min(y + 72, oy + 370))
                    self.assertEqual(below, {face})


if __name__ == "__main__":
    harness.main()
