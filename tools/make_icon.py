#!/usr/bin/env python3
"""Draws the program icon (resources/app.ico): a deep blue disc with a white down arrow,
the update sign, at 16, 32 and 48 pixels, 32-bit colour with alpha."""
import struct
import sys


def pixel(x, y, size):
    # Work in a 0..1 square, sampled at pixel centres, 4x4 supersampling for smooth edges.
    cover_disc = cover_arrow = 0
    for sy in range(4):
        for sx in range(4):
            u = (x + (sx + 0.5) / 4) / size
            v = (y + (sy + 0.5) / 4) / size
            if (u - 0.5) ** 2 + (v - 0.5) ** 2 <= 0.47 ** 2:
                cover_disc += 1
                shaft = 0.41 <= u <= 0.59 and 0.2 <= v <= 0.55
                head = 0.5 <= v <= 0.8 and abs(u - 0.5) <= (0.8 - v) * 0.95
                if shaft or head:
                    cover_arrow += 1
    alpha = cover_disc * 255 // 16
    white = cover_arrow / max(cover_disc, 1)
    blue = (40, 80, 170)  # r, g, b
    r, g, b = (round(c + (255 - c) * white) for c in blue)
    return b, g, r, alpha


def image(size):
    rows = []
    for y in reversed(range(size)):  # bottom-up DIB rows
        rows.append(b"".join(struct.pack("BBBB", *pixel(x, y, size)) for x in range(size)))
    xor = b"".join(rows)
    mask_row = ((size + 31) // 32) * 4
    and_mask = bytes(mask_row * size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    return header + xor + and_mask


def main(path):
    sizes = (16, 32, 48)
    images = [image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for size, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "resources/app.ico")
