#!/usr/bin/env python3
"""Draws the updater's icon: one 32x32 image, 8 bits per pixel (256-colour palette).

A blue rounded square with a white down-pointing arrow over a tray: "get the new version".
Writes tolvex.ico beside this script; the .ico is kept in the repository.
"""
import os
import struct

SIZE = 32


def pixel(x, y):
    """Palette index of pixel (x, y), y counted from the top; 0 = transparent."""
    cx, cy = x - 15.5, y - 15.5
    corner = 6
    inside = abs(cx) <= 15.5 and abs(cy) <= 15.5
    if abs(cx) > 15.5 - corner and abs(cy) > 15.5 - corner:
        dx, dy = abs(cx) - (15.5 - corner), abs(cy) - (15.5 - corner)
        inside = dx * dx + dy * dy <= corner * corner
    if not inside:
        return 0
    # Arrow shaft and head.
    if 13 <= x <= 18 and 5 <= y <= 15:
        return 3
    if 16 <= y <= 22 and abs(x - 15.5) <= (22 - y) + 0.5:
        return 3
    # Tray.
    if 24 <= y <= 26 and 7 <= x <= 24:
        return 3
    if 20 <= y <= 26 and (7 <= x <= 9 or 22 <= x <= 24):
        return 3
    # Shading from top to bottom.
    return 1 if y < 16 else 2


def main():
    palette = [(0, 0, 0), (0xD0, 0x78, 0x20), (0xA0, 0x50, 0x10), (0xFF, 0xFF, 0xFF)]  # BGR
    palette += [(0, 0, 0)] * (256 - len(palette))
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    colours = b"".join(struct.pack("BBBB", b, g, r, 0) for (b, g, r) in palette)
    rows = []
    masks = []
    for y in reversed(range(SIZE)):  # bottom-up
        row = bytes(pixel(x, y) for x in range(SIZE))
        rows.append(row)
        bits = 0
        for x in range(SIZE):
            bits = (bits << 1) | (1 if row[x] == 0 else 0)
        masks.append(struct.pack(">I", bits))
    image = header + colours + b"".join(rows) + b"".join(masks)
    icon = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 8, len(image), 22) + image
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "tolvex.ico")
    with open(path, "wb") as out:
        out.write(icon)


if __name__ == "__main__":
    main()
