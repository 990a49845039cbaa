#!/usr/bin/env python3
"""Draws the pictures the SkinUI control tests load: a five-state button strip whose every
state has its own colour."""
import os
import sys

from PIL import Image

# Normal, pushed, hot, focused and disabled, 20 pixels each.
FIVE_STATES = [(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 0), (255, 0, 255)]


def five_state_strip():
    image = Image.new('RGB', (100, 8))
    for x in range(100):
        for y in range(8):
            image.putpixel((x, y), FIVE_STATES[x // 20])
    return image


def main():
    # The folder is shared with pictures copied from elsewhere: only ours are written.
    res = os.path.join(os.path.abspath(sys.argv[1]), 'res')
    os.makedirs(res, exist_ok=True)
    five_state_strip().save(os.path.join(res, 'fivestatus.png'))


if __name__ == '__main__':
    main()
