#!/usr/bin/python3
"""Draws the pictures of the main window and the start-up splash (program icon, navigation
icons, minimise buttons, small head portrait, splash picture) into this folder, in the
shell's look. Run it again after changing a colour or a size; the PNGs are kept in the repo."""

import os

from PIL import Image, ImageDraw, ImageFilter

from draw_shell_pictures import (ACCENT, ACCENT_PRESSED, DARK, GREY, HERE, SCALE, WHITE,
                                 about_logo, canvas, save, window_button)

NAV_GREY = (92, 92, 92, 255)  # #5C5C5C, the navigation text colour
PANEL = (240, 245, 255, 255)  # #F0F5FF


def page_icon(draw, box, colour, label_colour, s):
    x0, y0, x1, y1 = box
    draw.rounded_rectangle((x0 * s, y0 * s, x1 * s, y1 * s), radius=2 * s, outline=colour,
                           width=int(1.5 * s))
    for row in range(3):
        y = y0 + 4 + row * 3
        draw.line(((x0 + 3) * s, y * s, (x1 - 3) * s, y * s), fill=label_colour, width=s)


def navigation_icon(colour, pdf_first):
    """Two small sheets with an arrow between them: PDF to file, or file to PDF."""
    size = 20
    image = canvas(size)
    draw = ImageDraw.Draw(image)
    s = SCALE
    left, right = (1, 3, 8, 15), (12, 3, 19, 15)
    pdf_box, file_box = (left, right) if pdf_first else (right, left)
    draw.rounded_rectangle(tuple(v * s for v in pdf_box), radius=2 * s, fill=colour)
    page_icon(draw, file_box, colour, colour, s)
    draw.line((9 * s, 9 * s, 11 * s, 9 * s), fill=colour, width=s)
    draw.polygon([(11 * s, 7 * s), (12 * s, 9 * s), (11 * s, 11 * s)], fill=colour)
    return image


def minimise_icon(line, background=None):
    return window_button([(7, 12, 17, 12)], line, background)


def head_portrait():
    size = 32
    image = canvas(size)
    draw = ImageDraw.Draw(image)
    s = SCALE
    draw.ellipse((0, 0, size * s - 1, size * s - 1), fill=(214, 233, 254, 255))
    draw.ellipse((11 * s, 6 * s, 21 * s, 16 * s), fill=ACCENT)
    draw.pieslice((6 * s, 17 * s, 26 * s, 37 * s), 180, 360, fill=ACCENT)
    return image


def splash_picture():
    """The whole splash at twice the dialog's 486 x 209: a light panel with the program
    icon on the left, leaving the right part free for the name and the status text."""
    width, height = 972, 418
    image = Image.new("RGBA", (width, height), WHITE)
    draw = ImageDraw.Draw(image)
    for y in range(height):
        shade = int(16 * y / height)
        draw.line((0, y, width, y), fill=(240 - shade, 245 - shade // 2, 255, 255))
    glow = Image.new("RGBA", (width, height), (0, 0, 0, 0))
    ImageDraw.Draw(glow).ellipse((40, 60, 340, 360), fill=(56, 155, 253, 60))
    image.alpha_composite(glow.filter(ImageFilter.GaussianBlur(30)))
    # The program icon is the about box's logo.
    icon = about_logo().resize((200, 200), Image.LANCZOS)
    image.alpha_composite(icon, (90, 109))
    return image


def main():
    save(about_logo(), 48, "png/icon_logo.png")
    save(navigation_icon(NAV_GREY, True), 20, "icon/icon_pdf_to_file.png")
    save(navigation_icon(ACCENT, True), 20, "icon/icon_pdf_to_file_select.png")
    save(navigation_icon(NAV_GREY, False), 20, "icon/icon_file_to_pdf.png")
    save(navigation_icon(ACCENT, False), 20, "icon/icon_file_to_pdf_select.png")
    save(minimise_icon(GREY), 24, "public/icon_public_hide.png")
    save(minimise_icon(DARK, PANEL), 24, "public/icon_public_hide_hover.png")
    save(minimise_icon(ACCENT_PRESSED, (224, 236, 255, 255)), 24,
         "public/icon_public_hide_press.png")
    save(head_portrait(), 32, "table/table_head_portrait_small.png")
    splash = splash_picture()
    splash.save(os.path.join(HERE, "table/table_starting.png"), optimize=True)


if __name__ == "__main__":
    main()
