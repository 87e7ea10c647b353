#!/usr/bin/env python3
"""Writes the seed corpus of the BMP fuzz target into fuzz/corpus/bmp/.

Small hand-made files covering the variants the reader accepts (1-bit
bottom-up and top-down, the core header, odd colour tables, 4/8/16/24/32 bits,
bit fields, RLE4 and RLE8 with their escapes) and files that once crashed it.
Run again after changing it; the output is deterministic.
"""
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "fuzz", "corpus", "bmp")


def stride(width, bpp):
    return (width * bpp + 31) // 32 * 4


def bmp(width, height, bpp, pixels, table=None, planes=1, compression=0, core=False, colours_used=0,
        masks=b"", offset=None, pad_to=0):
    if table is None:
        table = [(0, 0, 0), (255, 255, 255)] if bpp == 1 else []
    entry = 3 if core else 4
    tab = b"".join(bytes((b, g, r)) + (b"" if core else b"\0") for (r, g, b) in table)
    if core:
        info = struct.pack("<IHHHH", 12, width, height, planes, bpp)
    else:
        info = struct.pack("<IiiHHIIiiII", 40, width, height, planes, bpp, compression, len(pixels), 2835, 2835,
                           colours_used, 0)
    data_offset = 14 + len(info) + len(masks) + len(tab) if offset is None else offset
    body = info + masks + tab + pixels
    size = 14 + len(body)
    out = b"BM" + struct.pack("<IHHI", size, 0, 0, data_offset) + body
    assert entry in (3, 4)
    return out + b"\x55" * max(0, pad_to - len(out))


def rows(width, height, bpp, fill):
    """Uncompressed rows, bottom-up, each row from fill(x, y) values."""
    out = b""
    for y in range(height):
        bits = ""
        row = bytearray()
        for x in range(width):
            v = fill(x, y)
            if bpp < 8:
                bits += format(v, "0%db" % bpp)
            elif bpp == 8:
                row.append(v & 255)
            else:
                row += v.to_bytes(bpp // 8, "little")
        if bpp < 8:
            bits += "0" * (-len(bits) % 8)
            row = bytearray(int(bits[i:i + 8], 2) for i in range(0, len(bits), 8))
        row += b"\0" * (stride(width, bpp) - len(row))
        out += bytes(row)
    return out


def checker(x, y):
    return (x // 3 + y) % 2


seeds = {
    "mono_bottom_up.bmp": bmp(13, 5, 1, rows(13, 5, 1, checker)),
    "mono_wide_odd.bmp": bmp(70, 3, 1, rows(70, 3, 1, lambda x, y: (x * y) % 3 == 0)),
    "mono_top_down.bmp": bmp(9, -4, 1, rows(9, 4, 1, checker)),
    "mono_core_header.bmp": bmp(11, 3, 1, rows(11, 3, 1, checker), core=True),
    "mono_odd_table.bmp": bmp(8, 2, 1, rows(8, 2, 1, checker), table=[(250, 240, 10), (3, 90, 200)]),
    "mono_one_colour.bmp": bmp(5, 2, 1, rows(5, 2, 1, checker), table=[(12, 34, 56)], colours_used=1),
    "one_bit_two_planes.bmp": bmp(7, 3, 1, rows(7, 3, 1, checker), planes=2),
    "four_bit.bmp": bmp(5, 3, 4, rows(5, 3, 4, lambda x, y: (x + y) % 16),
                        table=[(i * 16, 255 - i * 16, i) for i in range(16)]),
    "eight_bit.bmp": bmp(6, 2, 8, rows(6, 2, 8, lambda x, y: x * 7 + y),
                         table=[(i, i, 255 - i) for i in range(64)], colours_used=64),
    "sixteen_bit.bmp": bmp(4, 2, 16, rows(4, 2, 16, lambda x, y: 0x7c00 >> (5 * x % 15))),
    "twenty_four_bit.bmp": bmp(3, 3, 24, rows(3, 3, 24, lambda x, y: 0x123456 * (x + 1) & 0xffffff)),
    "thirty_two_bit.bmp": bmp(3, 2, 32, rows(3, 2, 32, lambda x, y: 0xff00ff00 >> x)),
    "bit_fields_16.bmp": bmp(4, 2, 16, rows(4, 2, 16, lambda x, y: 0xf800 >> (x * 5)), compression=3,
                             masks=struct.pack("<III", 0xf800, 0x07e0, 0x001f)),
    "bit_fields_32.bmp": bmp(2, 2, 32, rows(2, 2, 32, lambda x, y: 0x00ff0000 >> (8 * x)), compression=3,
                             masks=struct.pack("<III", 0xff0000, 0xff00, 0xff)),
    # RLE8: a run, an end of line, literal pixels, a delta, an early end.
    "rle8_escapes.bmp": bmp(8, 4, 8, bytes([3, 1, 0, 0, 0, 3, 2, 3, 1, 0, 0, 2, 2, 1, 2, 2, 0, 1]),
                            table=[(255, 255, 255), (0, 0, 0), (200, 0, 0), (0, 0, 200)], colours_used=4,
                            compression=1),
    # RLE4: alternating runs, an odd literal, an end of line, a delta.
    "rle4_escapes.bmp": bmp(9, 3, 4, bytes([5, 0x12, 0, 0, 0, 3, 0x34, 0x50, 0, 2, 1, 1, 2, 0x77, 0, 1]),
                            table=[(i * 17, i * 17, i * 17) for i in range(16)], compression=2),
    # Headers that say the file ends before the bytes read for them.
    "crash_core_1x1.bmp": bmp(1, 1, 1, b"\x80\0\0\0", core=True, pad_to=80),
    "crash_24bit_1x1.bmp": bmp(1, 1, 24, b"\0\0\xff\0", pad_to=62),
    "crash_planes_4001.bmp": bmp(1, 1, 1, b"\x80\0\0\0", table=[(1, 2, 3)], planes=0x4001, colours_used=1,
                                 pad_to=63),
}

os.makedirs(OUT, exist_ok=True)
for name, data in seeds.items():
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)
print("wrote %d seeds to %s" % (len(seeds), os.path.normpath(OUT)))
