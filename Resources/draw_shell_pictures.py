#!/usr/bin/python3
"""Draws the shell's pictures (close buttons, the tips icon, the about logo) into this
folder. Run it again after changing a colour or a size; the PNGs are kept in the repo.
Drawn at 4x and scaled down, so that edges are smooth."""

import os

from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))
SCALE = 4

ACCENT = (56, 155, 253, 255)  # #389BFD
ACCENT_HOVER = (95, 175, 253, 255)  # #5FAFFD
ACCENT_PRESSED = (44, 124, 202, 255)  # #2C7CCA
GREY = (153, 153, 153, 255)  # #999999
DARK = (51, 51, 51, 255)  # #333333
WHITE = (255, 255, 255, 255)


def canvas(size):
    return Image.new("RGBA", (size * SCALE, size * SCALE), (0, 0, 0, 0))


def save(image, size, relative_path):
    path = os.path.join(HERE, relative_path)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    image.resize((size, size), Image.LANCZOS).save(path, optimize=True)


def window_button(strokes, colour, background=None):
    """A 24-pixel window button: line strokes in 24-pixel units on an optional rounded
    background (the hover and pressed looks)."""
    size = 24
    image = canvas(size)
    draw = ImageDraw.Draw(image)
    s = SCALE
    if background:
        draw.rounded_rectangle((0, 0, size * s - 1, size * s - 1), radius=4 * s, fill=background)
    for stroke in strokes:
        draw.line(tuple(v * s for v in stroke), fill=colour, width=int(1.5 * s))
    return image


def close_icon(cross, background=None):
    return window_button([(7, 7, 17, 17), (17, 7, 7, 17)], cross, background)


def tips_icon():
    size = 24
    image = canvas(size)
    draw = ImageDraw.Draw(image)
    s = SCALE
    draw.ellipse((1 * s, 1 * s, 23 * s - 1, 23 * s - 1), fill=ACCENT)
    draw.rounded_rectangle((11 * s, 5 * s, 13 * s, 15 * s), radius=s, fill=WHITE)
    draw.ellipse((11 * s, 17 * s, 13 * s, 19 * s), fill=WHITE)
    return image


def about_logo():
    size = 74
    image = canvas(size)
    draw = ImageDraw.Draw(image)
    s = SCALE
    draw.rounded_rectangle((2 * s, 2 * s, 72 * s, 72 * s), radius=16 * s, fill=ACCENT)
    # A "Q": a ring with a tail, in white.
    draw.ellipse((18 * s, 16 * s, 56 * s, 54 * s), outline=WHITE, width=7 * s)
    draw.line((42 * s, 42 * s, 56 * s, 58 * s), fill=WHITE, width=8 * s)
    return image


def main():
    # 48 pixels for a 24-pixel button: sharp on a screen of twice the density.
    save(close_icon(GREY), 48, "public/icon_public_close.png")
    save(close_icon(DARK, (240, 245, 255, 255)), 48, "public/icon_public_close_hover.png")
    save(close_icon(ACCENT_PRESSED, (224, 236, 255, 255)), 48, "public/icon_public_close_press.png")
    save(tips_icon(), 24, "icon/icon_pop-up_tips.png")
    save(about_logo(), 74, "icon/icon_about_logo.png")


if __name__ == "__main__":
    main()
