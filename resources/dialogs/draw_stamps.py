#!/usr/bin/env python3
"""Writes the transparency editor's stamp outlines (resources/SHAPESBIT/<id>).

Each file is little-endian signed 16-bit words: the side of the design square,
the number of points n, then n pairs (x, y) in design units (0..side, y down).
3001 star and 3005 diamond are fixed designs; the spade (3004), heart (3003)
and club (3006) are ours, each symmetric about its vertical centre line: the
right half is computed and the left half mirrored (x -> side - x).
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(os.path.dirname(HERE), 'SHAPESBIT')

STAR = (348, [(0, 137), (133, 137), (174, 10), (215, 137), (348, 137), (240, 213), (281, 339),
              (174, 261), (67, 339), (108, 213)])
DIAMOND = (4445, [(2219, 0), (794, 2223), (2219, 4445), (3651, 2223)])


def mirrored(base, right_half, top_axis=None, bottom_axis=None):
    """Closes an outline from its right half (top to bottom), mirrored to the left."""
    points = []
    if top_axis is not None:
        points.append(top_axis)
    points += right_half
    if bottom_axis is not None:
        points.append(bottom_axis)
    points += [(base - x, y) for (x, y) in reversed(right_half)]
    return points


def heart():
    base, n = 460, 150
    half = []
    # The classic heart curve; t = 0 is the top cusp, t = pi the bottom tip.
    def at(t):
        x = 16 * math.sin(t) ** 3
        y = 13 * math.cos(t) - 5 * math.cos(2 * t) - 2 * math.cos(3 * t) - math.cos(4 * t)
        return x, y
    ys = [at(2 * math.pi * i / 1000)[1] for i in range(1000)]
    top, bottom = max(ys), min(ys)
    scale = (base - 4) / max(32, top - bottom)

    def place(x, y):
        return (round(base / 2 + x * scale), round(2 + (top - y) * scale))
    steps = n // 2
    for i in range(1, steps):
        half.append(place(*at(math.pi * i / steps)))
    cusp = place(*at(0))
    tip = place(*at(math.pi))
    return base, mirrored(base, half, (base // 2, cusp[1]), (base // 2, tip[1]))


def spade():
    base = 3397
    half = []
    # An upside-down heart for the blade: 38 points down its right side.
    def at(t):
        x = 16 * math.sin(t) ** 3
        y = 13 * math.cos(t) - 5 * math.cos(2 * t) - 2 * math.cos(3 * t) - math.cos(4 * t)
        return x, y
    scale = base * 0.96 / 32
    for i in range(38):
        t = math.pi - (math.pi - 0.45) * (i + 0.5) / 38
        x, y = at(t)
        half.append((round(base / 2 + x * scale), round(base * 0.02 + (y + 17) * scale * 0.78)))
    # The stem, widening into its foot: 9 points.
    stem = [(0.53, 0.70), (0.535, 0.76), (0.54, 0.82), (0.55, 0.87), (0.57, 0.91), (0.60, 0.94),
            (0.64, 0.965), (0.68, 0.985), (0.70, 0.995)]
    half += [(round(x * base), round(y * base)) for (x, y) in stem]
    half = [(max(base // 2 + 1, x), y) for (x, y) in half]
    return base, mirrored(base, half)


def club():
    base = 2117
    c1, c2, r = (0.5, 0.27), (0.755, 0.565), 0.225
    # The outer crossing of the top and right leaves.
    dx, dy = c2[0] - c1[0], c2[1] - c1[1]
    d = math.hypot(dx, dy)
    a = d / 2
    h = math.sqrt(r * r - a * a)
    mx, my = c1[0] + dx / 2, c1[1] + dy / 2
    cross = (mx - h * dy / d, my + h * dx / d) if (mx - h * dy / d) > mx else (mx + h * dy / d, my - h * dx / d)
    a1_end = math.atan2(cross[1] - c1[1], cross[0] - c1[0])
    a2_start = math.atan2(cross[1] - c2[1], cross[0] - c2[0])
    half = []
    # Top leaf: 14 points from just right of the top down to the crossing.
    for i in range(1, 15):
        ang = -math.pi / 2 + (a1_end + math.pi / 2) * i / 14
        half.append((c1[0] + r * math.cos(ang), c1[1] + r * math.sin(ang)))
    # Right leaf: 17 points from the crossing round to its lower left.
    end = math.radians(150)
    if end < a2_start:
        end += 2 * math.pi
    for i in range(1, 18):
        ang = a2_start + (end - a2_start) * i / 17
        half.append((c2[0] + r * math.cos(ang), c2[1] + r * math.sin(ang)))
    # The stem and its foot: 6 points.
    half += [(0.535, 0.72), (0.545, 0.82), (0.57, 0.90), (0.61, 0.955), (0.66, 0.99), (0.68, 1.0)]
    half = [(min(base, max(base // 2 + 1, round(x * base))), min(base, max(0, round(y * base))))
            for (x, y) in half]
    return base, mirrored(base, half, top_axis=(base // 2, round((c1[1] - r) * base)))


def write(resource_id, design, count):
    base, points = design
    assert len(points) == count, (resource_id, len(points))
    assert all(0 <= x <= base and 0 <= y <= base for x, y in points), resource_id
    data = struct.pack('<hh', base, len(points))
    for x, y in points:
        data += struct.pack('<hh', x, y)
    with open(os.path.join(OUT, str(resource_id)), 'wb') as f:
        f.write(data)


def main():
    os.makedirs(OUT, exist_ok=True)
    write(3001, STAR, 10)
    write(3004, spade(), 94)
    write(3003, heart(), 150)
    write(3005, DIAMOND, 4)
    write(3006, club(), 75)


if __name__ == '__main__':
    main()
