#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz target (fuzz/corpus/), one file per
scenario, and describes the input format that fuzz/vantrel_fuzz.cpp decodes.

    python3 fuzz/make_corpus.py

Input format (reads past the end give 0):

  byte 0: start options
      bit 0     another program holds F-keys before the start: a 16-bit mask
                follows (bit n: F(n+1))
      bit 1     a window cannot be made: a byte follows, the nth (1 + b % 13)
                CreateWindowExA fails and the program takes its fatal path
      bits 2-3  how the window is closed at the end: 0 close box, 1 Alt+F4,
                2 Esc, 3 WM_CLOSE
  then steps, each an opcode byte (taken modulo 19) and its operands:
      0  press a key            slot byte (F1 + b % 10)
      1  Tab    2 Shift+Tab    3 Enter
      4  type                   count byte (b % 24), then that many bytes,
                                each the printable character ' ' + b % 95
      5  Backspace    6 Ctrl+V
      7  WM_HOTKEY              byte (bit 0: sent, else posted), identifier,
                                32-bit lParam
      8  0x8075                 window byte (b % 13: 0 the main window, n the
                                child 100 + 10 (n - 1)), identifier, lParam
      9  WM_SETTEXT             box byte, 16-bit length, that many bytes
      10 activate               byte: b % 3 == 0 another program, 1 the main
                                window, 2 a click in box b / 3 % 10 (the main
                                window when that box is hidden)
      11 another program opens the clipboard   byte: 255 until released,
                                else for 2 b milliseconds
      12 it closes the clipboard
      13 another program copies a text   length byte (b % 32), the bytes
      14 the next GlobalAlloc fails    15 the next GlobalLock fails
      16 the next GetMessageA fails once
      17 time passes            byte: 4 b milliseconds
      18 strict clipboard       byte: bit 0 on, SetClipboardData then refuses
                                a block after an ownerless EmptyClipboard
  An identifier is a mode byte: below 0xC0 it is 33000 + b % 13; below 0xF0 a
  32-bit value follows; else two 32-bit values, the low and the high half.
  Numbers are little-endian.
"""

import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "corpus")

(PRESS, TAB, SHIFT_TAB, ENTER, TYPE, BACKSPACE, CTRL_V, HOTKEY, FEEDBACK, SETTEXT,
 ACTIVATE, HOLD_CLIP, RELEASE_CLIP, OTHER_COPIES, FAIL_ALLOC, FAIL_LOCK, FAIL_GETMESSAGE,
 WAIT, STRICT_CLIP) = range(19)

CLOSE_BOX, ALT_F4, ESC, WM_CLOSE = range(4)
OTHER, MAIN = 0, 1
FOREVER = 255


def options(close=CLOSE_BOX, held=(), fail_window=None):
    out = bytearray([(close << 2) | (1 if held else 0) | (2 if fail_window else 0)])
    if held:
        out += struct.pack("<H", sum(1 << (k - 1) for k in held))
    if fail_window:
        out.append(fail_window - 1)
    return out


def press(key):
    return bytes([PRESS, key - 1])


def type_text(text):
    assert len(text) < 24
    return bytes([TYPE, len(text)]) + bytes(ord(c) - 0x20 for c in text)


def identifier(value):
    if 33000 <= value <= 33012:
        return bytes([value - 33000])
    if value < 1 << 32:
        return bytes([0xC0]) + struct.pack("<I", value)
    return bytes([0xF0]) + struct.pack("<II", value & 0xFFFFFFFF, value >> 32)


def hotkey(value, lparam=0, sent=False):
    return bytes([HOTKEY, 1 if sent else 0]) + identifier(value) + struct.pack("<I", lparam)


def feedback(child_id, value, lparam=0):
    window = 0 if child_id == 0 else (child_id - 100) // 10 + 1
    return bytes([FEEDBACK, window]) + identifier(value) + struct.pack("<I", lparam)


def set_text(key, data):
    return bytes([SETTEXT, key - 1]) + struct.pack("<H", len(data)) + data


def activate(where, box_key=None):
    if box_key is not None:
        return bytes([ACTIVATE, 3 * (box_key - 1) + 2])
    return bytes([ACTIVATE, where])


def hold_clipboard(ms=None):
    return bytes([HOLD_CLIP, FOREVER if ms is None else ms // 2])


def other_copies(data):
    return bytes([OTHER_COPIES, len(data)]) + data


def wait(ms):
    return bytes([WAIT, ms // 4])


def op(code):
    return bytes([code])


def fill_boxes():
    return b"".join(set_text(k, b"box %d text" % k) for k in range(1, 11))


GBK = b"\xd6\xd0\xce\xc4 \x81\x40\xfe\xfe"

SEEDS = {
    # Every key pastes its own box into another program.
    "paste-every-key": options() + fill_boxes() + activate(OTHER)
    + b"".join(press(k) for k in range(1, 11)),
    # Pastes and typing into the program's own boxes.
    "paste-into-own-box": options(ALT_F4) + activate(MAIN) + set_text(2, b"second")
    + press(2) + type_text("abc xyz") + op(ENTER) + op(BACKSPACE) + op(TAB) + press(2)
    + op(SHIFT_TAB) + op(CTRL_V) + activate(None, box_key=7) + type_text("in seven") + press(7),
    # Keys another program holds: their boxes are hidden, their presses are the other's.
    "keys-held-elsewhere": options(ALT_F4, held=(1, 6, 10)) + fill_boxes() + activate(MAIN)
    + press(1) + press(6) + press(2) + op(TAB) + op(TAB) + op(SHIFT_TAB) + activate(OTHER)
    + press(10) + press(9) + hotkey(33001) + hotkey(33006, sent=True) + feedback(100, 33010)
    + feedback(100, 0) + hotkey(0) + feedback(160, 0) + feedback(100, 33002),
    "every-key-held-elsewhere": options(ESC, held=range(1, 11)) + op(TAB) + op(ENTER)
    + type_text("nowhere") + press(5),
    # The clipboard held for a moment, for too long, and until released.
    "clipboard-held": options() + set_text(1, b"fresh") + activate(OTHER)
    + other_copies(b"theirs") + hold_clipboard(30) + press(1) + hold_clipboard(200) + press(1)
    + press(1) + press(1) + hold_clipboard() + press(1) + wait(1000) + press(1)
    + op(RELEASE_CLIP) + press(1) + hold_clipboard(90) + press(1) + hold_clipboard(92) + press(1),
    "clipboard-held-while-pasting-into-a-box": options() + activate(MAIN) + set_text(3, b"three")
    + hold_clipboard() + op(CTRL_V) + press(3) + op(RELEASE_CLIP) + op(CTRL_V) + press(3),
    # Memory that cannot be had when the text is put on the clipboard.
    "allocation-failures": options() + set_text(1, b"one") + set_text(2, b"") + activate(OTHER)
    + op(FAIL_ALLOC) + press(1) + press(1) + op(FAIL_LOCK) + press(2) + press(2)
    + op(FAIL_ALLOC) + op(FAIL_LOCK) + press(1) + press(1) + press(1)
    + op(FAIL_LOCK) + hold_clipboard() + press(1) + op(RELEASE_CLIP) + press(1)
    + bytes([STRICT_CLIP, 1]) + press(1) + feedback(100, 33002) + bytes([STRICT_CLIP, 0]) + press(1),
    # Messages other programs may send: identifiers in and out of range, any values.
    "hotkey-messages": options(WM_CLOSE) + fill_boxes() + activate(OTHER)
    + b"".join(hotkey(v, lparam=0x12345678) for v in range(33000, 33013))
    + b"".join(hotkey(v, sent=True) for v in (0, 33000, 33011, 0xFFFFFFFF, 0x7FFFFFFF))
    + hotkey((1 << 32) | 33001) + hotkey((0xFFFFFFFF << 32) | 33005, sent=True),
    "feedback-messages": options() + fill_boxes() + activate(OTHER)
    + b"".join(feedback(c, v, 0xDEADBEEF) for c in [0] + list(range(100, 220, 10))
               for v in (0, 1, 33000, 33001, 33007, 0x80000000, 0xFFFFFFFF))
    + feedback(100, (7 << 32) | 33002) + feedback(160, 33002),
    # Odd bytes set from outside: an embedded zero, lone CR and LF, code page 936, a long text.
    "settext-odd-bytes": options() + activate(MAIN) + set_text(1, b"before\0after")
    + set_text(2, b"\r\rlone\nLF\r") + set_text(10, GBK) + set_text(5, b"x" * 16000)
    + set_text(6, b"") + press(1) + press(2) + press(10) + press(5) + press(6)
    + activate(OTHER) + press(5) + press(10),
    # A GetMessageA that fails once, as it does when another program sends what
    # cannot be carried; the program carries on.
    "getmessage-fails": options() + set_text(4, b"four") + activate(OTHER)
    + op(FAIL_GETMESSAGE) + press(4) + op(FAIL_GETMESSAGE) + op(FAIL_GETMESSAGE) + press(4),
    # Switching between programs while typing and pasting.
    "activation": options(ALT_F4) + activate(MAIN) + type_text("first") + activate(OTHER)
    + type_text("elsewhere") + activate(MAIN) + type_text("back") + activate(None, box_key=10)
    + type_text("ten") + activate(OTHER) + press(1) + activate(None, box_key=1) + press(10)
    + activate(MAIN) + op(SHIFT_TAB) + op(ENTER),
}

# Start-ups that meet a window that cannot be made: the main window, a box, a label.
for nth in (1, 2, 8, 13):
    SEEDS["fatal-start-%d" % nth] = options(fail_window=nth) + press(1)


def main():
    os.makedirs(CORPUS, exist_ok=True)
    for name in os.listdir(CORPUS):
        os.remove(os.path.join(CORPUS, name))
    for name, data in sorted(SEEDS.items()):
        with open(os.path.join(CORPUS, name), "wb") as f:
            f.write(bytes(data))
    print("%d seeds in %s" % (len(SEEDS), CORPUS))


if __name__ == "__main__":
    main()
