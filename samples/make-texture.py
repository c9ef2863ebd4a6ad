#!/usr/bin/env python3
"""Writes walker.ppm, the sample's body texture: a 64 x 64 checked shirt with a
stripe across the chest. scripts/make-sample converts it to walker.png."""
import os

W = H = 64
rows = []
for y in range(H):
    row = bytearray()
    for x in range(W):
        if 26 <= y < 38:
            rgb = (230, 190, 40)              # the chest stripe
        elif ((x // 8) + (y // 8)) % 2 == 0:
            rgb = (40, 110, 190)
        else:
            rgb = (225, 235, 245)
        row += bytes(rgb)
    rows.append(bytes(row))
here = os.path.dirname(os.path.abspath(__file__))
with open(os.path.join(here, "walker.ppm"), "wb") as f:
    f.write(b"P6\n%d %d\n255\n" % (W, H))
    for r in rows:
        f.write(r)
