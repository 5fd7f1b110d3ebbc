#!/usr/bin/env python3
"""Writes small, valid seed inputs for the fuzz targets that have no fixtures of their own:
BMP files of every depth and compression the reader takes (fuzz_bmp) and Windows and
enhanced metafiles (fuzz_metafile). Each seed is made here, field by field.

    fuzz/make_seeds.py OUT_FOLDER     writes OUT_FOLDER/bmp/*.bmp and OUT_FOLDER/metafile/*
"""

import os
import struct
import sys


# ---- BMP ----

def bmp(width, height, bits, pixels_rows, palette=(), compression=0, masks=(), top_down=False):
    """A BMP file: file header, 40-byte info header, masks, colour table, pixel bytes.
    `pixels_rows` is the pixel data already laid out (rows padded, bottom-up unless top_down)."""
    data = b"".join(pixels_rows) if isinstance(pixels_rows, list) else pixels_rows
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    extra = b"".join(struct.pack("<I", m) for m in masks)
    off = 14 + 40 + len(extra) + len(table)
    info = struct.pack("<IiiHHIIiiII", 40, width, -height if top_down else height, 1, bits, compression,
                       len(data), 2835, 2835, len(palette), 0)
    head = struct.pack("<2sIHHI", b"BM", off + len(data), 0, 0, off)
    return head + info + extra + table + data


def pad(row):
    return row + b"\0" * (-len(row) % 4)


def bmp_seeds():
    gray = [(i * 85, i * 85, i * 85) for i in range(4)]
    out = {}
    # 1 bit, 9 x 3: a checker.
    rows = [pad(bytes([0b10101010, 0b10000000 if y % 2 else 0])) for y in range(3)]
    out["mono.bmp"] = bmp(9, 3, 1, rows, palette=[(0, 0, 0), (255, 255, 255)])
    # 4 bit, 5 x 2.
    rows = [pad(bytes([0x01, 0x23, 0x30])) for _ in range(2)]
    out["four.bmp"] = bmp(5, 2, 4, rows, palette=gray)
    # 8 bit, 3 x 3, top-down.
    rows = [pad(bytes([y, (y + 1) % 4, (y + 2) % 4])) for y in range(3)]
    out["eight_topdown.bmp"] = bmp(3, 3, 8, rows, palette=gray, top_down=True)
    # 16 bit 5-6-5 through bit fields, 2 x 2.
    rows = [pad(struct.pack("<HH", 0xF800, 0x07E0)), pad(struct.pack("<HH", 0x001F, 0xFFFF))]
    out["565.bmp"] = bmp(2, 2, 16, rows, compression=3, masks=(0xF800, 0x07E0, 0x001F))
    # 16 bit 5-5-5, 24 bit and 32 bit, 2 x 2.
    out["555.bmp"] = bmp(2, 2, 16, [pad(struct.pack("<HH", 0x7C00, 0x03E0))] * 2)
    out["rgb24.bmp"] = bmp(2, 2, 24, [pad(bytes([0, 0, 255, 0, 255, 0]))] * 2)
    out["rgb32.bmp"] = bmp(2, 2, 32, [bytes([255, 0, 0, 0, 0, 0, 255, 0])] * 2)
    # RLE8, 4 x 2: a run, an absolute stretch, end of line, end of bitmap.
    rle8 = bytes([4, 1, 0, 0, 0, 4, 0, 1, 2, 3, 0, 1])
    out["rle8.bmp"] = bmp(4, 2, 8, rle8, palette=gray, compression=1)
    # RLE4, 4 x 2: runs of two colours, a delta, end of bitmap.
    rle4 = bytes([4, 0x12, 0, 0, 0, 2, 0, 1, 2, 0x33, 0, 1])
    out["rle4.bmp"] = bmp(4, 2, 4, rle4, palette=gray, compression=2)
    return out


# ---- metafiles ----

def emf(records, bounds=(0, 0, 99, 49)):
    body = b"".join(records)
    eof = struct.pack("<IIIII", 14, 20, 0, 0, 20)
    count = len(records) + 2
    size = 88 + len(body) + len(eof)
    header = struct.pack("<II4i4iIIIIHHIIIiiii", 1, 88, *bounds, 0, 0, 2646, 1323, 0x464D4520, 0x10000, size,
                         count, 1, 0, 0, 0, 0, 1024, 768, 271, 203)
    return header + body + eof


def emr(kind, *ints):
    return struct.pack("<II", kind, 8 + 4 * len(ints)) + struct.pack("<%di" % len(ints), *ints)


def wmf(records, placeable=True):
    eof = struct.pack("<IH", 3, 0)
    body = b"".join(records) + eof
    biggest = max(len(r) // 2 for r in records + [eof])
    header = struct.pack("<HHHIHIH", 1, 9, 0x0300, (18 + len(body)) // 2, 0, biggest, 0)
    data = header + body
    if not placeable:
        return data
    head = struct.pack("<IHhhhhHI", 0x9AC6CDD7, 0, 0, 0, 200, 100, 1440, 0)
    checksum = 0
    for (word,) in struct.iter_unpack("<H", head):
        checksum ^= word
    return head + struct.pack("<H", checksum) + data


def wmr(function, *shorts):
    return struct.pack("<IH", 3 + len(shorts), function) + struct.pack("<%dh" % len(shorts), *shorts)


def metafile_seeds():
    out = {}
    out["shapes.emf"] = emf([
        emr(17, 1),                     # EMR_SETMAPMODE MM_TEXT
        emr(27, 5, 5),                  # EMR_MOVETOEX
        emr(54, 90, 40),                # EMR_LINETO
        emr(43, 10, 10, 60, 30),        # EMR_RECTANGLE
        emr(42, 20, 5, 80, 45),         # EMR_ELLIPSE
    ])
    shapes = [
        wmr(0x020B, 0, 0),              # META_SETWINDOWORG y, x
        wmr(0x020C, 100, 200),          # META_SETWINDOWEXT y, x
        wmr(0x041B, 90, 190, 10, 10),   # META_RECTANGLE bottom, right, top, left
        wmr(0x0418, 80, 150, 20, 50),   # META_ELLIPSE
    ]
    out["shapes.wmf"] = wmf(shapes)
    out["plain.wmf"] = wmf(shapes, placeable=False)
    return out


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    for folder, seeds in (("bmp", bmp_seeds()), ("metafile", metafile_seeds())):
        path = os.path.join(sys.argv[1], folder)
        os.makedirs(path, exist_ok=True)
        for name, data in seeds.items():
            with open(os.path.join(path, name), "wb") as f:
                f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
