#!/usr/bin/env python3
"""Draws the updater's icon: one image for each size Windows asks for at 100 % to 200 % scale
(16, 24, 32, 48 and 64 pixels square), 8 bits per pixel (256-colour palette).

A blue rounded square with a white down-pointing arrow over a tray: "get the new version". The
drawing is made on a 32-unit grid and sampled at each pixel's centre, so the 32x32 image is the
grid itself and the others are the same shapes at their own resolution.
Writes tolvex.ico beside this script; the .ico is kept in the repository.
"""
import os
import struct

GRID = 32
SIZES = (16, 24, 32, 48, 64)


def shade(u, v):
    """Palette index at point (u, v) of the 32-unit grid, v counted from the top; 0 = transparent."""
    cx, cy = u - 16, v - 16
    corner = 6
    inside = abs(cx) <= 15.5 and abs(cy) <= 15.5
    if abs(cx) > 15.5 - corner and abs(cy) > 15.5 - corner:
        dx, dy = abs(cx) - (15.5 - corner), abs(cy) - (15.5 - corner)
        inside = dx * dx + dy * dy <= corner * corner
    if not inside:
        return 0
    # Arrow shaft and head.
    if 13 <= u < 19 and 5 <= v < 16:
        return 3
    if 16 <= v < 23 and abs(u - 16) <= 23 - v:
        return 3
    # Tray.
    if 24 <= v < 27 and 7 <= u < 25:
        return 3
    if 20 <= v < 27 and (7 <= u < 10 or 22 <= u < 25):
        return 3
    # Shading from top to bottom.
    return 1 if v < 16 else 2


def pixel(x, y, size):
    """Palette index of pixel (x, y) of a size x size image: the grid at the pixel's centre."""
    scale = GRID / size
    return shade((x + 0.5) * scale, (y + 0.5) * scale)


def image(size, colours):
    """One icon image: BITMAPINFOHEADER (double height: colours, then mask), palette, pixels
    bottom-up, then the 1-bit AND mask with rows padded to 4 bytes."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    rows = []
    masks = []
    mask_row_bytes = (size + 31) // 32 * 4
    for y in reversed(range(size)):  # bottom-up
        row = bytes(pixel(x, y, size) for x in range(size))
        rows.append(row)  # 8-bit rows of 16, 24, 32, 48, 64 bytes are already 4-byte aligned
        bits = 0
        for x in range(size):
            bits = (bits << 1) | (1 if row[x] == 0 else 0)
        bits <<= mask_row_bytes * 8 - size
        masks.append(bits.to_bytes(mask_row_bytes, "big"))
    return header + colours + b"".join(rows) + b"".join(masks)


def main():
    palette = [(0, 0, 0), (0xD0, 0x78, 0x20), (0xA0, 0x50, 0x10), (0xFF, 0xFF, 0xFF)]  # BGR
    palette += [(0, 0, 0)] * (256 - len(palette))
    colours = b"".join(struct.pack("BBBB", b, g, r, 0) for (b, g, r) in palette)
    images = [image(size, colours) for size in SIZES]
    # ICONDIR, one ICONDIRENTRY per image, then the images in the same order.
    icon = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(SIZES, images):
        icon += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 8, len(data), offset)
        offset += len(data)
    icon += b"".join(images)
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "tolvex.ico")
    with open(path, "wb") as out:
        out.write(icon)


if __name__ == "__main__":
    main()
