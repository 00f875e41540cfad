#!/usr/bin/env python3
"""Draws Quiptide's logo picture (logo.bmp, 96 x 96, for the splash window) and the
program icon (../Quiptide.ico, 32 x 32 and 16 x 16): a quill writing on the tide.

Each picture is a scene of shapes in unit co-ordinates (0 to 1 across and down), sampled
4 x 4 times a pixel and averaged, so edges come out smooth at any size. Run from this
folder to rewrite both files; the results are kept in the repository.
"""
import math
import os
import struct
import sys

sys.dont_write_bytecode = True  # nothing left behind in the glyphs folder
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'glyphs'))
from make_glyphs import bmp24  # noqa: E402  (the glyphs' BMP writer)

NAVY = (22, 38, 92)
INK = (34, 30, 44)
IVORY = (252, 249, 238)
SHAFT = (150, 112, 70)
SUN = (255, 196, 64)
FOAM = (236, 246, 252)
SUPERSAMPLE = 4


def mix(a, b, t):
    return tuple(a[k] + (b[k] - a[k]) * t for k in range(3))


def sky(y):
    """Warm cream at the top to pale blue at the horizon."""
    return mix((255, 241, 204), (176, 214, 240), min(1.0, y / 0.62))


def wave(x, base, height, length, phase):
    return base + height * math.sin(2 * math.pi * (x + phase) / length)


def sea(x, y):
    """The two rolling waves, each with a foam line on its crest; None above the water."""
    near = wave(x, 0.80, 0.028, 0.44, 0.15)
    far = wave(x, 0.64, 0.035, 0.52, 0.0)
    if y >= near:
        return FOAM if y < near + 0.018 else mix((30, 92, 160), (16, 48, 112), (y - near) / 0.2)
    if y >= far:
        return FOAM if y < far + 0.018 else mix((62, 138, 200), (34, 96, 170), (y - far) / 0.16)
    return None


def quill(x, y, tip, end, width):
    """The feather from its nib at tip to its top at end, bowed a little; None off it."""
    ax, ay = end[0] - tip[0], end[1] - tip[1]
    length = math.hypot(ax, ay)
    u = ((x - tip[0]) * ax + (y - tip[1]) * ay) / (length * length)
    if u < 0 or u > 1:
        return None
    v = ((x - tip[0]) * -ay + (y - tip[1]) * ax) / length  # signed distance across
    v -= 0.06 * length * math.sin(math.pi * u)              # the bow
    if u < 0.16:                                # the nib, cut to a point
        return INK if abs(v) <= width * 0.22 * u / 0.16 + 0.004 else None
    t = (u - 0.16) / 0.84
    side = 1.0 if v < 0 else 0.7                # one vane wider than the other
    half = width * side * math.sin(math.pi * t ** 0.75) ** 0.7
    if abs(v) > half:
        return None
    if abs(v) < 0.1 * width:
        return SHAFT
    if abs(v) > half - 0.022:
        return NAVY
    # Where the barbs of the wide vane part: thin lines slanting up from the shaft.
    for at in (0.32, 0.56):
        if v < 0 and abs(t - at - 1.4 * abs(v)) < 0.012:
            return NAVY
    return IVORY


def logo(x, y):
    c = quill(x, y, tip=(0.34, 0.70), end=(0.88, 0.06), width=0.12)
    if c:
        return c
    water = sea(x, y)
    if water:
        return water
    if math.hypot(x - 0.27, y - 0.30) < 0.15:
        return SUN
    return sky(y)


def rounded_tile(x, y, radius):
    """Inside a square with rounded corners, filling the unit square."""
    dx = max(radius - x, 0, x - (1 - radius))
    dy = max(radius - y, 0, y - (1 - radius))
    return dx * dx + dy * dy <= radius * radius


def icon(x, y):
    """The logo's quill and waves on a rounded tile with a navy rim, the quill larger and
    without the sun; None off the tile."""
    if not rounded_tile(x, y, 0.2):
        return None
    c = quill(x, y, tip=(0.22, 0.80), end=(0.90, 0.06), width=0.19)
    if c:
        return c
    if not rounded_tile((x - 0.5) / 0.92 + 0.5, (y - 0.5) / 0.92 + 0.5, 0.2):
        return NAVY
    return sea(x, y) or sky(y)


def render(scene, size):
    """(r, g, b, a) rows of a scene at size x size pixels."""
    rows = []
    n = SUPERSAMPLE
    for py in range(size):
        row = []
        for px in range(size):
            total, hits = [0.0, 0.0, 0.0], 0
            for j in range(n):
                for i in range(n):
                    c = scene((px + (i + 0.5) / n) / size, (py + (j + 0.5) / n) / size)
                    if c:
                        hits += 1
                        for k in range(3):
                            total[k] += c[k]
            if hits * 2 < n * n:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(round(t / hits) for t in total) + (255,))
        rows.append(row)
    return rows


def icon_image(rows):
    """One 32-bit image of an .ico: header, colours bottom-up, and the AND mask."""
    size = len(rows)
    xor = b''.join(bytes((b, g, r, a)) for row in reversed(rows) for r, g, b, a in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = b''
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(line)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + mask


def write_icon(path, sizes):
    images = [icon_image(render(icon, s)) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(out + b''.join(images))


if __name__ == '__main__':
    with open('logo.bmp', 'wb') as f:
        f.write(bmp24([[p[:3] for p in row] for row in render(logo, 96)]))
    write_icon('../Quiptide.ico', (32, 16))
