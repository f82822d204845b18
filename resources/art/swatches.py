#!/usr/bin/python3
"""Writes the 32 colour swatches (16 x 16, 24-bit BMP) into the given folder: for every
colour of the palette a note (a square with its top-left corner cut off) filled with the
colour and outlined, named after the colour, and a capital T drawn in the colour on white,
named "T" + the colour. Pixels of magenta (255, 0, 255) are transparent where drawn, so a
colour equal to it is drawn one step of blue away from it."""
import struct
import sys

PALETTE = [  # name, red, green, blue: the palette positions 1 to 16
    ("NEGRO", 0, 0, 0), ("AZUL", 0, 0, 128), ("VERDE", 0, 128, 0), ("CYAN", 0, 128, 128),
    ("ROJO", 128, 0, 0), ("MAGENTA", 128, 0, 128), ("CAFE", 128, 128, 0), ("GRIS", 192, 192, 192),
    ("GRISF", 128, 128, 128), ("AZULB", 0, 0, 255), ("VERDEB", 0, 255, 0), ("CYANB", 0, 255, 255),
    ("ROJOB", 255, 0, 0), ("MAGENTAB", 255, 0, 255), ("AMARILLO", 255, 255, 0), ("BLANCO", 255, 255, 255),
]
KEY = (255, 0, 255)
OUTLINE = (64, 64, 64)
WHITE = (255, 255, 255)
SIZE = 16
CUT = 4  # the cut corner


def write_bmp(path, pixels):
    """pixels[y][x] = (r, g, b), top row first."""
    row_bytes = SIZE * 3
    padding = (4 - row_bytes % 4) % 4
    image = b"".join(
        b"".join(struct.pack("BBB", b, g, r) for (r, g, b) in row) + b"\0" * padding for row in reversed(pixels))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(image), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 24, 0, len(image), 2835, 2835, 0, 0)
    with open(path, "wb") as out:
        out.write(header + info + image)


def drawable(colour):
    """A colour equal to the key would vanish: it is nudged by one step of blue."""
    return colour if colour != KEY else (255, 0, 254)


def note(colour):
    fill = drawable(colour)
    pixels = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            inside = 1 <= x <= 14 and 1 <= y <= 14 and x + y >= 1 + CUT + 1
            edge = inside and (x in (1, 14) or y in (1, 14) or x + y == 1 + CUT + 1)
            row.append(OUTLINE if edge else fill if inside else KEY)
        pixels.append(row)
    return pixels


def letter_t(colour):
    """The T has a grey rim, so that a white or pale one still shows on white."""
    shape = {(x, y) for y in range(3, 6) for x in range(3, 13)} | {(x, y) for y in range(6, 14) for x in range(6, 10)}
    pixels = [[WHITE] * SIZE for _ in range(SIZE)]
    for y in range(SIZE):
        for x in range(SIZE):
            near = any((x + dx, y + dy) in shape for dx in (-1, 0, 1) for dy in (-1, 0, 1))
            if (x, y) in shape:
                pixels[y][x] = drawable(colour)
            elif near:
                pixels[y][x] = (150, 150, 150)
            elif x in (0, 15) or y in (0, 15):
                pixels[y][x] = (200, 200, 200)
    return pixels


def main(folder):
    for name, r, g, b in PALETTE:
        write_bmp(f"{folder}/{name}.bmp", note((r, g, b)))
        write_bmp(f"{folder}/T{name}.bmp", letter_t((r, g, b)))


if __name__ == "__main__":
    main(sys.argv[1])
