#!/usr/bin/python3
"""Draws the pictures of uninst's skin into this folder: the window backgrounds of the three
pages, the window and page buttons and the progress bar under res/, and the program icon
uninst.ico. Run it again after changing a colour or a size; the pictures are kept in the repo.
Drawn at 4x and scaled down, so that edges are smooth."""

import math
import os

from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))
SCALE = 4

WIDTH, HEIGHT = 700, 420

ACCENT = (56, 155, 253)  # #389BFD
ACCENT_LIGHT = (95, 175, 253)  # #5FAFFD
ACCENT_DARK = (44, 124, 202)  # #2C7CCA
PALE = (234, 244, 255)  # #EAF4FF
TRACK = (227, 236, 248)  # #E3ECF8
SUCCESS = (43, 194, 139)  # #2BC28B
CLOSE_RED = (244, 84, 84)  # #F45454
GREY = (153, 153, 153)
DARK = (51, 51, 51)
LIGHT_GREY = (204, 204, 204)
WHITE = (255, 255, 255)


def rgba(colour, alpha=255):
    return colour + (alpha,)


def canvas(width, height, fill=(0, 0, 0, 0)):
    return Image.new("RGBA", (width * SCALE, height * SCALE), fill)


def save(image, width, height, relative_path):
    path = os.path.join(HERE, relative_path)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    image.resize((width, height), Image.LANCZOS).save(path, optimize=True)


def scaled(box):
    return tuple(v * SCALE for v in box)


def vertical_gradient(width, height, top, bottom):
    """An opaque picture fading from one colour at the top to another at the bottom."""
    column = Image.new("RGBA", (1, height))
    for y in range(height):
        t = y / max(1, height - 1)
        column.putpixel((0, y), tuple(round(a + (b - a) * t) for a, b in zip(top, bottom)) + (255,))
    return column.resize((width, height))


# Window buttons: 24 by 24, normal, hot, pushed and disabled.

def window_button(strokes, colour, background=None):
    image = canvas(24, 24)
    draw = ImageDraw.Draw(image)
    if background:
        draw.rounded_rectangle(scaled((0, 0, 24, 24)), radius=4 * SCALE, fill=rgba(background))
    for stroke in strokes:
        draw.line(scaled(stroke), fill=rgba(colour), width=int(1.5 * SCALE))
    return image


def draw_window_buttons():
    minus = [(7, 12, 17, 12)]
    cross = [(7, 7, 17, 17), (17, 7, 7, 17)]
    looks = [
        (GREY, None),
        (DARK, (232, 240, 250)),
        (ACCENT_DARK, (214, 229, 247)),
        (LIGHT_GREY, None),
    ]
    for state, (colour, background) in enumerate(looks, start=1):
        save(window_button(minus, colour, background), 24, 24, f"res/common/minbtn{state}.png")
    close_looks = [looks[0], (WHITE, CLOSE_RED), (WHITE, (214, 64, 64)), looks[3]]
    for state, (colour, background) in enumerate(close_looks, start=1):
        save(window_button(cross, colour, background), 24, 24, f"res/common/closebtn{state}.png")


# Page buttons: rounded, filled in the accent colour, or outlined.

def filled_button(width, height, top, bottom):
    fill = vertical_gradient(width * SCALE, height * SCALE, top, bottom)
    mask = canvas(width, height)
    ImageDraw.Draw(mask).rounded_rectangle(
        scaled((0, 0, width, height)), radius=height * SCALE // 2, fill=(255, 255, 255, 255))
    image = canvas(width, height)
    image.paste(fill, (0, 0), mask)
    return image


def outlined_button(width, height, border, fill):
    image = canvas(width, height)
    ImageDraw.Draw(image).rounded_rectangle(
        scaled((0.5, 0.5, width - 0.5, height - 0.5)), radius=height * SCALE // 2,
        fill=rgba(fill), outline=rgba(border), width=SCALE)
    return image


def draw_page_buttons():
    filled_looks = [
        (ACCENT_LIGHT, ACCENT),
        ((125, 190, 254), ACCENT_LIGHT),
        (ACCENT, ACCENT_DARK),
    ]
    for state, (top, bottom) in enumerate(filled_looks, start=1):
        save(filled_button(200, 46, top, bottom), 200, 46, f"res/mainWnd/thinkBtn{state}.png")
        save(filled_button(146, 44, top, bottom), 146, 44, f"res/mainWnd/finishBtn{state}.png")
    outlined_looks = [(ACCENT, WHITE), (ACCENT, PALE), (ACCENT_DARK, (214, 229, 247))]
    for state, (border, fill) in enumerate(outlined_looks, start=1):
        save(outlined_button(146, 44, border, fill), 146, 44,
             f"res/mainWnd/getNewestBtn{state}.png")


# Progress bar: 10 pixels high with round ends; drawn nine-grid with corners of 8, so the
# pictures are as high as the bar and only their middle is stretched.

def progress_bar(colour_left, colour_right):
    width, height = 40, 10
    image = canvas(width, height)
    fill = Image.new("RGBA", (width * SCALE, height * SCALE))
    for x in range(width * SCALE):
        t = x / (width * SCALE - 1)
        colour = tuple(round(a + (b - a) * t) for a, b in zip(colour_left, colour_right))
        ImageDraw.Draw(fill).line((x, 0, x, height * SCALE), fill=rgba(colour))
    mask = canvas(width, height)
    ImageDraw.Draw(mask).rounded_rectangle(
        scaled((0, 0, width, height)), radius=height * SCALE // 2, fill=(255, 255, 255, 255))
    image.paste(fill, (0, 0), mask)
    return image


def draw_progress_bars():
    save(progress_bar(TRACK, TRACK), 40, 10, "res/mainWnd/installPrg1.png")
    save(progress_bar(ACCENT_LIGHT, ACCENT), 40, 10, "res/mainWnd/installPrg2.png")
    save(progress_bar((88, 214, 168), SUCCESS), 40, 10, "res/mainWnd/installPrg3.png")


# Backgrounds of the three pages, 700 by 420: a pale blue wash with soft shapes, the
# product mark in the title row of the question page, a check mark on the finished page.

def background_base():
    image = vertical_gradient(WIDTH * SCALE, HEIGHT * SCALE, PALE, WHITE)
    overlay = canvas(WIDTH, HEIGHT)
    draw = ImageDraw.Draw(overlay)
    draw.ellipse(scaled((520, -140, 820, 160)), fill=rgba(ACCENT, 22))
    draw.ellipse(scaled((600, -60, 760, 100)), fill=rgba(ACCENT, 18))
    draw.ellipse(scaled((-120, 300, 200, 620)), fill=rgba(ACCENT, 14))
    # A gentle wave along the bottom edge.
    points = [(x, 380 + 14 * math.sin(x / 700 * 2 * math.pi)) for x in range(0, WIDTH + 1, 10)]
    draw.polygon([scaled(p) for p in points] + [scaled((WIDTH, HEIGHT)), scaled((0, HEIGHT))],
                 fill=rgba(ACCENT, 16))
    return Image.alpha_composite(image, overlay)


def product_mark(draw, left, top, size):
    """The product's mark: a rounded square in the accent colour with a white "Q"."""
    s = size / 74
    draw.rounded_rectangle(scaled((left, top, left + size, top + size)), radius=16 * s * SCALE,
                           fill=rgba(ACCENT))
    draw.ellipse(scaled((left + 18 * s, top + 16 * s, left + 56 * s, top + 54 * s)),
                 outline=rgba(WHITE), width=max(1, round(7 * s * SCALE)))
    draw.line(scaled((left + 42 * s, top + 42 * s, left + 56 * s, top + 58 * s)),
              fill=rgba(WHITE), width=max(1, round(8 * s * SCALE)))


def question_background():
    image = background_base()
    draw = ImageDraw.Draw(image)
    product_mark(draw, 18, 14, 22)
    return image


def progress_background():
    image = background_base()
    overlay = canvas(WIDTH, HEIGHT)
    draw = ImageDraw.Draw(overlay)
    for i in range(5):
        x = 300 + i * 24
        draw.ellipse(scaled((x, 320, x + 8, 328)), fill=rgba(ACCENT, 40 + 30 * i))
    return Image.alpha_composite(image, overlay)


def finished_background():
    image = background_base()
    draw = ImageDraw.Draw(image)
    centre_x, centre_y, radius = 140, 230, 78
    draw.ellipse(scaled((centre_x - radius - 16, centre_y - radius - 16, centre_x + radius + 16,
                         centre_y + radius + 16)), fill=rgba((219, 236, 255)))
    draw.ellipse(scaled((centre_x - radius, centre_y - radius, centre_x + radius,
                         centre_y + radius)), fill=rgba(ACCENT))
    tick = [(centre_x - 36, centre_y + 2), (centre_x - 10, centre_y + 28),
            (centre_x + 38, centre_y - 22)]
    draw.line([scaled(p) for p in tick], fill=rgba(WHITE), width=12 * SCALE, joint="curve")
    return image


def draw_backgrounds():
    save(question_background(), WIDTH, HEIGHT, "res/mainWnd/bg1.png")
    save(progress_background(), WIDTH, HEIGHT, "res/mainWnd/bg2.png")
    save(finished_background(), WIDTH, HEIGHT, "res/mainWnd/bg3.png")


# Program icon: the product mark with a small badge that says "remove".

def draw_icon():
    size = 256
    image = canvas(size, size)
    draw = ImageDraw.Draw(image)
    product_mark(draw, 8, 8, 224)
    draw.ellipse(scaled((150, 150, 250, 250)), fill=rgba(CLOSE_RED), outline=rgba(WHITE),
                 width=8 * SCALE)
    draw.line(scaled((176, 200, 224, 200)), fill=rgba(WHITE), width=14 * SCALE)
    icon = image.resize((size, size), Image.LANCZOS)
    # Uncompressed entries, which every icon loader reads; large sizes are left out for size.
    icon.save(os.path.join(HERE, "uninst.ico"), sizes=[(16, 16), (24, 24), (32, 32), (48, 48)],
              bitmap_format="bmp")


def main():
    draw_window_buttons()
    draw_page_buttons()
    draw_progress_bars()
    draw_backgrounds()
    draw_icon()


if __name__ == "__main__":
    main()
