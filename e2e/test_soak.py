#!/usr/bin/env python3
"""A thousand function-key presses, as fast as xdotool sends them, into our
receiver: every paste arrives whole and in the order of the keys, nothing else
is typed, Vantrel keeps running, and its memory after the run is what it was
before (a text copy, a clipboard block or a key state kept per press would add
up to megabytes)."""

import os
import random

import harness
from harness import SLOT_BOXES, wait_until

PRESSES = 1000
WARM_UP = 20  # the first pastes set up heaps and the clipboard's X side
# Leaking even one box's text per press would be 1000 x 1-10 KB; what a run
# that keeps nothing moves is a few pages.
MEMORY_NOISE_KB = 1024
KEYS = list(SLOT_BOXES)


def box_text(n, key):
    """Box n's text: about n KB, naming its key on every line, with CR LF and
    code page 936 bytes."""
    line = ("%s line " % key).encode() + b"\xd6\xd0\xce\xc4" + b"." * 40 + b"\r\n"
    return (line * (n * 1024 // len(line) + 1))[:n * 1024 - 3] + key.encode()[:3]


def resident_kb(pid):
    """Anonymous resident memory of a process: its heaps, without the shared
    files Wine maps, which come and go with the page cache."""
    with open("/proc/%d/status" % pid) as f:
        fields = dict(line.split(":", 1) for line in f)
    return int(fields.get("RssAnon", fields["VmRSS"]).split()[0])


class Soak(harness.DesktopTest):

    def test_a_thousand_presses(self):
        proc = self.desk.start_vantrel()
        self.desk.wait_window()
        texts = {key: box_text(n, key) for n, key in enumerate(KEYS, 1)}
        for key, text in texts.items():
            self.desk.set_text(SLOT_BOXES[key], text)
        receiver = harness.Receiver(self.desk)
        receiver.focus()

        order = random.Random(7).choices(KEYS, k=PRESSES)
        warm_up = KEYS + KEYS
        self.desk.key(*warm_up)
        receiver.wait_paste(WARM_UP)
        before = resident_kb(proc.pid)

        # One xdotool run, at its own pace: a key every 12 ms.
        self.desk.x("xdotool", "key", *order, timeout=300)
        wait_until(lambda: len(receiver.pastes()) >= WARM_UP + PRESSES,
                   "%d pastes in the receiver" % (WARM_UP + PRESSES), timeout=180, interval=0.5)
        self.assertIsNone(proc.poll(), "Vantrel keeps running")
        after = resident_kb(proc.pid)

        records = receiver.records()
        pastes = [r[1:] for r in records if r[0] == "paste"]
        self.assertEqual(len(pastes), WARM_UP + PRESSES)
        for n, (key, (status, got)) in enumerate(zip(warm_up + order, pastes), 1):
            if (status, got) != ("ok", texts[key]):
                self.fail("paste %d of %s: %s, %d bytes, %r..." % (n, key, status, len(got), got[:20]))
        self.assertEqual([r for r in records if r[0] == "char" and r[1] != 0x16], [],
                         "nothing typed but the Ctrl+V of each paste")

        print("soak: %d pastes, %d bytes; memory %d KB before, %d KB after"
              % (PRESSES, sum(len(texts[k]) for k in order), before, after))
        with open(os.path.join(harness.OUT_DIR, "soak.txt"), "w") as f:
            f.write("pastes %d\nbytes %d\nrss_anon_kb_before %d\nrss_anon_kb_after %d\n"
                    % (PRESSES, sum(len(texts[k]) for k in order), before, after))
        self.assertLessEqual(after - before, MEMORY_NOISE_KB,
                             "memory grew from %d KB to %d KB over the presses" % (before, after))

        self.desk.inspect("close")
        self.assertEqual(self.desk.wait_exit(proc), 0)


if __name__ == "__main__":
    harness.main()
