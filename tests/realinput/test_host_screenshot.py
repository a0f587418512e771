#!/usr/bin/env python3
"""A scripted run of the demo host waits for no one: with --screenshot on a
file the pad cannot read, the pad's message box is answered, the picture
is written with the box in it, and the host ends.

    test_host_screenshot.py --legendhost PATH
"""

import argparse
import os
import subprocess
import sys
import tempfile


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--legendhost", required=True)
    args = parser.parse_args()
    with tempfile.TemporaryDirectory(prefix="hostshot-") as workdir:
        picture = os.path.join(workdir, "host.png")
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=workdir)
        try:
            done = subprocess.run([args.legendhost, os.path.join(workdir, "missing.CLN"), "--screenshot", picture],
                                  env=env, stdin=subprocess.DEVNULL, capture_output=True, timeout=120)
        except subprocess.TimeoutExpired:
            print("FAILED: the host waited on its message box")
            return 1
        output = done.stdout.decode("utf-8", "replace").splitlines()
        problems = []
        if done.returncode != 0:
            problems.append("exit status %d: %s" % (done.returncode, done.stderr.decode(errors="replace")))
        if "MESSAGE 读取图例,打不开图例文件!" not in output:
            problems.append("the message was not reported: %r" % output)
        with open(picture, "rb") if os.path.exists(picture) else open(os.devnull, "rb") as png:
            if png.read(8) != b"\x89PNG\r\n\x1a\n":
                problems.append("no picture written")
        if problems:
            print("FAILED: " + "; ".join(problems))
            return 1
    print("passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
