#!/usr/bin/env python3
"""Makes the skin files and packages the SkinUI core tests read: plain files, zip packages
(stored, deflated, with data before the archive) and 7z packages, made with Debian's zip
and 7z tools."""
import os
import shutil
import subprocess
import sys

LIMIT = 4 * 1024 * 1024
# The most a skin package entry may inflate to.
INFLATED_LIMIT = 16 * 1024 * 1024

SKIN = """<?xml version="1.0" encoding="utf-8"?>
<Window size="480,320" caption="0,0,0,40" roundcorner="4,4">
  <Font id="0" name="微软雅黑" size="12" default="true" />
  <Font id="1" name="微软雅黑" bold = "true" size="14" />
  <!-- the layout -->
  <VerticalLayout bkcolor="#FFFFFFFF">
    <HorizontalLayout height="40">
      <Label name="title" text="卸载 &amp; 清理 &lt;Quorvane&gt;" />
      <Button name="closebtn" width="30" normalimage="res/mainWnd/bg1.png" />
    </HorizontalLayout>
    <Progress name="progress" value="0" />
  </VerticalLayout>
</Window>
"""


def padded_skin(size):
    head = b'<Window text="'
    tail = b'" />'
    return head + b' ' * (size - len(head) - len(tail)) + tail


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'wb') as f:
        f.write(data)


def fill_skin_folder(folder, with_limits):
    write(os.path.join(folder, 'mainWnd.xml'), SKIN.encode('utf-8'))
    write(os.path.join(folder, 'res', 'mainWnd', 'bg1.png'), bytes(range(256)) * 37)
    if with_limits:
        write(os.path.join(folder, 'empty.xml'), b'')
        write(os.path.join(folder, 'exact.xml'), padded_skin(LIMIT))
        write(os.path.join(folder, 'over.xml'), padded_skin(LIMIT + 1))
        os.makedirs(os.path.join(folder, 'res', 'emptydir'), exist_ok=True)


def run(args, cwd):
    subprocess.run(args, cwd=cwd, check=True, stdout=subprocess.DEVNULL)


def main():
    out = os.path.abspath(sys.argv[1])
    shutil.rmtree(out, ignore_errors=True)
    plain = os.path.join(out, 'plain')
    small = os.path.join(out, 'small-src')
    fill_skin_folder(plain, True)
    fill_skin_folder(small, False)

    run(['zip', '-q', '-X', '-D', '-0', '-r', os.path.join(out, 'stored.zip'), '.'], plain)
    run(['zip', '-q', '-X', '-D', '-9', '-r', os.path.join(out, 'deflated.zip'), '.'], plain)
    with open(os.path.join(out, 'deflated.zip'), 'rb') as f:
        write(os.path.join(out, 'prefixed.zip'), b'MZ' + b'\x90' * 4094 + f.read())
    run(['7z', 'a', '-bd', '-t7z', os.path.join(out, 'skin.7z'), '.'], plain)
    run(['zip', '-q', '-X', '-D', '-9', '-r', os.path.join(out, 'small.zip'), '.'], small)
    run(['zip', '-q', '-X', '-D', '-0', '-r', os.path.join(out, 'small-stored.zip'), '.'], small)
    run(['7z', 'a', '-bd', '-t7z', os.path.join(out, 'small.7z'), '.'], small)
    # Headers left uncompressed, so that damage reaches the archive parser itself.
    run(['7z', 'a', '-bd', '-t7z', '-mhc=off', '-mhe=off', os.path.join(out, 'small-plain-header.7z'),
         '.'], small)
    write(os.path.join(out, 'notarchive.7z'), b'this is not a package\n' * 10)

    # Entries that inflate to the limit and one byte beyond it, from a few kilobytes; each in
    # a 7z block of its own.
    inflate = os.path.join(out, 'inflate-src')
    write(os.path.join(inflate, 'mainWnd.xml'), SKIN.encode('utf-8'))
    write(os.path.join(inflate, 'res', 'exact.bin'), bytes(INFLATED_LIMIT))
    write(os.path.join(inflate, 'res', 'over.bin'), bytes(INFLATED_LIMIT + 1))
    run(['zip', '-q', '-X', '-D', '-9', '-r', os.path.join(out, 'inflate.zip'), '.'], inflate)
    run(['7z', 'a', '-bd', '-t7z', '-ms=off', os.path.join(out, 'inflate.7z'), '.'], inflate)
    shutil.rmtree(inflate)


if __name__ == '__main__':
    main()
