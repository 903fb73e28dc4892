#!/usr/bin/env python3
"""Draws the program's icon, a key cap being tapped, as one 48x48 32-bit image: src/res/Tapwren.ico."""
import struct
import sys
from pathlib import Path

SIZE = 48


def inside_rounded(x, y, left, top, right, bottom, radius):
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def pixel(x, y):
    """BGRA of the pixel at (x, y), y counted from the top; 4x supersampled for soft edges."""
    samples = []
    for sy in range(4):
        for sx in range(4):
            px, py = x + (sx + 0.5) / 4, y + (sy + 0.5) / 4
            if inside_rounded(px, py, 14, 24, 34, 31, 1.5):      # the T's bar, on the cap
                samples.append((60, 40, 20, 255))
            elif inside_rounded(px, py, 21.5, 24, 26.5, 40, 1.5):  # the T's stem
                samples.append((60, 40, 20, 255))
            elif inside_rounded(px, py, 8, 18, 40, 44, 5):     # the key cap
                samples.append((245, 240, 235, 255))
            elif inside_rounded(px, py, 2, 10, 46, 46, 8):     # the key's body
                samples.append((200, 120, 40, 255))
            elif (px - 24) ** 2 / 40 + (py - 6) ** 2 / 6 <= 1:  # the tap mark above it
                samples.append((40, 170, 250, 255))
            else:
                samples.append((0, 0, 0, 0))
    alpha = sum(s[3] for s in samples)
    if alpha == 0:
        return (0, 0, 0, 0)
    colour = [round(sum(s[i] * s[3] for s in samples) / alpha) for i in range(3)]
    return (*colour, round(alpha / len(samples)))


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / "src/res/Tapwren.ico"
    rows = []
    for y in reversed(range(SIZE)):  # bottom-up, as bitmaps are stored
        rows.append(b"".join(struct.pack("<4B", *pixel(x, y)) for x in range(SIZE)))
    xor = b"".join(rows)
    mask = bytes(SIZE * 8)  # 48 bits padded to 64 per row; alpha does the masking
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = header + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 22)
    out.write_bytes(directory + image)


if __name__ == "__main__":
    main()
