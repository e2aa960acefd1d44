#!/usr/bin/env python3
"""Draws Korvu's icon: a black worm heading for a green food cell on the
light-grey board inside its black wall.

The picture is laid out on a 16 x 16 grid and written as 16-colour PNGs
(4-bit palette) at 16, 32, 48 and 256 pixels, plus an SVG of the same grid.
Only the standard library is used, and the output is byte-for-byte stable.

    python3 scripts/make-icons.py [output folder, default about/icons]
"""
import pathlib
import struct
import sys
import zlib

# The classic 16-colour palette; the icon uses black, silver and lime.
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, BOARD, FOOD = 0, 7, 10

GRID = 16
# Board cells are 2 x 2 grid units inside the one-unit wall: 7 x 7 cells.
WORM = [(1, 4), (2, 4), (3, 4), (3, 3), (3, 2), (4, 2)]  # tail first, head last
FOOD_CELL = (5, 2)


def rectangles():
    """The picture as (x, y, width, height, colour) in grid units, back to front."""
    yield (0, 0, GRID, GRID, BLACK)
    yield (1, 1, GRID - 2, GRID - 2, BOARD)
    for column, row in WORM:
        yield (1 + 2 * column, 1 + 2 * row, 2, 2, BLACK)
    yield (1 + 2 * FOOD_CELL[0], 1 + 2 * FOOD_CELL[1], 2, 2, FOOD)


def pixels(size):
    scale = size // GRID
    image = [[BOARD] * size for _ in range(size)]
    for x, y, width, height, colour in rectangles():
        for py in range(y * scale, (y + height) * scale):
            for px in range(x * scale, (x + width) * scale):
                image[py][px] = colour
    return image


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def png(size):
    rows = b""
    for row in pixels(size):
        packed = bytes((row[i] << 4) | row[i + 1] for i in range(0, size, 2))
        rows += b"\x00" + packed
    header = struct.pack(">IIBBBBB", size, size, 4, 3, 0, 0, 0)
    palette = b"".join(bytes(rgb) for rgb in PALETTE)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"PLTE", palette)
            + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


def svg():
    lines = [
        '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" '
        f'viewBox="0 0 {GRID} {GRID}" shape-rendering="crispEdges">',
        "  <title>Korvu</title>",
    ]
    for x, y, width, height, colour in rectangles():
        fill = "#{:02X}{:02X}{:02X}".format(*PALETTE[colour])
        lines.append(f'  <rect x="{x}" y="{y}" width="{width}" height="{height}" fill="{fill}"/>')
    lines.append("</svg>")
    return "\n".join(lines) + "\n"


def main():
    default = pathlib.Path(__file__).resolve().parent.parent / "about" / "icons"
    folder = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else default
    folder.mkdir(parents=True, exist_ok=True)
    for size in (16, 32, 48, 256):
        (folder / f"korvu-{size}.png").write_bytes(png(size))
    (folder / "korvu.svg").write_text(svg(), encoding="utf-8")


if __name__ == "__main__":
    main()
