#!/usr/bin/python3
"""Pixels of window screenshots, read through ImageMagick's convert.
  pixels.py changed ON.png OFF.png X0 Y0 X1 Y1 CELL
      the points of the rectangle where ON differs from OFF by a blue tint (bluer than red by
      more than it is in OFF), one per CELL by CELL tile that has any, nearest the tile's
      centre, as "x y" lines; then a line "count N" of all such pixels
  pixels.py at SHOT.png X Y   the colour there as RRGGBB
  pixels.py share SHOT.png R X Y [X Y ...]
      for each point, the percentages of the pixels of the square of half-side R around it that
      are tinted blue (bluer than red by more than 20) and that are mid grey, as "blue grey"
      lines"""
import subprocess
import sys


def load(path):
    w, h = map(int, subprocess.check_output(["/usr/bin/identify", "-format", "%w %h", path]).split())
    data = subprocess.check_output(["/usr/bin/convert", path, "-depth", "8", "rgb:-"])
    return w, h, data


def rgb(img, x, y):
    w, _, data = img
    i = 3 * (y * w + x)
    return data[i], data[i + 1], data[i + 2]


if sys.argv[1] == "changed":
    on, off = load(sys.argv[2]), load(sys.argv[3])
    x0, y0, x1, y1, cell = map(int, sys.argv[4:9])
    tile = max(2, cell)
    best, count = {}, 0
    for y in range(max(0, y0), min(y1, on[1])):
        for x in range(max(0, x0), min(x1, on[0])):
            a, b = rgb(on, x, y), rgb(off, x, y)
            if a == b or a[2] - a[0] <= b[2] - b[0] + 12:
                continue
            count += 1
            key = (x // tile, y // tile)
            cx, cy = key[0] * tile + tile // 2, key[1] * tile + tile // 2
            d = (x - cx) ** 2 + (y - cy) ** 2
            if key not in best or d < best[key][0]:
                best[key] = (d, x, y)
    for _, x, y in sorted(best.values(), key=lambda v: (v[2], v[1])):
        print(x, y)
    print("count", count)
elif sys.argv[1] == "at":
    print("%02x%02x%02x" % rgb(load(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])))
elif sys.argv[1] == "share":
    img, r = load(sys.argv[2]), int(sys.argv[3])
    pts = list(map(int, sys.argv[4:]))
    for px, py in zip(pts[0::2], pts[1::2]):
        blue = grey = n = 0
        for y in range(max(0, py - r), min(img[1], py + r + 1)):
            for x in range(max(0, px - r), min(img[0], px + r + 1)):
                c = rgb(img, x, y)
                n += 1
                blue += c[2] - c[0] > 20
                grey += max(c) - min(c) < 16 and 100 <= c[0] <= 200
        print(100 * blue // max(n, 1), 100 * grey // max(n, 1))
