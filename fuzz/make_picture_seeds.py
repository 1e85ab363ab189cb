#!/usr/bin/env python3
"""Writes the seed pictures of fuzz_picture_loader: one small BMP of each
kind the loader meets (1, 4, 8, 16, 24 and 32 bits, RLE8, RLE4, bit fields,
top-down rows, the OS/2 12-byte header and the larger Windows headers).

    python3 fuzz/make_picture_seeds.py [folder]

The folder defaults to fuzz/seeds/picture_loader next to this script."""

import os
import struct
import sys

WIDTH, HEIGHT = 8, 4


def file_header(total, data_offset):
    return b"BM" + struct.pack("<IHHI", total, 0, 0, data_offset)


def info_header(size, width, height, bits, compression, data_size, colours=0, masks=None):
    """A Windows info header of 40, 108 or 124 bytes."""
    header = struct.pack("<IiiHHIIiiII", size, width, height, 1, bits, compression, data_size,
                         2835, 2835, colours, 0)
    if size > 40:
        red, green, blue, alpha = masks or (0, 0, 0, 0)
        header += struct.pack("<IIII", red, green, blue, alpha)
        header += b"sRGB"[::-1] + bytes(36 + 12)  # colour space, end points, gamma
        if size == 124:
            header += struct.pack("<IIII", 4, 0, 0, 0)  # intent, profile, reserved
    assert len(header) == size
    return header


def bmp(bits, rows, compression=0, header_size=40, top_down=False, masks=None, palette=None):
    """rows: the pixel data, already padded; the palette as raw bytes."""
    if palette is None:
        palette = grey_palette(bits) if bits <= 8 else b""
    colours = len(palette) // 4
    mask_bytes = b""
    if compression == 3 and header_size == 40:
        mask_bytes = struct.pack("<III", *masks[:3])
    info = info_header(header_size, WIDTH, -HEIGHT if top_down else HEIGHT, bits, compression,
                       len(rows), colours, masks)
    offset = 14 + len(info) + len(mask_bytes) + len(palette)
    return file_header(offset + len(rows), offset) + info + mask_bytes + palette + rows


def grey_palette(bits, entry=4):
    count = 1 << bits
    return b"".join(bytes([i * 255 // (count - 1)] * 3) + b"\0" * (entry - 3) for i in range(count))


def pattern(x, y):
    return (x * 3 + y * 5) % 7


def uncompressed_rows(bits):
    rows = b""
    for y in range(HEIGHT):
        if bits == 1:
            row = bytes([sum((pattern(x, y) & 1) << (7 - x) for x in range(8))])
        elif bits == 4:
            row = bytes(pattern(x, y) << 4 | pattern(x + 1, y) for x in range(0, WIDTH, 2))
        elif bits == 8:
            row = bytes(pattern(x, y) * 30 for x in range(WIDTH))
        elif bits == 16:
            row = b"".join(struct.pack("<H", pattern(x, y) * 0x0421) for x in range(WIDTH))
        elif bits == 24:
            row = b"".join(bytes([pattern(x, y) * 36] * 3) for x in range(WIDTH))
        else:
            row = b"".join(bytes([pattern(x, y) * 36] * 3) + b"\xff" for x in range(WIDTH))
        rows += row + b"\0" * (-len(row) % 4)
    return rows


# Run-length data, bottom row first: runs, pixels as they are, a jump, line
# ends and the end mark.
RLE8 = bytes.fromhex("0301 0502 0000"      # two runs
                     "0005 0102030405 00 0203 0000"  # 5 pixels as they are, padded; a run
                     "0002 0300 0209 0000"  # a jump right, then a run
                     "0803 0000 0001")     # a run over the whole row; end
RLE4 = bytes.fromhex("0412 0434 0000"
                     "0005 123450 00 0000"  # 5 pixels as they are, padded to a word
                     "0002 0200 0667 0000"
                     "0889 0000 0001")


def os2_core(bits):
    palette = grey_palette(bits, entry=3) if bits <= 8 else b""
    rows = uncompressed_rows(bits)
    info = struct.pack("<IHHHH", 12, WIDTH, HEIGHT, 1, bits)
    offset = 14 + len(info) + len(palette)
    return file_header(offset + len(rows), offset) + info + palette + rows


def seeds():
    yield "bits1.bmp", bmp(1, uncompressed_rows(1))
    yield "bits4.bmp", bmp(4, uncompressed_rows(4))
    yield "bits8.bmp", bmp(8, uncompressed_rows(8))
    yield "bits16.bmp", bmp(16, uncompressed_rows(16))
    yield "bits24.bmp", bmp(24, uncompressed_rows(24))
    yield "bits32.bmp", bmp(32, uncompressed_rows(32))
    yield "top_down24.bmp", bmp(24, uncompressed_rows(24), top_down=True)
    yield "rle8.bmp", bmp(8, RLE8, compression=1)
    yield "rle4.bmp", bmp(4, RLE4, compression=2)
    yield "bitfields16_565.bmp", bmp(16, uncompressed_rows(16), compression=3, masks=(0xF800, 0x07E0, 0x001F, 0))
    yield "bitfields32.bmp", bmp(32, uncompressed_rows(32), compression=3,
                                 masks=(0x00FF0000, 0x0000FF00, 0x000000FF, 0))
    yield "v4_bitfields32_alpha.bmp", bmp(32, uncompressed_rows(32), compression=3, header_size=108,
                                          masks=(0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000))
    yield "v5_bits24.bmp", bmp(24, uncompressed_rows(24), header_size=124)
    yield "os2_bits24.bmp", os2_core(24)
    yield "os2_bits8.bmp", os2_core(8)
    yield "os2_bits1.bmp", os2_core(1)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "seeds", "picture_loader")
    os.makedirs(folder, exist_ok=True)
    for name, data in seeds():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(data)


if __name__ == "__main__":
    main()
