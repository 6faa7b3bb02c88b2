#!/usr/bin/env python3
"""Checks what a screenshot of the game shows, each CHECK named below, in
framebuffer coordinates (origin bottom-left, as the game draws); reads the 8-bit
RGB PNG with the standard library only.   picture_check.py FILE CHECK [CHECK...]"""
import struct
import sys
import zlib

YELLOW, WHITE, BLACK = (255, 255, 0), (255, 255, 255), (0, 0, 0)


def read_png(path):
    data = open(path, "rb").read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
    pos, idat = 8, b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
            assert depth == 8 and colour == 2, "expected 8-bit RGB"
        idat += body if kind == b"IDAT" else b""
        pos += 12 + length
    raw, stride = zlib.decompress(idat), width * 3
    rows, prev = [], bytearray(stride)
    for y in range(height):
        f, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride if f else 0):
            a, b, c = line[i - 3] if i >= 3 else 0, prev[i], prev[i - 3] if i >= 3 else 0
            if f == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                a = a if pa <= pb and pa <= pc else b if pb <= pc else c
            line[i] = (line[i] + (0, a, b, (a + b) // 2, a)[f]) & 255
        rows.append(bytes(line))
        prev = line
    return width, height, rows[::-1]  # bottom row first


def passes(check, w, h, rows):
    name, _, arg = check.partition("=")
    x, y = (int(v) for v in arg.split(",")) if "," in arg else (0, 0)

    def region(x0, y0, x1, y1):
        return [tuple(rows[j][i * 3:i * 3 + 3])
                for j in range(max(0, y0), min(h, y1)) for i in range(max(0, x0), min(w, x1))]

    view = region(0, 80, w, h - 40)
    if name == "size":  # size=WxH
        return f"{w}x{h}" == arg
    if name == "yellow_text":  # banner and status lines in the bottom-left corner
        return region(0, 0, 300, 70).count(YELLOW) > 200
    if name == "banner":  # yellow along the top rows
        return region(0, h - 31, w, h).count(YELLOW) > 50
    if name == "cross":  # cross=X,Y: the white cursor's centre and arm ends
        return all(region(x + dx, y + dy, x + dx + 1, y + dy + 1) == [WHITE]
                   for dx, dy in ((0, 0), (5, 0), (-5, 0), (0, 5), (0, -5)))
    if name == "white_prompt":  # the command line
        return region(10, 58, 200, 75).count(WHITE) > 40
    if name in ("minimap", "no_minimap"):  # =X,Y: its grey and green blocks in that square
        sq = region(x, y, x + 64, y + 64)
        blocks = sq.count((128, 128, 128)) + sq.count((0, 128, 0))
        return blocks > 2000 if name == "minimap" else blocks < 50
    if name == "terrain":  # tiles over the whole view: nothing black, no noise
        return (sum(p != BLACK for p in view) > 0.9 * len(view)
                and len({p for p in view if p[:2] == (0, 0)}) < 32)
    if name == "screensaver":  # mostly noise: many shades of blue without red or green
        noise = [p for p in view if p[:2] == (0, 0) and p[2] > 0]
        return len(noise) > 0.8 * len(view) and len(set(noise)) > 100
    if name == "bricks":  # the block view's reddish-brown cubes over a quarter of the view
        return sum(p[0] > p[2] + 20 and p[0] > 40 for p in region(0, 0, w, h)) > 0.25 * w * h
    raise SystemExit(f"unknown check {check}")


path = sys.argv[1]
w, h, rows = read_png(path)
failed = [c for c in sys.argv[2:] if not passes(c, w, h, rows)]
if failed:
    sys.exit(f"{path}: failed {' '.join(failed)} ({w}x{h})")
