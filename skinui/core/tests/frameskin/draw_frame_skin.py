#!/usr/bin/python3
"""Makes the skin folder of the skinned-window tests: copies the skin XML files beside this
script into the given folder and draws their pictures under res/ (solid colours, so that a
test can tell from one pixel which picture was drawn), plus a picture whose data is cut off."""

import glob
import os
import shutil
import sys

from PIL import Image

# Colours the tests look for, as (red, green, blue).
PICTURES = {
    'background.png': (0xF4, 0xF6, 0xFA),
    'title.png': (0x3A, 0x5B, 0xA0),
    'minbtn.png': (0xE0, 0xC0, 0x40),
    'closebtn.png': (0xE0, 0x40, 0x40),
    'button.png': (0x40, 0x80, 0xE0),
    'button_hot.png': (0x60, 0xA0, 0xF0),
    'button_pushed.png': (0x20, 0x60, 0xC0),
    'track.png': (0xD8, 0xDC, 0xE4),
    'fill.png': (0x20, 0xA0, 0x60),
}


def solid(colour, size=(8, 8)):
    return Image.new('RGBA', size, colour + (255,))


def shadow_picture():
    """A 24x24 frame that fades from opaque black at the inner edge to clear outside."""
    image = Image.new('RGBA', (24, 24), (0, 0, 0, 0))
    for y in range(24):
        for x in range(24):
            reach = min(x, y, 23 - x, 23 - y)
            image.putpixel((x, y), (0, 0, 0, min(255, reach * 32)))
    return image


def main():
    out = os.path.abspath(sys.argv[1])
    here = os.path.dirname(os.path.abspath(__file__))
    shutil.rmtree(out, ignore_errors=True)
    res = os.path.join(out, 'res')
    os.makedirs(res)
    for skin in glob.glob(os.path.join(here, '*.xml')):
        shutil.copy(skin, out)
    for name, colour in PICTURES.items():
        solid(colour).save(os.path.join(res, name))
    shadow_picture().save(os.path.join(res, 'shadow.png'))
    # A PNG signature and header, then nothing: the decoder must give up on it.
    with open(os.path.join(res, 'fill.png'), 'rb') as whole:
        data = whole.read()
    with open(os.path.join(res, 'damaged.png'), 'wb') as damaged:
        damaged.write(data[:40])


if __name__ == '__main__':
    main()
