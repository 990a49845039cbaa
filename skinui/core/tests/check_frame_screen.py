#!/usr/bin/python3
"""Proves the real display path once: runs the skinned-window screen program under Wine's X11
driver on the X server this script is started on (xvfb-run), in a Wine prefix of its own,
takes a screenshot of the X screen and checks its key pixels: the rounded corners let the
desktop through, the drop shadow lies around the window, and the progress bar is filled with
its fill picture up to its value.

Arguments: the screen program, the Wine prefix folder, a scratch folder."""

import os
import subprocess
import sys
import time

from PIL import ImageGrab

TITLE = (0x3A, 0x5B, 0xA0)
BACKGROUND = (0xF4, 0xF6, 0xFA)
FILL = (0x20, 0xA0, 0x60)
TRACK = (0xD8, 0xDC, 0xE4)
SHADOW = (0x20, 0x40, 0xC0)
WAIT_SECONDS = 120


def fail(message):
    print('check_frame_screen: ' + message, flush=True)
    sys.exit(1)


def near(actual, expected, tolerance=8):
    return all(abs(a - e) <= tolerance for a, e in zip(actual, expected))


def windows_path(path):
    return 'Z:' + os.path.abspath(path).replace('/', '\\')


def wine_environment(prefix):
    env = dict(os.environ)
    env.update(WINEPREFIX=os.path.abspath(prefix), WINEDEBUG='-all',
               WINEDLLOVERRIDES='mscoree,mshtml=')
    return env


def prepare_prefix(env):
    """A prefix of this test's own, made once; a fresh prefix uses the X11 driver."""
    if os.path.exists(os.path.join(env['WINEPREFIX'], 'system.reg')):
        return
    os.makedirs(env['WINEPREFIX'], exist_ok=True)
    subprocess.run(['wineboot', '-i'], env=env, stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True,
                   timeout=WAIT_SECONDS)
    subprocess.run(['wineserver', '-w'], env=env, check=True, timeout=WAIT_SECONDS)


def read_ready(path):
    values = {}
    with open(path) as ready:
        for line in ready:
            key, *numbers = line.split()
            values[key] = [int(n) for n in numbers]
    return values


def wait_for(path, program):
    deadline = time.monotonic() + WAIT_SECONDS
    while not os.path.exists(path):
        if program.poll() is not None:
            fail('the screen program ended with %d before its window stood' % program.returncode)
        if time.monotonic() > deadline:
            fail('no window within %d seconds' % WAIT_SECONDS)
        time.sleep(0.2)
    time.sleep(0.5)  # the file is written whole before the program goes on pumping


def check(shot, ready):
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


def main():
    program_path, prefix, scratch = sys.argv[1:4]
    os.makedirs(scratch, exist_ok=True)
    ready_file = os.path.join(scratch, 'ready.txt')
    done_file = os.path.join(scratch, 'done.txt')
    for stale in (ready_file, done_file):
        if os.path.exists(stale):
            os.remove(stale)

    env = wine_environment(prefix)
    prepare_prefix(env)
    program = subprocess.Popen(['wine', program_path, windows_path(ready_file),
                                windows_path(done_file)], env=env, stdin=subprocess.DEVNULL)
    try:
        wait_for(ready_file, program)
        shot = ImageGrab.grab(xdisplay=os.environ.get('DISPLAY'))
        shot.save(os.path.join(scratch, 'screen.png'))
        problems = check(shot, read_ready(ready_file))
    finally:
        open(done_file, 'w').close()
        try:
            program.wait(timeout=WAIT_SECONDS)
        except subprocess.TimeoutExpired:
            program.kill()
        subprocess.run(['wineserver', '-k'], env=env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if problems:
        fail('; '.join(problems) + ' (screenshot: %s)' % os.path.join(scratch, 'screen.png'))
    if program.returncode != 0:
        fail('the screen program ended with %d' % program.returncode)
    print('check_frame_screen: corners, shadow and progress fill as drawn on the X screen')


if __name__ == '__main__':
    main()
