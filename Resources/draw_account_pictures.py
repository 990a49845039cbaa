#!/usr/bin/python3
"""Draws the pictures of Quorvane's account windows (sign-in dialog and account centre).

Run from anywhere: /usr/bin/python3 Resources/draw_account_pictures.py
The output is deterministic, so re-running leaves the committed PNGs unchanged.
"""
import math
import os

from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))
SCALE = 4  # drawn large and scaled down for smooth edges

WECHAT_GREEN = (7, 193, 96, 255)
WHITE = (255, 255, 255, 255)
BLUE = (56, 155, 253, 255)


def save(image, relative):
    path = os.path.join(HERE, relative)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    image.save(path, optimize=True)


def canvas(width, height):
    return Image.new("RGBA", (width * SCALE, height * SCALE), (0, 0, 0, 0))


def shrink(image, width, height):
    return image.resize((width, height), Image.LANCZOS)


def draw_wechat_icon():
    side = 32
    image = canvas(side, side)
    draw = ImageDraw.Draw(image)
    s = SCALE
    draw.rounded_rectangle((0, 0, side * s - 1, side * s - 1), radius=7 * s, fill=WECHAT_GREEN)
    # two speech bubbles, the larger one behind
    draw.ellipse((4 * s, 6 * s, 21 * s, 20 * s), fill=WHITE)
    draw.polygon([(7 * s, 18 * s), (6 * s, 23 * s), (11 * s, 19 * s)], fill=WHITE)
    draw.ellipse((13 * s, 12 * s, 28 * s, 25 * s), fill=WECHAT_GREEN)
    draw.ellipse((14 * s, 13 * s, 27 * s, 24 * s), fill=WHITE)
    draw.polygon([(24 * s, 22 * s), (26 * s, 27 * s), (21 * s, 23 * s)], fill=WHITE)
    for x, y in ((9, 11), (15, 11)):
        draw.ellipse((x * s, y * s, (x + 2) * s, (y + 2) * s), fill=WECHAT_GREEN)
    for x, y in ((17, 17), (22, 17)):
        draw.ellipse((x * s, y * s, (x + 2) * s, (y + 2) * s), fill=WECHAT_GREEN)
    save(shrink(image, side, side), "icon/icon_login_weixin.png")


def draw_refresh_button(name, disc, arrow):
    side = 50
    image = canvas(side, side)
    draw = ImageDraw.Draw(image)
    s = SCALE
    draw.ellipse((0, 0, side * s - 1, side * s - 1), fill=disc)
    box = (13 * s, 13 * s, 37 * s, 37 * s)
    draw.arc(box, start=40, end=330, fill=arrow, width=4 * s)
    # arrow head at the open end of the arc
    angle = math.radians(330)
    cx, cy, r = 25 * s, 25 * s, 12 * s
    tip_x, tip_y = cx + r * math.cos(angle), cy + r * math.sin(angle)
    draw.polygon([(tip_x - 6 * s, tip_y - 5 * s), (tip_x + 6 * s, tip_y - 5 * s),
                  (tip_x, tip_y + 5 * s)], fill=arrow)
    save(shrink(image, side, side), "btn/" + name)


def draw_loading_frames():
    side = 100
    dots = 9
    for frame in range(1, dots + 1):
        image = canvas(side, side)
        draw = ImageDraw.Draw(image)
        s = SCALE
        for dot in range(dots):
            # the brightest dot walks round the ring one step per frame
            age = (frame - 1 - dot) % dots
            alpha = max(60, 255 - age * 24)
            angle = 2 * math.pi * dot / dots - math.pi / 2
            x = 50 * s + 32 * s * math.cos(angle)
            y = 50 * s + 32 * s * math.sin(angle)
            radius = (7 - age * 0.4) * s
            draw.ellipse((x - radius, y - radius, x + radius, y + radius),
                         fill=(255, 255, 255, alpha))
        save(shrink(image, side, side), "gif/login_load/icon_login_load_%03d.png" % frame)


def draw_personal_center():
    width, height, header = 316, 310, 103
    image = Image.new("RGBA", (width, height), WHITE)
    draw = ImageDraw.Draw(image)
    for y in range(header):
        # a soft blue wash that fades into the white body
        t = y / header
        tone = (int(226 + 29 * t), int(239 + 16 * t), 255, 255)
        draw.line((0, y, width, y), fill=tone)
    draw.line((16, header, width - 16, header), fill=(236, 236, 236, 255))
    save(image, "table/table_personal_center.png")


def draw_head_portrait():
    side = 56
    image = canvas(side, side)
    draw = ImageDraw.Draw(image)
    s = SCALE
    draw.ellipse((0, 0, side * s - 1, side * s - 1), fill=(205, 226, 250, 255))
    draw.ellipse((19 * s, 11 * s, 37 * s, 29 * s), fill=WHITE)
    draw.ellipse((9 * s, 31 * s, 47 * s, 65 * s), fill=WHITE)
    mask = Image.new("L", image.size, 0)
    ImageDraw.Draw(mask).ellipse((0, 0, side * s - 1, side * s - 1), fill=255)
    clipped = Image.new("RGBA", image.size, (0, 0, 0, 0))
    clipped.paste(image, (0, 0), mask)
    save(shrink(clipped, side, side), "table/table_head_portrait_big.png")


def main():
    draw_wechat_icon()
    draw_refresh_button("btn_login_refresh.png", (0, 0, 0, 0), WHITE)
    draw_refresh_button("btn_login_refresh_hover.png", (255, 255, 255, 48), WHITE)
    draw_refresh_button("btn_login_refresh_press.png", (255, 255, 255, 24), (220, 220, 220, 255))
    draw_loading_frames()
    draw_personal_center()
    draw_head_portrait()


if __name__ == "__main__":
    main()
