#!/usr/bin/env python3
"""Writes a 24/32-bit XWD screen image (as Xvfb -fbdir keeps it) as a PNG,
with the standard library only: xwd_to_png.py SCREEN.xwd OUTPUT.png"""
import struct
import sys
import zlib


def read_pixels(data):
    fields = struct.unpack(">25I", data[:100])
    header_size, _, _, _, width, height = fields[:6]
    byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
    colormap_entries = fields[19]
    if bits_per_pixel != 32:
        sys.exit(f"xwd_to_png: {bits_per_pixel} bits per pixel, only 32 are read")
    start = header_size + 12 * colormap_entries
    rows = []
    for y in range(height):
        line = data[start + y * bytes_per_line:start + y * bytes_per_line + width * 4]
        row = bytearray(b"\0")
        for x in range(0, len(line), 4):
            b, g, r = (line[x], line[x + 1], line[x + 2]) if byte_order == 0 else (line[x + 3], line[x + 2], line[x + 1])
            row += bytes((r, g, b))
        rows.append(bytes(row))
    return width, height, b"".join(rows)


def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)


def main():
    with open(sys.argv[1], "rb") as screen:
        width, height, raw = read_pixels(screen.read())
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    with open(sys.argv[2], "wb") as output:
        output.write(png)


if __name__ == "__main__":
    main()
