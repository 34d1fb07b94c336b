#!/usr/bin/env python3
"""Writes the program icon: a 32x32, 16-colour traverse triangle with red station marks."""
import struct
import sys

SIZE = 32
# Palette (index: B, G, R, 0): transparent-ish white, dark blue line, red mark, pale fill.
PALETTE = [(255, 255, 255), (120, 40, 10), (30, 30, 220), (250, 235, 215)] + [(0, 0, 0)] * 12
VERTICES = [(4, 27), (28, 24), (14, 4)]  # (x, y) with y counted from the top


def inside_triangle(x, y):
    (x1, y1), (x2, y2), (x3, y3) = VERTICES
    def side(ax, ay, bx, by):
        return (bx - ax) * (y - ay) - (by - ay) * (x - ax)
    s1, s2, s3 = side(x1, y1, x2, y2), side(x2, y2, x3, y3), side(x3, y3, x1, y1)
    return (s1 >= 0 and s2 >= 0 and s3 >= 0) or (s1 <= 0 and s2 <= 0 and s3 <= 0)


def near_edge(x, y):
    for i in range(3):
        (ax, ay), (bx, by) = VERTICES[i], VERTICES[(i + 1) % 3]
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / float(dx * dx + dy * dy)))
        px, py = ax + t * dx, ay + t * dy
        if (x - px) ** 2 + (y - py) ** 2 <= 1.0:
            return True
    return False


def colour(x, y):
    for vx, vy in VERTICES:
        if (x - vx) ** 2 + (y - vy) ** 2 <= 6.5:
            return 2
    if near_edge(x, y):
        return 1
    if inside_triangle(x, y):
        return 3
    return None  # transparent


def main(path):
    xor_rows, and_rows = [], []
    for y in range(SIZE - 1, -1, -1):  # bitmaps run bottom-up
        row = bytearray()
        mask = 0
        for x in range(0, SIZE, 2):
            a, b = colour(x, y), colour(x + 1, y)
            row.append(((a or 0) << 4) | (b or 0))
        for x in range(SIZE):
            mask = (mask << 1) | (1 if colour(x, y) is None else 0)
        xor_rows.append(bytes(row))
        and_rows.append(struct.pack(">I", mask))
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (b, g, r) in PALETTE)
    image = header + palette + b"".join(xor_rows) + b"".join(and_rows)
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack(
        "<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    with open(path, "wb") as out:
        out.write(directory + image)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "src/app/win32/trovisk.ico")
