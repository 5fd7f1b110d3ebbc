#!/usr/bin/env python3
"""Writes the shipped layout files (data/*.LYT) from the readable table tools/layouts.tsv.

Each row of the table is one entry of a layout file, in list order:

    collection  name  paper  unit  rows  columns  width  height  top  left  colgap  rowgap  region  back

- collection: the layout file the entry goes into (file name without ".LYT").
- name: what the list shows; a note follows "<>". Names starting with "=====" or "-----"
  are headings, "....." is an empty line; those rows leave the other columns empty.
- paper: Letter, Legal, Executive, A3, A4 or A5.
- unit: in or mm; every length of the row is in that unit (converted the way the layout
  dialog converts typed numbers, truncating after adding 0.00001).
- region: flat, side-tall, top-wide, side-wide or top-tall (folded cards give their
  unfolded width and height).
- back: 1 when the card has a printable back (folded cards need it for the cover).

The generator refuses a row whose regions fall outside 1.50 to 4.00 inches or whose
elements do not fit the sheet, so the table cannot ship a layout the program refuses.

Usage: make_layouts.py [--table FILE] [--out FOLDER]
"""

import argparse
import os
import struct
import sys

RECORD_SIZE = 122
NAME_SIZE = 50
PAPERS = {  # type, width, height (hundredths of an inch, portrait)
    "Letter": (0, 850, 1100), "Legal": (1, 850, 1400), "Executive": (2, 725, 1050),
    "A3": (3, 1169, 1654), "A4": (4, 827, 1169), "A5": (5, 583, 827),
}
REGIONS = {"flat": 0, "side-tall": 1, "top-wide": 2, "side-wide": 3, "top-tall": 4}
DECORATIONS = ("=====", "-----", ".....")


def to_units(text, unit):
    value = (float(text) + 0.00001) * 100.0
    if unit == "mm":
        value *= 0.03937007874015748
    elif unit != "in":
        raise ValueError("unit must be in or mm, not %r" % unit)
    units = int(value)  # truncation toward zero
    if units < 0:
        raise ValueError("negative length %r" % text)
    return units


def encode_name(name):
    data = name.encode("cp1252")
    if len(data) > NAME_SIZE - 1:
        raise ValueError("name longer than 49 characters: %r (%d)" % (name, len(data)))
    return data + b"\0" * (NAME_SIZE - len(data))


def region_size(region, width, height):
    if region in (1, 3):
        return width // 2, height
    if region in (2, 4):
        return width, height // 2
    return width, height


def check(name, rows, columns, width, height, top, left, colgap, rowgap, region, paper):
    rw, rh = region_size(region, width, height)
    if not (150 <= rw <= 400 and 150 <= rh <= 400):
        raise ValueError("%r: region %d x %d is outside 150..400" % (name, rw, rh))
    _, pw, ph = PAPERS[paper]
    # The print job turns the sheet when the columns (left margin counted twice) need it.
    if columns * width + (columns - 1) * colgap + 2 * left > pw + 25:
        pw, ph = ph, pw
    need_w = columns * width + (columns - 1) * colgap + left
    need_h = rows * height + (rows - 1) * rowgap + top
    if need_w > pw or need_h > ph:
        raise ValueError("%r: %d x %d does not fit the %d x %d sheet" % (name, need_w, need_h, pw, ph))


def record(row):
    name = row[1]
    if name.startswith(DECORATIONS):
        return encode_name(name) + b"\0" * (RECORD_SIZE - NAME_SIZE)
    paper, unit = row[2], row[3]
    rows, columns = int(row[4]), int(row[5])
    width, height, top, left, colgap, rowgap = (to_units(v, unit) for v in row[6:12])
    region = REGIONS[row[12]]
    back = int(row[13])
    if back not in (0, 1):
        raise ValueError("%r: back must be 0 or 1" % name)
    check(name, rows, columns, width, height, top, left, colgap, rowgap, region, paper)
    body = struct.pack("<8I", rows, columns, width, height, top, left, colgap, rowgap)
    body += b"\0" * 8                                   # reserved words
    body += bytes([region, back, PAPERS[paper][0], 0])  # region type, back, paper, template kind
    body += b"\0" * 28                                  # reserved
    data = encode_name(name) + body
    assert len(data) == RECORD_SIZE
    return data


def read_table(path):
    collections = {}
    order = []
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            row = line.split("\t")
            try:
                if len(row) < 2:
                    raise ValueError("needs at least a collection and a name")
                if not row[1].startswith(DECORATIONS) and len(row) != 14:
                    raise ValueError("a layout row has 14 columns, this one %d" % len(row))
                data = record(row)
            except (ValueError, KeyError) as e:
                sys.exit("%s:%d: %s" % (path, number, e))
            if row[0] not in collections:
                collections[row[0]] = []
                order.append(row[0])
            collections[row[0]].append(data)
    return order, collections


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--table", default=os.path.join(here, "layouts.tsv"))
    parser.add_argument("--out", default=os.path.join(here, os.pardir, "data"))
    args = parser.parse_args()
    order, collections = read_table(args.table)
    os.makedirs(args.out, exist_ok=True)
    for name in order:
        path = os.path.join(args.out, name + ".LYT")
        tmp = path + ".tmp"
        with open(tmp, "wb") as f:
            f.write(b"".join(collections[name]))
        os.replace(tmp, path)
        print("%s: %d entries" % (path, len(collections[name])))


if __name__ == "__main__":
    main()
