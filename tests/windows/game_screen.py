#!/usr/bin/env python3
"""Reads an `xwd -root` dump on stdin: what the game shows in its 640 x 480 screen, centred
at the largest whole scale on the X screen (as the desktop tests' screen_probe reads it).

  game_screen.py X0 Y0 X1 Y1   prints "mean R G B", "most_red_over_blue N", "red_centre_y Y"
                               (-1 with no strongly red pixel) and "lit N" (pixels brighter
                               than near-black, per thousand) for that rectangle
  game_screen.py png FILE      writes the whole X screen as a PNG, to look at after a failure
"""
import struct
import sys
import zlib


def fail(why):
    sys.stderr.write(f"game_screen: {why}\n")
    sys.exit(1)


def read_dump(data):
    if len(data) < 100:
        fail("not an xwd dump")
    f = struct.unpack(">25I", data[:100])
    header, width, height, byte_order, bpp, line = f[0], f[4], f[5], f[7], f[11], f[12]
    masks, ncolors = f[14:17], f[19]
    if bpp != 32:
        fail("only 32-bit dumps are read")
    start = header + ncolors * 12
    if len(data) < start + line * height:
        fail("the dump is cut short")
    # Byte offsets of red, green and blue inside a pixel.
    offsets = []
    for mask in masks:
        shift = (mask & -mask).bit_length() - 1
        byte = shift // 8
        offsets.append(byte if byte_order == 0 else 3 - byte)
    return width, height, line, start, offsets


def probe(data, x0, y0, x1, y1):
    width, height, line, start, (ro, go, bo) = read_dump(data)
    scale = min(width // 640, height // 480)
    if scale < 1:
        fail("the screen is smaller than the game's")
    left, top = (width - 640 * scale) // 2, (height - 480 * scale) // 2
    if not (0 <= x0 < x1 <= 640 and 0 <= y0 < y1 <= 480):
        fail("a rectangle outside the game's screen")
    step = 4 * scale
    sums, count, most, lit = [0, 0, 0], 0, -255, 0
    red_rows = red_count = 0
    for y in range(y0, y1):
        at = start + (top + y * scale) * line + (left + x0 * scale) * 4
        row = data[at:at + (x1 - x0) * step]
        r, g, b = row[ro::step], row[go::step], row[bo::step]
        sums[0] += sum(r)
        sums[1] += sum(g)
        sums[2] += sum(b)
        count += len(r)
        for rr, gg, bb in zip(r, g, b):
            d = rr - bb
            if d > most:
                most = d
            if rr > 150 and d > 120:
                red_rows += y
                red_count += 1
            if rr + gg + bb > 24:
                lit += 1
    print("mean", *(s // count for s in sums))
    print("most_red_over_blue", most)
    print("red_centre_y", red_rows // red_count if red_count else -1)
    print("lit", lit * 1000 // count)


def png(data, out):
    width, height, line, start, (ro, go, bo) = read_dump(data)
    rows = []
    for y in range(height):
        px = data[start + y * line:start + y * line + width * 4]
        rgb = bytearray(width * 3)
        rgb[0::3], rgb[1::3], rgb[2::3] = px[ro::4], px[go::4], px[bo::4]
        rows.append(b"\0" + bytes(rgb))

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    with open(out, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(b"".join(rows), 6)))
        f.write(chunk(b"IEND", b""))


def main():
    data = sys.stdin.buffer.read()
    if len(sys.argv) == 3 and sys.argv[1] == "png":
        png(data, sys.argv[2])
    elif len(sys.argv) == 5:
        probe(data, *map(int, sys.argv[1:]))
    else:
        fail("usage: game_screen.py X0 Y0 X1 Y1 < dump.xwd | game_screen.py png FILE < dump.xwd")


main()
