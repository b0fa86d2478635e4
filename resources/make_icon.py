#!/usr/bin/env python3
"""Draw Vantrel's icon and write it to vantrel.ico next to this script.

The picture is a clipboard holding a sheet with a stack of text lines, and a
small key cap with a downward arrow in the corner: texts kept at hand, put
down with one key.

Only the standard library is used, so the icon can be rebuilt anywhere:

    python3 resources/make_icon.py

The file holds one 48 x 48 image, 32 bits per pixel with alpha, stored as a
DIB (BITMAPINFOHEADER, bottom-up BGRA rows followed by the 1-bit AND mask).
Windows scales it down for the 32 and 16 pixel sizes. Edges are antialiased
by sampling every pixel on a regular grid; the output is byte-for-byte
deterministic.
"""

import os
import struct

SIZE = 48
SAMPLES = 8  # per axis, so 64 coverage samples per pixel


# --- shapes: each is a predicate inside(x, y) in pixel units, 0..SIZE -------

def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if x < x0 or x > x1 or y < y0 or y > y1:
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        dx, dy = x - cx, y - cy
        return dx * dx + dy * dy <= r * r
    return inside


def capsule(xa, ya, xb, yb, r):
    """A segment with round caps, used for the text lines and the arrow."""
    vx, vy = xb - xa, yb - ya
    length2 = vx * vx + vy * vy

    def inside(x, y):
        t = ((x - xa) * vx + (y - ya) * vy) / length2 if length2 else 0.0
        t = min(max(t, 0.0), 1.0)
        dx, dy = x - (xa + t * vx), y - (ya + t * vy)
        return dx * dx + dy * dy <= r * r
    return inside


def union(*shapes):
    def inside(x, y):
        return any(s(x, y) for s in shapes)
    return inside


def minus(shape, hole):
    def inside(x, y):
        return shape(x, y) and not hole(x, y)
    return inside


def rgb(hex_colour):
    v = int(hex_colour, 16)
    return ((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF)


# --- the picture, back to front ---------------------------------------------

BOARD_EDGE = rgb("1F4E6B")
BOARD = rgb("2E7DA8")
PAPER_SHADE = rgb("C9D6DF")
PAPER = rgb("FAFCFD")
INK = rgb("4A5A68")
INK_LIGHT = rgb("8796A3")
CLIP_EDGE = rgb("3B4650")
CLIP = rgb("9AA7B2")
CLIP_SHINE = rgb("C4CED6")
KEY_EDGE = rgb("8A3D0E")
KEY_SIDE = rgb("C8581A")
KEY_TOP = rgb("F08A3C")
KEY_MARK = rgb("FFFFFF")


def build_layers():
    layers = []

    # Clipboard: a dark rim around a blue board.
    layers.append((rounded_rect(5, 4, 39, 46, 5.0), BOARD_EDGE))
    layers.append((rounded_rect(6.2, 5.2, 37.8, 44.8, 3.9), BOARD))

    # Sheet of paper with a thin shaded lower edge.
    layers.append((rounded_rect(10, 10, 34.5, 42, 1.6), PAPER_SHADE))
    layers.append((rounded_rect(10, 10, 34.5, 41, 1.6), PAPER))

    # Stack of text lines of varied length.
    lines = [(16.5, 30.5, INK), (20.5, 27.0, INK_LIGHT), (24.5, 29.5, INK),
             (28.5, 24.0, INK_LIGHT), (32.5, 28.0, INK), (36.5, 21.0, INK_LIGHT)]
    for y, x_end, colour in lines:
        layers.append((capsule(14.0, y, x_end, y, 1.15), colour))

    # Clip across the top edge, with a hole for the board's peg.
    clip_outer = rounded_rect(14, 1.5, 30.5, 12, 2.6)
    clip_inner = rounded_rect(15.2, 2.7, 29.3, 10.8, 1.6)
    clip_hole = rounded_rect(19.6, 4.2, 24.9, 7.0, 1.4)
    layers.append((minus(clip_outer, clip_hole), CLIP_EDGE))
    layers.append((minus(clip_inner, clip_hole), CLIP))
    layers.append((rounded_rect(15.8, 8.2, 28.7, 9.6, 0.7), CLIP_SHINE))

    # Key cap in the lower right corner, with a downward arrow: paste.
    layers.append((rounded_rect(27, 27, 46.5, 46.5, 4.2), KEY_EDGE))
    layers.append((rounded_rect(28.2, 28.2, 45.3, 45.3, 3.2), KEY_SIDE))
    layers.append((rounded_rect(29.4, 28.8, 44.1, 42.6, 2.6), KEY_TOP))
    arrow = union(capsule(36.75, 31.4, 36.75, 39.0, 1.5),
                  capsule(32.8, 35.3, 36.75, 39.3, 1.5),
                  capsule(40.7, 35.3, 36.75, 39.3, 1.5))
    layers.append((arrow, KEY_MARK))

    return layers


def render():
    """Return SIZE*SIZE (r, g, b, a) tuples, top row first."""
    layers = list(reversed(build_layers()))  # front first: first hit wins
    offsets = [(i + 0.5) / SAMPLES for i in range(SAMPLES)]
    total = SAMPLES * SAMPLES
    pixels = []
    for py in range(SIZE):
        for px in range(SIZE):
            r = g = b = hits = 0
            for oy in offsets:
                y = py + oy
                for ox in offsets:
                    x = px + ox
                    for inside, colour in layers:
                        if inside(x, y):
                            r += colour[0]
                            g += colour[1]
                            b += colour[2]
                            hits += 1
                            break
            if hits == 0:
                pixels.append((0, 0, 0, 0))
            else:
                # Colours are averaged over covered samples only (straight,
                # not premultiplied, alpha), alpha is the covered fraction.
                pixels.append(((r + hits // 2) // hits, (g + hits // 2) // hits,
                               (b + hits // 2) // hits, (255 * hits + total // 2) // total))
    return pixels


def ico_bytes(pixels):
    # Colour rows, bottom-up, BGRA.
    xor = bytearray()
    for row in range(SIZE - 1, -1, -1):
        for r, g, b, a in pixels[row * SIZE:(row + 1) * SIZE]:
            xor += bytes((b, g, r, a))

    # AND mask, bottom-up, 1 = transparent; rows padded to 32 bits. Only used
    # where alpha is not honoured, so half coverage decides.
    stride = ((SIZE + 31) // 32) * 4
    mask = bytearray()
    for row in range(SIZE - 1, -1, -1):
        line = bytearray(stride)
        for col in range(SIZE):
            if pixels[row * SIZE + col][3] < 128:
                line[col // 8] |= 0x80 >> (col % 8)
        mask += line

    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    image = header + bytes(xor) + bytes(mask)

    icon_dir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE % 256, SIZE % 256, 0, 0, 1, 32,
                        len(image), 6 + 16)
    return icon_dir + entry + image


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "vantrel.ico")
    data = ico_bytes(render())
    with open(out, "wb") as f:
        f.write(data)
    print(f"wrote {out} ({len(data)} bytes)")


if __name__ == "__main__":
    main()
