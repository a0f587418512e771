#!/usr/bin/env python3
"""The legend pad on a screen of pixel ratio 2 (QT_SCALE_FACTOR=2), as the X
server shows it: its grid lines are two device pixels wide with no
half-tone beside them, and its captions carry detail finer than a logical
pixel, which an enlarged ratio-1 bitmap would not.

    test_high_density_input.py --legendhost PATH --clntool PATH

The exit status is 0 when the pad is drawn at device pixels.
"""

import argparse
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from test_pad_input import (AREA_LEFT, AREA_TOP, CELL_HEIGHT, CELL_WIDTH, Pad, point_legend,  # noqa: E402
                            start_host, write_legends)
from xsession import Failure, XSession  # noqa: E402

RATIO = 2
WHITE = (255, 255, 255)


def grid_columns_are_sharp(image, pad):
    """Across each grid line between the cells, a little below the top of a
    row of cells: one run of two device pixels on a logical pixel, in a
    single colour, with white either side."""
    for row in range(3):
        y = pad.y + (AREA_TOP + row * CELL_HEIGHT + 30) * RATIO
        for column in (1, 2):
            line = AREA_LEFT + column * CELL_WIDTH
            pixels = [image.pixel(pad.x + x, y) for x in range((line - 3) * RATIO, (line + 3) * RATIO)]
            ink = [i for i, p in enumerate(pixels) if p != WHITE]
            colours = {pixels[i] for i in ink}
            if ink != [3 * RATIO, 3 * RATIO + 1] or len(colours) != 1:
                raise Failure("the grid line at x %d, row %d is not one sharp logical pixel: %r" % (line, row, pixels))


def captions_have_device_detail(image, pad):
    """Somewhere in the top cells' captions two device pixels of one logical
    pixel differ."""
    for y in range(AREA_TOP + 2, AREA_TOP + 20):
        for x in range(AREA_LEFT + 2, AREA_LEFT + 3 * CELL_WIDTH - 2):
            block = {image.pixel(pad.x + x * RATIO + dx, pad.y + y * RATIO + dy) for dx in range(RATIO)
                     for dy in range(RATIO)}
            if len(block) > 1:
                return
    raise Failure("the captions are an enlarged bitmap: every logical pixel is one colour")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--legendhost", required=True)
    parser.add_argument("--clntool", required=True)
    args = parser.parse_args()

    workdir = tempfile.mkdtemp(prefix="realinput-")
    session = None
    try:
        session = XSession(workdir, extra_env={"QT_SCALE_FACTOR": str(RATIO)})
        legends = [point_legend(i, name="居民地%d" % i) for i in range(9)]
        host, pad = start_host(args, session, write_legends(args, workdir, "scaled", legends))
        # The host, twice its size, pushes the pad off the screen's right edge.
        session.xdotool("windowmove", pad.window, 40, 40)
        pad = Pad(session, host)
        if pad.scale != RATIO:
            raise Failure("the pad is %.2f times its size, not %d" % (pad.scale, RATIO))
        image = session.screenshot()
        grid_columns_are_sharp(image, pad)
        captions_have_device_detail(image, pad)
    except Failure as failure:
        print("FAILED: %s" % failure)
        if session is not None:
            with open(os.path.join(workdir, "last.ppm"), "wb") as out:
                out.write(session.run(["import", "-silent", "-window", "root", "-depth", "8", "ppm:-"], binary=True,
                                      check=False))
        print("work folder: " + workdir)
        return 1
    finally:
        if session is not None:
            session.close()
    print("passed")
    subprocess.run(["rm", "-rf", workdir])
    return 0


if __name__ == "__main__":
    sys.exit(main())
