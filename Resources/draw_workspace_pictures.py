#!/usr/bin/python3
"""Draws the pictures of the conversion workspace (rows, format choosers, set-all dialog and
the two conversion pages) into the resource folders, and lists them in workspace.qrc.

Run with Debian's python3 and python3-pil:  /usr/bin/python3 Resources/draw_workspace_pictures.py
Every picture is drawn four times larger and scaled down, which smooths its edges.
"""

import os

from PIL import Image, ImageDraw, ImageFont

ROOT = os.path.dirname(os.path.abspath(__file__))
SCALE = 4

ACCENT = "#389BFD"
ACCENT_HOVER = "#5FAFFD"
ACCENT_PRESSED = "#2C7CCA"
FONT_PATH = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"

drawn = []


def canvas(width, height, background=(0, 0, 0, 0)):
    image = Image.new("RGBA", (width * SCALE, height * SCALE), background)
    return image, ImageDraw.Draw(image)


def s(*values):
    """Scales coordinates from picture pixels to canvas pixels."""
    return [v * SCALE for v in values]


def save(image, path, width, height):
    target = os.path.join(ROOT, path)
    os.makedirs(os.path.dirname(target), exist_ok=True)
    image.resize((width, height), Image.LANCZOS).save(target)
    drawn.append(path)


def font(size):
    try:
        return ImageFont.truetype(FONT_PATH, size * SCALE)
    except OSError:
        return ImageFont.load_default()


def centred_text(draw, box, text, size, fill):
    face = font(size)
    left, top, right, bottom = draw.textbbox((0, 0), text, font=face)
    x = s(box[0])[0] + (s(box[2] - box[0])[0] - (right - left)) / 2 - left
    y = s(box[1])[0] + (s(box[3] - box[1])[0] - (bottom - top)) / 2 - top
    draw.text((x, y), text, font=face, fill=fill)


# Document icons ------------------------------------------------------------------------

def document_icon(path, colour, label):
    image, draw = canvas(80, 80)
    fold = 18
    body = [(14, 6), (66 - fold, 6), (66, 6 + fold), (66, 74), (14, 74)]
    draw.rounded_rectangle(s(14, 6, 66, 74), radius=6 * SCALE, fill=colour)
    draw.polygon([tuple(s(*p)) for p in [(66 - fold, 6), (67, 6), (67, 5 + fold)]],
                 fill=(0, 0, 0, 0))
    draw.polygon([tuple(s(*p)) for p in [(66 - fold, 6), (66 - fold, 6 + fold), (66, 6 + fold)]],
                 fill="#FFFFFF80")
    del body
    centred_text(draw, (14, 36, 66, 62), label, 15, "#FFFFFF")
    save(image, path, 80, 80)


def pdf_to_file_tile(path, colour, glyph):
    image, draw = canvas(80, 80)
    draw.rounded_rectangle(s(8, 8, 72, 72), radius=12 * SCALE, fill=colour)
    centred_text(draw, (8, 8, 72, 72), glyph, 26, "#FFFFFF")
    save(image, path, 80, 80)


# Small glyphs --------------------------------------------------------------------------

def arrow_down(path, colour):
    image, draw = canvas(16, 6)
    draw.polygon([tuple(s(1, 0)), tuple(s(15, 0)), tuple(s(8, 6))], fill=colour)
    save(image, path, 16, 6)


def conversion_arrow():
    image, draw = canvas(28, 26)
    colour = "#333333"
    draw.line(s(2, 8, 24, 8), fill=colour, width=2 * SCALE)
    draw.polygon([tuple(s(26, 8)), tuple(s(18, 2)), tuple(s(18, 14))], fill=colour)
    draw.line(s(4, 18, 26, 18), fill=colour, width=2 * SCALE)
    draw.polygon([tuple(s(2, 18)), tuple(s(10, 12)), tuple(s(10, 24))], fill=colour)
    save(image, "icon/icon_transformation.png", 28, 26)


def modify_glyph(path, colour):
    image, draw = canvas(40, 40)
    draw.rounded_rectangle(s(6, 8, 30, 32), radius=3 * SCALE, outline=colour, width=3 * SCALE)
    draw.line(s(16, 24, 34, 6), fill=colour, width=4 * SCALE)
    draw.polygon([tuple(s(13, 27)), tuple(s(15, 21)), tuple(s(19, 25))], fill=colour)
    save(image, path, 40, 40)


def close_tab(path, cross):
    image, draw = canvas(52, 52)
    draw.pieslice(s(0, -52, 104, 52), 90, 180, fill="#F4F4F4")
    draw.line(s(30, 10, 42, 22), fill=cross, width=3 * SCALE)
    draw.line(s(42, 10, 30, 22), fill=cross, width=3 * SCALE)
    save(image, path, 52, 52)


def disc_with_tick(path, width, height, colour):
    image, draw = canvas(width, height)
    size = min(width, height)
    top = (height - size) // 2
    draw.ellipse(s(0, top, size, top + size), fill=colour)
    draw.line(s(size * 0.26, top + size * 0.52, size * 0.44, top + size * 0.70), fill="#FFFFFF",
              width=3 * SCALE)
    draw.line(s(size * 0.44, top + size * 0.70, size * 0.76, top + size * 0.34), fill="#FFFFFF",
              width=3 * SCALE)
    save(image, path, width, height)


def disc_with_cross(path, size, colour):
    image, draw = canvas(size, size)
    draw.ellipse(s(0, 0, size, size), fill=colour)
    a, b = size * 0.32, size * 0.68
    draw.line(s(a, a, b, b), fill="#FFFFFF", width=3 * SCALE)
    draw.line(s(b, a, a, b), fill="#FFFFFF", width=3 * SCALE)
    save(image, path, size, size)


def tick(path, size, colour):
    image, draw = canvas(size, size)
    draw.line(s(size * 0.12, size * 0.52, size * 0.40, size * 0.80), fill=colour,
              width=3 * SCALE)
    draw.line(s(size * 0.40, size * 0.80, size * 0.90, size * 0.22), fill=colour,
              width=3 * SCALE)
    save(image, path, size, size)


def corner_badge():
    image, draw = canvas(32, 32)
    draw.polygon([tuple(s(32, 0)), tuple(s(32, 32)), tuple(s(0, 32))], fill=ACCENT)
    draw.line(s(16, 22, 20, 26), fill="#FFFFFF", width=2 * SCALE)
    draw.line(s(20, 26, 28, 16), fill="#FFFFFF", width=2 * SCALE)
    save(image, "icon/icon_set_selected.png", 32, 32)


def menu_shadow_frame():
    # A soft shadow eight pixels deep around a transparent middle, for the format popup.
    width, height, depth = 278, 392, 8
    image = Image.new("RGBA", (width, height), (0, 0, 0, 0))
    pixels = image.load()
    for y in range(height):
        for x in range(width):
            inset = min(x, y, width - 1 - x, height - 1 - y)
            if inset < depth:
                pixels[x, y] = (0, 0, 0, int(6 + 4 * inset))
    target = os.path.join(ROOT, "table/table_bg_menu_projection.png")
    os.makedirs(os.path.dirname(target), exist_ok=True)
    image.save(target)
    drawn.append("table/table_bg_menu_projection.png")


def gear(path, colour):
    image, draw = canvas(40, 40)
    import math
    for i in range(8):
        angle = i * math.pi / 4
        x, y = 20 + 14 * math.cos(angle), 20 + 14 * math.sin(angle)
        draw.ellipse(s(x - 4, y - 4, x + 4, y + 4), fill=colour)
    draw.ellipse(s(7, 7, 33, 33), fill=colour)
    draw.ellipse(s(14, 14, 26, 26), fill="#F0F5FF")
    save(image, path, 40, 40)


def plus(path, colour, size=28):
    image, draw = canvas(size, size)
    m = size / 2
    draw.line(s(m, size * 0.15, m, size * 0.85), fill=colour, width=3 * SCALE)
    draw.line(s(size * 0.15, m, size * 0.85, m), fill=colour, width=3 * SCALE)
    save(image, path, size, size)


def bin_glyph(path, colour):
    image, draw = canvas(40, 40)
    draw.line(s(8, 11, 32, 11), fill=colour, width=3 * SCALE)
    draw.line(s(16, 6, 24, 6), fill=colour, width=3 * SCALE)
    draw.rounded_rectangle(s(11, 14, 29, 34), radius=3 * SCALE, outline=colour, width=3 * SCALE)
    draw.line(s(20, 19, 20, 29), fill=colour, width=2 * SCALE)
    save(image, path, 40, 40)


def set_all(path, colour):
    image, draw = canvas(40, 40)
    for y in (10, 20, 30):
        draw.line(s(6, y, 34, y), fill=colour, width=3 * SCALE)
    for x, y in ((14, 10), (26, 20), (18, 30)):
        draw.ellipse(s(x - 4, y - 4, x + 4, y + 4), fill="#FFFFFF", outline=colour,
                     width=3 * SCALE)
    save(image, path, 40, 40)


def convert_all(path, colour):
    image, draw = canvas(40, 40)
    draw.arc(s(6, 6, 34, 34), 200, 340, fill=colour, width=3 * SCALE)
    draw.arc(s(6, 6, 34, 34), 20, 160, fill=colour, width=3 * SCALE)
    draw.polygon([tuple(s(34, 20)), tuple(s(28, 12)), tuple(s(38, 12))], fill=colour)
    draw.polygon([tuple(s(6, 20)), tuple(s(2, 28)), tuple(s(12, 28))], fill=colour)
    save(image, path, 40, 40)


def split_line(path, towards_right):
    width, height = 466, 2
    image = Image.new("RGBA", (width, height), (0, 0, 0, 0))
    pixels = image.load()
    for x in range(width):
        fade = x / (width - 1) if towards_right else 1 - x / (width - 1)
        for y in range(height):
            pixels[x, y] = (224, 224, 224, int(255 * fade))
    target = os.path.join(ROOT, path)
    os.makedirs(os.path.dirname(target), exist_ok=True)
    image.save(target)
    drawn.append(path)


def add_area():
    image, draw = canvas(960, 720)
    draw.rounded_rectangle(s(4, 4, 956, 716), radius=16 * SCALE, fill="#FFFFFF",
                           outline="#C9E1FE", width=4 * SCALE)
    save(image, "table/table_add_bg2x.png", 960, 720)


def choice_picture(path, left, right):
    image, draw = canvas(960, 720)
    for x, colour, label in ((300, left[0], left[1]), (580, right[0], right[1])):
        draw.rounded_rectangle(s(x, 150, x + 120, 300), radius=12 * SCALE, fill=colour)
        centred_text(draw, (x, 150, x + 120, 300), label, 34, "#FFFFFF")
    draw.line(s(440, 225, 540, 225), fill=ACCENT, width=6 * SCALE)
    draw.polygon([tuple(s(560, 225)), tuple(s(536, 207)), tuple(s(536, 243))], fill=ACCENT)
    save(image, path, 960, 720)


def transparent(path, width, height):
    image, _ = canvas(width, height)
    save(image, path, width, height)


def write_qrc():
    lines = ['<!DOCTYPE RCC>', '<RCC version="1.0">', '<qresource prefix="/Resources">']
    lines += ['    <file>%s</file>' % path for path in sorted(drawn)]
    lines += ['</qresource>', '</RCC>', '']
    with open(os.path.join(ROOT, "workspace.qrc"), "w") as qrc:
        qrc.write("\n".join(lines))


def main():
    document_icon("icon/icon_file_to_pdf_excel.png", "#4BC929", "XLS")
    document_icon("icon/icon_file_to_pdf_word.png", ACCENT, "DOC")
    document_icon("icon/icon_file_to_pdf_ppt.png", "#FF5630", "PPT")
    document_icon("icon/icon_pdf_to_file_pdf.png", "#FF9C7D", "PDF")
    pdf_to_file_tile("icon/icon_pdf_to_file_word.png", ACCENT, "W")
    pdf_to_file_tile("icon/icon_pdf_to_file_ppt.png", "#FF5630", "P")
    pdf_to_file_tile("icon/icon_pdf_to_file_excel.png", "#4BC929", "X")
    pdf_to_file_tile("icon/icon_pdf_to_file_picture.png", "#9B6BFF", "IMG")
    pdf_to_file_tile("icon/icon_pdf_to_file_txt.png", "#8A96A8", "TXT")
    pdf_to_file_tile("icon/icon_pdf_to_file_html.png", "#FFA629", "</>")

    conversion_arrow()
    for suffix, colour in (("", ACCENT), ("_hover", ACCENT_HOVER), ("_press", ACCENT_PRESSED)):
        modify_glyph("png/btn_modify%s.png" % suffix, colour)
    for suffix, colour in (("", "#999999"), ("_hover", ACCENT), ("_press", ACCENT_PRESSED)):
        close_tab("btn/btn_pdf_conversion_close%s.png" % suffix, colour)
    transparent("logo/touming.png", 10, 10)
    disc_with_tick("icon/icon_success.png", 28, 30, "#6DD400")
    disc_with_cross("icon/icon_fail.png", 28, "#FF3939")

    arrow_down("btn/btn_choice.png", "#333333")
    arrow_down("btn/btn_choice_undisable.png", "#999999")
    menu_shadow_frame()
    tick("icon/icon_menu_selection.png", 26, ACCENT)
    corner_badge()
    gear("icon/icon_set_up.png", ACCENT)

    for suffix in ("", "_hover", "_press"):
        plus("logo/btn_add%s.png" % suffix, "#FFFFFF" if suffix != "_press" else "#CCCCCC")
    for suffix, colour in (("", "#333333"), ("_hover", ACCENT), ("_press", ACCENT_PRESSED)):
        bin_glyph("png/btn_clear_list%s.png" % suffix, colour)
    for suffix, colour in (("", ACCENT), ("_hover", ACCENT_HOVER), ("_press", ACCENT_PRESSED)):
        set_all("icon/icon_set_all%s.png" % suffix, colour)
    convert_all("icon/icon_convert_all.png", "#FFFFFF")
    convert_all("icon/icon_convert_all_press.png", "#CCCCCC")
    plus("icon/icon_first_add.png", "#FFFFFF")
    split_line("png/table_left_split_line2x.png", True)
    split_line("png/table_right_split_line2x.png", False)
    add_area()
    choice_picture("table/table_pdf_to_choice.png", ("#FF9C7D", "PDF"), (ACCENT, "W"))
    choice_picture("table/table_choice_to_pdf.png", (ACCENT, "W"), ("#FF9C7D", "PDF"))

    write_qrc()


if __name__ == "__main__":
    main()
