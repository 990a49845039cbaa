#!/usr/bin/env python3
"""Draws the pictures the SkinUI painter tests load, and packs them into zip and 7z
packages: a nine-grid picture whose every part has its own colour, translucent and masked
pictures, a picture above 4 MB, and files that are not pictures at all."""
import os
import random
import shutil
import subprocess
import sys

from PIL import Image

# The 12x12 nine-grid picture: 4-pixel corners and edges, a 4x4 centre.
CORNERS = {'tl': (255, 0, 0), 'tr': (0, 255, 0), 'bl': (0, 0, 255), 'br': (255, 255, 0)}
EDGES = {'top': (128, 0, 0), 'bottom': (0, 128, 0), 'left': (0, 0, 128), 'right': (128, 128, 0)}


def centre_colour(column, row):
    return (0x20 + 0x40 * column, 0x20 + 0x40 * row, 0x80)


def grid_part(x, y):
    col = 0 if x < 4 else (1 if x < 8 else 2)
    row = 0 if y < 4 else (1 if y < 8 else 2)
    names = [['tl', 'top', 'tr'], ['left', None, 'right'], ['bl', 'bottom', 'br']]
    name = names[row][col]
    if name is None:
        return centre_colour(x - 4, y - 4)
    return CORNERS.get(name) or EDGES[name]


def grid_image():
    image = Image.new('RGB', (12, 12))
    for y in range(12):
        for x in range(12):
            image.putpixel((x, y), grid_part(x, y))
    return image


def main():
    out = os.path.abspath(sys.argv[1])
    shutil.rmtree(out, ignore_errors=True)
    res = os.path.join(out, 'res')
    os.makedirs(res)

    grid_image().save(os.path.join(res, 'grid.png'))

    translucent = Image.new('RGBA', (2, 1))
    translucent.putpixel((0, 0), (255, 0, 0, 128))
    translucent.putpixel((1, 0), (0, 0, 255, 255))
    translucent.save(os.path.join(res, 'half.png'))

    masked = Image.new('RGB', (2, 1))
    masked.putpixel((0, 0), (255, 0, 255))
    masked.putpixel((1, 0), (0, 255, 0))
    masked.save(os.path.join(res, 'mask.png'))

    # Noise does not compress: the file ends up above the 4 MB limit of skin files.
    rng = random.Random(7)
    noise = Image.frombytes('RGB', (1200, 1200), rng.randbytes(1200 * 1200 * 3))
    noise.save(os.path.join(res, 'big.png'))

    with open(os.path.join(res, 'grid.png'), 'rb') as f:
        whole = f.read()
    with open(os.path.join(res, 'damaged.png'), 'wb') as f:
        f.write(whole[:len(whole) // 2])
    with open(os.path.join(res, 'unknown.png'), 'wb') as f:
        f.write(b'this is not a picture\n' * 8)

    packed = ['res/grid.png', 'res/half.png', 'res/damaged.png']
    subprocess.run(['zip', '-q', '-X', 'images.zip'] + packed, cwd=out, check=True)
    subprocess.run(['7z', 'a', '-bd', '-y', 'images.7z'] + packed, cwd=out, check=True,
                   stdout=subprocess.DEVNULL)


if __name__ == '__main__':
    main()
