#!/usr/bin/python3
"""Proves the real display path once: runs the skinned-window screen program under Wine's X11
driver (wine_x11_screen) and checks the key pixels of its screenshot: the rounded corners let
the desktop through, the drop shadow lies around the window, and the progress bar is filled
with its fill picture up to its value.

Arguments: the screen program, the Wine prefix folder, a scratch folder."""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..',
                                'testsupport'))
from wine_x11_screen import main, near  # noqa: E402

TITLE = (0x3A, 0x5B, 0xA0)
BACKGROUND = (0xF4, 0xF6, 0xFA)
FILL = (0x20, 0xA0, 0x60)
TRACK = (0xD8, 0xDC, 0xE4)


def check(_number, shot, ready):
    problems = []
    left, top, right, bottom = ready['window']
    pixel = lambda x, y: shot.getpixel((x, y))[:3]
    desktop = pixel(2, 2)

    title = pixel((left + right) // 2, top + 4)
    if not near(title, TITLE):
        problems.append('title band %s, not %s' % (title, TITLE))
    for corner, inside in (((left, top), TITLE), ((right - 1, bottom - 1), BACKGROUND)):
        if near(pixel(*corner), inside):
            problems.append('the corner at %s is not cut' % (corner,))
    inner = pixel(left + 30, bottom - 30)
    if not near(inner, BACKGROUND):
        problems.append('window background %s, not %s' % (inner, BACKGROUND))

    # Below the window, the shadow: darker than the desktop and tinted with its blue.
    shadow = pixel((left + right) // 2, bottom + 2)
    if shadow == desktop or not shadow[2] > shadow[0]:
        problems.append('no blue shadow below the window: %s (desktop %s)' % (shadow, desktop))
    far = pixel((left + right) // 2, bottom + 40)
    if far != desktop:
        problems.append('the shadow reaches too far: %s (desktop %s)' % (far, desktop))

    p_left, p_top, p_right, p_bottom = ready['progress']
    middle = (p_top + p_bottom) // 2
    fill_end = p_left + (p_right - p_left) * ready['value'][0] // 100
    filled = pixel((p_left + fill_end) // 2, middle)
    rest = pixel((fill_end + p_right) // 2, middle)
    if not near(filled, FILL):
        problems.append('progress fill %s, not %s' % (filled, FILL))
    if not near(rest, TRACK):
        problems.append('progress track %s, not %s' % (rest, TRACK))
    return problems


if __name__ == '__main__':
    main(check, 1, 'corners, shadow and progress fill as drawn on the X screen')
