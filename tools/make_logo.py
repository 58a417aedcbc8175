#!/usr/bin/env python3
"""Draws Joulemap's logo into resources/logo.png (256 x 256, RGBA).

A rounded square in a green-to-cyan gradient; a white band from the left edge splits into three
(power flowing to its destinations) behind a white lightning bolt. Standard library only, so the
image can be redrawn on any machine:  python3 tools/make_logo.py [output.png]
"""

import math
import os
import struct
import sys
import zlib

SIZE = 256
SUPERSAMPLE = 4  # samples per pixel along each axis, for smooth edges
MARGIN = 8
CORNER_RADIUS = 56

GREEN = (0x30, 0xD1, 0x58)
CYAN = (0x64, 0xD2, 0xFF)
WHITE = (255, 255, 255)

FLOW_OPACITY = 0.28
FLOW_HALF_WIDTH = 8.0
FLOW_START_X, FLOW_END_X = 30.0, 226.0
FLOW_SOURCE_Y = 128.0
FLOW_TARGET_YS = (78.0, 128.0, 178.0)

# Clockwise outline of the bolt.
BOLT = [(150, 34), (80, 142), (124, 142), (106, 222), (178, 112), (134, 112)]
SHADOW_OFFSET = (3.0, 5.0)
SHADOW_OPACITY = 0.18


def inside_rounded_square(x, y):
    lo, hi = MARGIN, SIZE - MARGIN
    if x < lo or x > hi or y < lo or y > hi:
        return False
    cx = min(max(x, lo + CORNER_RADIUS), hi - CORNER_RADIUS)
    cy = min(max(y, lo + CORNER_RADIUS), hi - CORNER_RADIUS)
    return (x - cx) ** 2 + (y - cy) ** 2 <= CORNER_RADIUS ** 2


def inside_polygon(x, y, points):
    inside = False
    j = len(points) - 1
    for i, (xi, yi) in enumerate(points):
        xj, yj = points[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            inside = not inside
        j = i
    return inside


def inside_flow(x, y):
    if x < FLOW_START_X or x > FLOW_END_X:
        return False
    t = (x - FLOW_START_X) / (FLOW_END_X - FLOW_START_X)
    ease = t * t * (3 - 2 * t)
    return any(abs(y - (FLOW_SOURCE_Y + (target - FLOW_SOURCE_Y) * ease)) <= FLOW_HALF_WIDTH
               for target in FLOW_TARGET_YS)


def over(dst, src, alpha):
    return tuple(d + (s - d) * alpha for d, s in zip(dst, src))


def sample(x, y):
    """Colour and coverage (0 or 1) of one sample point."""
    if not inside_rounded_square(x, y):
        return (0.0, 0.0, 0.0), 0.0
    t = ((x - MARGIN) + (y - MARGIN)) / (2 * (SIZE - 2 * MARGIN))
    color = tuple(g + (c - g) * t for g, c in zip(GREEN, CYAN))
    if inside_flow(x, y):
        color = over(color, WHITE, FLOW_OPACITY)
    if inside_polygon(x - SHADOW_OFFSET[0], y - SHADOW_OFFSET[1], BOLT):
        color = over(color, (0, 0, 0), SHADOW_OPACITY)
    if inside_polygon(x, y, BOLT):
        color = WHITE
    return color, 1.0


def render():
    rows = []
    step = 1.0 / SUPERSAMPLE
    count = SUPERSAMPLE * SUPERSAMPLE
    for py in range(SIZE):
        row = bytearray([0])  # filter type "none"
        for px in range(SIZE):
            r = g = b = coverage = 0.0
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    color, a = sample(px + (sx + 0.5) * step, py + (sy + 0.5) * step)
                    r += color[0] * a
                    g += color[1] * a
                    b += color[2] * a
                    coverage += a
            if coverage == 0:
                row += b"\0\0\0\0"
                continue
            # Colour averaged over the covered samples only, so edges do not darken.
            row += bytes([round(r / coverage), round(g / coverage), round(b / coverage),
                          round(255 * coverage / count)])
        rows.append(bytes(row))
    return b"".join(rows)


def png(width, height, rgba):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rgba, 9))
            + chunk(b"IEND", b""))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "resources", "logo.png")
    with open(out, "wb") as f:
        f.write(png(SIZE, SIZE, render()))
    print(os.path.normpath(out))


if __name__ == "__main__":
    main()
