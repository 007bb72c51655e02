#!/usr/bin/env python3
"""Draws the main window's button images as PNG files (standard library only).

Run from this folder: python3 draw_images.py
The images are committed; run again only after changing a drawing below.
"""
import math
import struct
import zlib

SAMPLES = 4  # per axis: 16 samples a pixel for smooth edges


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, inner, outer):
    return lambda x, y: inner * inner <= (x - cx) ** 2 + (y - cy) ** 2 <= outer * outer


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def segment(ax, ay, bx, by, width):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy

    def inside(x, y):
        t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
        px, py = ax + t * dx - x, ay + t * dy - y
        return px * px + py * py <= (width / 2) ** 2

    return inside


def polygon(points):
    def inside(x, y):
        result = False
        j = len(points) - 1
        for i, (xi, yi) in enumerate(points):
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result

    return inside


def render(size, layers):
    """layers: (rgb, shape) painted in order over a transparent background."""
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0.0
            for colour, shape in layers:
                hits = sum(
                    shape(px + (sx + 0.5) / SAMPLES, py + (sy + 0.5) / SAMPLES)
                    for sx in range(SAMPLES)
                    for sy in range(SAMPLES)
                )
                cover = hits / (SAMPLES * SAMPLES)
                if cover == 0:
                    continue
                out_a = cover + a * (1 - cover)
                r = (colour[0] * cover + r * a * (1 - cover)) / out_a
                g = (colour[1] * cover + g * a * (1 - cover)) / out_a
                b = (colour[2] * cover + b * a * (1 - cover)) / out_a
                a = out_a
            row.append((round(r), round(g), round(b), round(a * 255)))
        pixels.append(row)
    return pixels


def write_png(path, pixels):
    raw = b"".join(b"\0" + bytes(c for p in row for c in p) for row in pixels)
    height, width = len(pixels), len(pixels[0])

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


DARK = (48, 48, 56)
WHITE = (255, 255, 255)
RED = (214, 32, 32)
BLUE = (30, 80, 200)
GREEN = (20, 120, 50)
GOLD = (214, 170, 40)
GREY = (150, 150, 160)


def thermometer():
    return [
        (DARK, segment(12, 4, 12, 15, 7)),
        (DARK, circle(12, 18, 5)),
        (WHITE, segment(12, 4, 12, 15, 4)),
        (RED, circle(12, 18, 3.6)),
        (RED, segment(12, 9, 12, 16, 2.2)),
        (DARK, segment(16.5, 6, 19, 6, 1)),
        (DARK, segment(16.5, 9, 19, 9, 1)),
        (DARK, segment(16.5, 12, 19, 12, 1)),
    ]


def options_gear():
    teeth = [
        (DARK, segment(8 + 3.5 * math.cos(k * math.pi / 4), 8 + 3.5 * math.sin(k * math.pi / 4),
                       8 + 6.3 * math.cos(k * math.pi / 4), 8 + 6.3 * math.sin(k * math.pi / 4), 2.2))
        for k in range(8)
    ]
    return teeth + [(DARK, circle(8, 8, 4.8)), (WHITE, circle(8, 8, 2))]


def pin_arrow():
    return [(BLUE, polygon([(4, 3), (13, 8), (4, 13)]))]


def daughter_board():
    layers = [(GREEN, rect(3, 6, 29, 26))]
    for x in range(5, 28, 3):
        layers.append((GOLD, rect(x, 26, x + 1.4, 29)))
    layers += [
        (DARK, rect(7, 10, 15, 17)),
        (DARK, rect(18, 10, 26, 17)),
        (GOLD, circle(7, 22, 1.3)),
        (GOLD, circle(25, 22, 1.3)),
        (WHITE, segment(10, 22, 22, 22, 1)),
    ]
    return layers


def clock(angle_degrees, hand):
    angle = math.radians(angle_degrees - 90)
    return [
        (DARK, circle(12, 12, 10.5)),
        (WHITE, circle(12, 12, 8.8)),
        (DARK, segment(12, 12, 12 + 6.5 * math.cos(angle), 12 + 6.5 * math.sin(angle), 2)),
        (hand, circle(12, 12, 1.8)),
    ]


def gauge():
    needle = math.radians(-40 - 90)
    return [
        (DARK, circle(16, 16, 15)),
        (WHITE, circle(16, 16, 13)),
        (GREEN, ring(16, 16, 9, 11)),
        (WHITE, lambda x, y: y > 17 and circle(16, 16, 12.9)(x, y)),
        (RED, segment(16, 17, 16 + 11 * math.cos(needle), 17 + 11 * math.sin(needle), 2)),
        (DARK, circle(16, 17, 2.5)),
    ]


IMAGES = {
    "temperature.png": (24, thermometer()),
    "voltmeter_options.png": (16, options_gear()),
    "io_pin.png": (16, pin_arrow()),
    "daughter_board.png": (32, daughter_board()),
    "timer_1.png": (24, clock(0, GREY)),
    "timer_2.png": (24, clock(90, RED)),
    "timer_3.png": (24, clock(180, RED)),
    "timer_4.png": (24, clock(270, RED)),
    "varnex.png": (32, gauge()),
}

if __name__ == "__main__":
    for name, (size, layers) in IMAGES.items():
        write_png(name, render(size, layers))
