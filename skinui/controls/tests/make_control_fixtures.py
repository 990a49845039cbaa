#!/usr/bin/env python3
"""Draws the pictures the SkinUI control tests load and packs them into zip and 7z
packages: an animated GIF of three solid frames with known delays, and a still GIF that
stores no delay at all."""
import os
import shutil
import subprocess
import sys

from PIL import Image

GIF_SIZE = (8, 6)
# Frame colours and their delays in milliseconds (the GIF keeps hundredths of a second):
# a short delay, a delay of 0 and one far longer than any test waits.
ANIM_FRAMES = [((255, 0, 0), 20), ((0, 255, 0), 0), ((0, 0, 255), 10000)]
STILL_COLOUR = (255, 255, 0)


def write_gifs(folder):
    frames = [Image.new('RGB', GIF_SIZE, colour) for colour, _ in ANIM_FRAMES]
    frames[0].save(os.path.join(folder, 'anim.gif'), save_all=True, append_images=frames[1:],
                   duration=[delay for _, delay in ANIM_FRAMES], loop=0, disposal=1,
                   optimize=False)
    # One frame without a graphic control block: the picture has no frame delays.
    Image.new('RGB', GIF_SIZE, STILL_COLOUR).save(os.path.join(folder, 'still.gif'))


def main():
    out = os.path.abspath(sys.argv[1])
    shutil.rmtree(out, ignore_errors=True)
    gif = os.path.join(out, 'gif')
    os.makedirs(gif)
    write_gifs(gif)

    packed = ['gif/anim.gif', 'gif/still.gif']
    subprocess.run(['zip', '-q', '-X', 'controls.zip'] + packed, cwd=out, check=True)
    subprocess.run(['7z', 'a', '-bd', '-y', 'controls.7z'] + packed, cwd=out, check=True,
                   stdout=subprocess.DEVNULL)


if __name__ == '__main__':
    main()
