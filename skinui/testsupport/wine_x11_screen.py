"""Screenshots of a Windows screen program drawn by Wine's X11 driver on the X server this
process is started on (xvfb-run), in a Wine prefix of its own. The program takes the shot
folder as its argument and, for shot N, writes readyN.txt ("key numbers..." a line) and keeps
its windows up until doneN.txt appears (ScreenShots.h)."""

import os
import subprocess
import sys
import time

from PIL import ImageGrab

WAIT_SECONDS = 120
# How long a shot may take to show what the check looks for: Wine's X11 driver and the X
# server draw late on a busy machine. A safety net only: a shot is taken as soon as it shows.
SETTLE_SECONDS = 30


class ScreenFailure(Exception):
    pass


def windows_path(path):
    return 'Z:' + os.path.abspath(path).replace('/', '\\')


def wine_environment(prefix):
    env = dict(os.environ)
    env.update(WINEPREFIX=os.path.abspath(prefix), WINEDEBUG='-all',
               WINEDLLOVERRIDES='mscoree,mshtml=')
    return env


def prepare_prefix(env, font_substitutes):
    """The prefix is made once, and a fresh prefix uses the X11 driver. Faces that Linux does
    not have are drawn with ones it does (FontSubstitutes), set on every run so that a prefix
    made before a face was asked for gets it too."""
    if not os.path.exists(os.path.join(env['WINEPREFIX'], 'system.reg')):
        os.makedirs(env['WINEPREFIX'], exist_ok=True)
        subprocess.run(['wineboot', '-i'], env=env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True,
                       timeout=WAIT_SECONDS)
    for face, substitute in font_substitutes.items():
        subprocess.run(['wine', 'reg', 'add',
                        r'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes',
                        '/v', face, '/d', substitute, '/f'], env=env, stdin=subprocess.DEVNULL,
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
            raise ScreenFailure('the screen program ended with %d before its window stood'
                                % program.returncode)
        if time.monotonic() > deadline:
            raise ScreenFailure('no window within %d seconds' % WAIT_SECONDS)
        time.sleep(0.2)


def settled_shot(check):
    """Grabs the screen until two grabs half a second apart agree and check finds nothing
    wrong in the second, or until SETTLE_SECONDS have gone; returns the last grab and what
    check found in it."""
    deadline = time.monotonic() + SETTLE_SECONDS
    previous = None
    while True:
        time.sleep(0.5)
        shot = ImageGrab.grab(xdisplay=os.environ.get('DISPLAY'))
        problems = check(shot)
        settled = previous is not None and shot.tobytes() == previous.tobytes()
        if (settled and not problems) or time.monotonic() > deadline:
            return shot, problems
        previous = shot


def shoot(program_path, prefix, scratch, shot_count, check, font_substitutes=None):
    """Runs the screen program and, for each of its shots, takes a screenshot of the X screen
    (saved as screenN.png in scratch) and hands it with the ready values to check(number,
    screenshot, values), which returns a list of problems. Returns every problem found,
    each with the screenshot it was seen in; raises ScreenFailure when the program fails."""
    os.makedirs(scratch, exist_ok=True)
    for name in os.listdir(scratch):
        if name.startswith(('ready', 'done')):
            os.remove(os.path.join(scratch, name))
    env = wine_environment(prefix)
    prepare_prefix(env, font_substitutes or {})
    # The program's output, and that of the wineserver it starts, goes to a file: a server
    # that outlived this check holding ctest's output would keep ctest waiting for it.
    log_path = os.path.join(scratch, 'program.log')
    with open(log_path, 'wb') as log:
        program = subprocess.Popen(['wine', program_path, windows_path(scratch)], env=env,
                                   stdin=subprocess.DEVNULL, stdout=log,
                                   stderr=subprocess.STDOUT)
    problems = []
    try:
        for number in range(1, shot_count + 1):
            wait_for(os.path.join(scratch, 'ready%d.txt' % number), program)
            values = read_ready(os.path.join(scratch, 'ready%d.txt' % number))
            shot, found = settled_shot(lambda grab: check(number, grab, values))
            picture = os.path.join(scratch, 'screen%d.png' % number)
            shot.save(picture)
            problems += ['%s (%s)' % (problem, picture) for problem in found]
            open(os.path.join(scratch, 'done%d.txt' % number), 'w').close()
        try:
            program.wait(timeout=WAIT_SECONDS)
        except subprocess.TimeoutExpired:
            program.kill()
            raise ScreenFailure('the screen program did not end')
    finally:
        if program.poll() is None:
            program.kill()
        subprocess.run(['wineserver', '-k'], env=env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if program.returncode != 0:
        raise ScreenFailure('the screen program ended with %d' % program.returncode)
    return problems


def near(actual, expected, tolerance=8):
    return all(abs(a - e) <= tolerance for a, e in zip(actual, expected))


def print_program_output(log_path):
    try:
        with open(log_path, 'rb') as log:
            output = log.read()[-8192:].decode('utf-8', 'replace')
    except OSError:
        return
    if output:
        print('what the screen program wrote:\n%s' % output, flush=True)


def main(check, shot_count, success, font_substitutes=None):
    """The command line of a screen check: program, Wine prefix, scratch folder. Prints the
    problems and ends with 1, or prints success."""
    program_path, prefix, scratch = sys.argv[1:4]
    name = os.path.basename(sys.argv[0]).rsplit('.', 1)[0]
    try:
        problems = shoot(program_path, prefix, scratch, shot_count, check, font_substitutes)
    except ScreenFailure as failure:
        problems = [str(failure)]
    if problems:
        print('%s: %s' % (name, '; '.join(problems)), flush=True)
        print_program_output(os.path.join(scratch, 'program.log'))
        sys.exit(1)
    print('%s: %s' % (name, success))
