#!/usr/bin/env python3
"""Draws the daughter-board dialogs' pictures as PNG files.

Run from this folder: python3 draw_board_images.py
Uses the shapes and the PNG writer of draw_images.py. The images are
committed; run again only after changing a drawing below.
"""
from draw_images import (BLUE, DARK, GOLD, GREEN, GREY, RED, WHITE, circle, rect, render, ring,
                         segment, write_png)

SIZE = 56
LIT = (0, 170, 0)
UNLIT = (190, 190, 198)
STROKE = 1.4


def letter_n(x, y, w=5, h=7):
    return [segment(x, y + h, x, y, STROKE), segment(x, y, x + w, y + h, STROKE),
            segment(x + w, y + h, x + w, y, STROKE)]


def rounded_ends(x, y, w, h):
    """The top and bottom half-rings of an O of width w and height h."""
    r = w / 2
    cx, top, bottom = x + r, y + r, y + h - r
    return [lambda px, py: py < top and ring(cx, top, r - STROKE / 2, r + STROKE / 2)(px, py),
            lambda px, py: py > bottom and ring(cx, bottom, r - STROKE / 2, r + STROKE / 2)(px, py)]


def letter_o(x, y, w=5, h=7):
    r = w / 2
    return [segment(x, y + r, x, y + h - r, STROKE),
            segment(x + w, y + r, x + w, y + h - r, STROKE)] + rounded_ends(x, y, w, h)


def letter_c(x, y, w=5, h=7):
    r = w / 2
    return [segment(x, y + r, x, y + h - r, STROKE)] + [
        (lambda shape: lambda px, py: px < x + w * 0.85 and shape(px, py))(shape)
        for shape in rounded_ends(x, y, w, h)]


def word(shapes_per_letter, colour):
    return [(colour, shape) for shapes in shapes_per_letter for shape in shapes]


def contact(closed_on_nc):
    """Common on the left, NC at the top right, NO at the bottom right; the
    arm rests on the closed contact, and the closed pair is lit."""
    com, nc, no = (12, 28), (44, 19), (44, 37)
    closed, open_ = (nc, no) if closed_on_nc else (no, nc)
    tip = (closed[0] - 5, closed[1] + (3 if closed_on_nc else -3))
    return [
        (WHITE, rect(1, 1, SIZE - 1, SIZE - 1)),
        (DARK, circle(*com, 5.5)), (LIT, circle(*com, 4)),
        (DARK, circle(*closed, 5.5)), (LIT, circle(*closed, 4)),
        (DARK, circle(*open_, 5.5)), (UNLIT, circle(*open_, 4)),
        (LIT, segment(com[0], com[1], tip[0], tip[1], 3)),
    ] + word([letter_c(10, 37)], DARK) + word([letter_n(36, 3), letter_c(43, 3)], DARK) + word(
        [letter_n(36, 46), letter_o(43, 46)], DARK)


def toggle_switch(on):
    """A panel nut with a lever up (on) or down (off)."""
    end_y = 10 if on else 46
    return [
        (GREY, circle(28, 28, 15)),
        (DARK, ring(28, 28, 12, 13.2)),
        (WHITE, circle(28, 28, 6)),
        (DARK, segment(28, 28, 28, end_y, 5)),
        (LIT if on else RED, circle(28, end_y, 5)),
    ]


def board_button():
    layers = [(GREEN, rect(3, 5, 29, 27))]
    for col in range(3):
        for row in range(2):
            x, y = 6 + 8 * col, 8 + 9 * row
            layers.append((BLUE, rect(x, y, x + 5, y + 6)))
    for x in range(5, 28, 4):
        layers.append((GOLD, rect(x, 27, x + 1.6, 30)))
    return layers


IMAGES = {
    "board_relay_nc.png": (SIZE, contact(True)),
    "board_relay_no.png": (SIZE, contact(False)),
    "board_switch_on.png": (SIZE, toggle_switch(True)),
    "board_switch_off.png": (SIZE, toggle_switch(False)),
    "board_button.png": (32, board_button()),
}

if __name__ == "__main__":
    for name, (size, layers) in IMAGES.items():
        write_png(name, render(size, layers))
