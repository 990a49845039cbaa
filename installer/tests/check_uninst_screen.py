#!/usr/bin/python3
"""The uninstall window's three pages as Wine's X11 driver draws them (wine_x11_screen): the
question, the progress at 37 and the finished page, each checked in a screenshot by its key
pixels. Chinese texts must be drawn as glyphs, not as the empty boxes of a font without them;
the skin's face "微软雅黑" is drawn with WenQuanYi Micro Hei, as on any Linux desktop.

Arguments: the screen program, the Wine prefix folder, a scratch folder."""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..',
                                'skinui', 'testsupport'))
from wine_x11_screen import main, near  # noqa: E402

FONT_SUBSTITUTES = {'微软雅黑': 'WenQuanYi Micro Hei'}
PROGRESS = 37
ACCENT = (56, 155, 253)
TRACK = (227, 236, 248)


def is_blue(colour):
    red, _, blue = colour
    return blue >= 230 and red <= 130


def is_ink(colour):
    """Text, anti-aliased edges included, on the pages' pale backgrounds."""
    red, green, blue = colour
    return 0.299 * red + 0.587 * green + 0.114 * blue < 205


def crop(shot, rect):
    left, top, right, bottom = rect
    region = shot.crop((left, top, right, bottom)).convert('RGB')
    return region.width, region.height, region.load()


def ink_count(shot, rect):
    width, height, pixels = crop(shot, rect)
    return sum(is_ink(pixels[x, y]) for y in range(height) for x in range(width))


def ink_components(shot, rect):
    """The connected pieces of dark ink in the rectangle, each as its list of pixels."""
    width, height, pixels = crop(shot, rect)
    ink = {(x, y) for y in range(height) for x in range(width) if is_ink(pixels[x, y])}
    components = []
    while ink:
        stack = [ink.pop()]
        component = []
        while stack:
            x, y = stack.pop()
            component.append((x, y))
            for neighbour in ((x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)):
                if neighbour in ink:
                    ink.remove(neighbour)
                    stack.append(neighbour)
        components.append(component)
    return components


def is_hollow_box(component):
    """A box drawn for a missing glyph: every pixel on the border of its bounding box."""
    xs = [x for x, _ in component]
    ys = [y for _, y in component]
    left, right, top, bottom = min(xs), max(xs), min(ys), max(ys)
    if right - left < 3 or bottom - top < 3:
        return False
    margin = 1
    return all(x - left <= margin or right - x <= margin or y - top <= margin or
               bottom - y <= margin for x, y in component)


def check_glyphs(shot, rect, what, least_pieces):
    """Chinese glyphs are pieces of strokes, at least one a glyph; a missing glyph is one
    hollow box."""
    pieces = [c for c in ink_components(shot, rect) if len(c) >= 4]
    boxes = sum(is_hollow_box(c) for c in pieces)
    if len(pieces) < least_pieces:
        return ['%s: %d pieces of ink, not the strokes of its glyphs' % (what, len(pieces))]
    if boxes * 2 >= len(pieces):
        return ['%s: drawn as boxes (%d of %d pieces are empty boxes)' % (what, boxes,
                                                                            len(pieces))]
    return []


def middle(rect):
    left, top, right, bottom = rect
    return (left + right) // 2, (top + bottom) // 2


def check_question_page(shot, ready, pixel):
    problems = check_glyphs(shot, ready['question'], 'the question', 8)
    left, top, right, bottom = ready['thinkBtn']
    button = pixel(left + 20, (top + bottom) // 2)
    if not is_blue(button):
        problems.append('"再想想" button %s, not blue' % (button,))
    if ink_count(shot, ready['closebtn']) < 10:
        problems.append('no close button in the title row')
    if ink_count(shot, ready['softNameLbl']) < 30:
        problems.append('no product name in the title row')
    return problems


def check_progress_page(shot, ready, pixel):
    problems = check_glyphs(shot, ready['running'], '"正在卸载..."', 4)
    left, top, right, bottom = ready['progress']
    y = (top + bottom) // 2
    fill_end = left + (right - left) * PROGRESS // 100
    for x in (left + 12, (left + fill_end) // 2, fill_end - 8):
        if not is_blue(pixel(x, y)):
            problems.append('progress not filled at %d: %s' % (x - left, pixel(x, y)))
    for x in (fill_end + 8, (fill_end + right) // 2, right - 12):
        if not near(pixel(x, y), TRACK, 12):
            problems.append('progress filled beyond %d%% at %d: %s' % (PROGRESS, x - left,
                                                                        pixel(x, y)))
    if ink_count(shot, ready['closebtn']) > 2:
        problems.append('the close button shows while the uninstall runs')
    return problems


def check_finished_page(shot, ready, pixel):
    problems = check_glyphs(shot, ready['feature'], 'the feature line', 8)
    window_left, window_top, _, _ = ready['window']
    mark = pixel(window_left + 140, window_top + 180)
    if not near(mark, ACCENT, 12):
        problems.append('no finished mark in the background: %s' % (mark,))
    left, top, right, bottom = ready['finishBtn']
    if not is_blue(pixel(left + 20, (top + bottom) // 2)):
        problems.append('"完成卸载" button not blue')
    left, top, right, bottom = ready['getNewestBtn']
    inside = pixel(left + 8, (top + bottom) // 2)
    if not near(inside, (255, 255, 255), 12):
        problems.append('"安装新包" button %s inside, not white' % (inside,))
    return problems


def check(number, shot, ready):
    pixel = lambda x, y: shot.getpixel((x, y))[:3]
    pages = {1: check_question_page, 2: check_progress_page, 3: check_finished_page}
    return ['page %d: %s' % (number - 1, problem)
            for problem in pages[number](shot, ready, pixel)]


if __name__ == '__main__':
    main(check, 3, 'the three pages, their Chinese texts and the progress at 37% as drawn on '
         'the X screen', FONT_SUBSTITUTES)
