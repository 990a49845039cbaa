#!/usr/bin/env python3
"""Draws the pictures the SkinUI control tests load: a five-state button strip whose every
state has its own colour, an animated GIF of three solid frames with known delays and a
still GIF that stores no delay; the two GIFs are also packed into zip and 7z packages. Last,
the still picture in other formats, and a damaged picture that the platform's picture
decoders do not survive."""
import io
import os
import struct
import subprocess
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


GIF_SIZE = (8, 6)
# Frame colours and their delays in milliseconds (the GIF keeps hundredths of a second):
# a short delay, a delay of 0 and one far longer than any test waits.
ANIM_FRAMES = [((255, 0, 0), 20), ((0, 255, 0), 0), ((0, 0, 255), 10000)]
STILL_COLOUR = (255, 255, 0)


def write_gifs(res):
    frames = [Image.new('RGB', GIF_SIZE, colour) for colour, _ in ANIM_FRAMES]
    frames[0].save(os.path.join(res, 'anim.gif'), save_all=True, append_images=frames[1:],
                   duration=[delay for _, delay in ANIM_FRAMES], loop=0, disposal=1,
                   optimize=False)
    # One frame without a graphic control block: the picture has no frame delays.
    Image.new('RGB', GIF_SIZE, STILL_COLOUR).save(os.path.join(res, 'still.gif'))


def write_stills(res):
    """The still picture in the other formats the framework decodes, and in one it does
    not: the robustness runs damage them all."""
    still = Image.new('RGB', GIF_SIZE, STILL_COLOUR)
    for name in ('still.png', 'still.jpg', 'still.bmp', 'still.tga'):
        still.save(os.path.join(res, name))


def write_damaged_bitmap(res):
    """A small BMP whose pixels are said to start 512 KB behind the start of the file."""
    encoded = io.BytesIO()
    Image.new('RGB', (24, 16), (255, 0, 0)).save(encoded, format='BMP')
    damaged = bytearray(encoded.getvalue())
    damaged[10:14] = struct.pack('<I', 0x80036)
    with open(os.path.join(res, 'damaged.bmp'), 'wb') as f:
        f.write(damaged)


def pack_gifs(out):
    packed = ['res/anim.gif', 'res/still.gif']
    for name in ('controls.zip', 'controls.7z'):
        if os.path.exists(os.path.join(out, name)):
            os.remove(os.path.join(out, name))
    subprocess.run(['zip', '-q', '-X', 'controls.zip'] + packed, cwd=out, check=True)
    subprocess.run(['7z', 'a', '-bd', '-y', 'controls.7z'] + packed, cwd=out, check=True,
                   stdout=subprocess.DEVNULL)


def main():
    # The folder is shared with pictures copied from elsewhere: only ours are written.
    res = os.path.join(os.path.abspath(sys.argv[1]), 'res')
    os.makedirs(res, exist_ok=True)
    five_state_strip().save(os.path.join(res, 'fivestatus.png'))
    write_gifs(res)
    write_stills(res)
    write_damaged_bitmap(res)
    pack_gifs(os.path.dirname(res))


if __name__ == '__main__':
    main()
