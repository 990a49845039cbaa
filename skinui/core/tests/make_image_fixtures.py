#!/usr/bin/env python3
"""Draws the pictures the SkinUI painter tests load, and packs them into zip and 7z
packages: a nine-grid picture whose every part has its own colour (also as JPEG, BMP and
GIF, and in formats skins do not use), translucent and masked pictures, a picture above
4 MB, pictures that declare absurd sizes or more pixels than their data holds, and files
that are not pictures at all."""
import os
import random
import shutil
import struct
import subprocess
import sys
import zlib

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


def png_header_only(width, height):
    """The signature and the header chunk of a PNG of that size, and no pixels."""
    header = struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0)
    chunk = b'IHDR' + header
    return (b'\x89PNG\r\n\x1a\n' + struct.pack('>I', len(header)) + chunk +
            struct.pack('>I', zlib.crc32(chunk)))


def sparse_gif(side):
    """35 bytes: a GIF whose screen and only frame declare side x side pixels, and whose
    data draws two of them."""
    screen = b'GIF89a' + struct.pack('<HH', side, side) + bytes([0x80, 0, 0])
    palette = bytes([0, 0, 0, 255, 255, 255])
    frame = b',' + struct.pack('<HHHH', 0, 0, side, side) + bytes([0])
    data = bytes([2, 2, 0x4C, 0x01, 0]) + b';'
    return screen + palette + frame + data


def truncated_hdr():
    """49 bytes: a run-length encoded Radiance picture cut right after its first run."""
    return b'#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n\n-Y 8 +X 8\n' + bytes([2, 2, 0, 8])


def main():
    out = os.path.abspath(sys.argv[1])
    shutil.rmtree(out, ignore_errors=True)
    res = os.path.join(out, 'res')
    os.makedirs(res)

    grid_image().save(os.path.join(res, 'grid.png'))
    # The same picture in the other formats skins may use, and in some they do not.
    grid_image().save(os.path.join(res, 'grid.jpg'), quality=95)
    grid_image().save(os.path.join(res, 'grid.bmp'))
    grid_image().save(os.path.join(res, 'grid.gif'))
    grid_image().save(os.path.join(res, 'grid.tga'))
    grid_image().save(os.path.join(res, 'grid.ppm'))
    with open(os.path.join(res, 'truncated.hdr'), 'wb') as f:
        f.write(truncated_hdr())
    with open(os.path.join(res, 'huge.gif'), 'wb') as f:
        f.write(sparse_gif(20000))
    # Within the largest size, but far more pixels than 35 bytes can hold.
    with open(os.path.join(res, 'sparse.gif'), 'wb') as f:
        f.write(sparse_gif(4096))
    # The largest side decoded, one pixel more, and a picture of too many pixels.
    Image.new('RGB', (16384, 1), (0, 0, 255)).save(os.path.join(res, 'widest.png'))
    with open(os.path.join(res, 'too-wide.png'), 'wb') as f:
        f.write(png_header_only(16385, 1))
    with open(os.path.join(res, 'too-many.png'), 'wb') as f:
        f.write(png_header_only(8193, 8193))

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
