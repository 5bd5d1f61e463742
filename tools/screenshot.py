"""Takes the picture of the grid: tomo.exe under Wine in an end-to-end session of its own
(fresh display, Wine prefix and HOME), the sample linked through the folder browser as a
person links it, and the main window's client area saved as a PNG once the grid has settled."""

import argparse
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))

from databases import start_with_sample  # noqa: E402
from harness import Session, wait_for  # noqa: E402

WIDTH, HEIGHT = 1024, 768


def settled_shot(session):
    """A screenshot equal to the one before it: the grid has finished painting."""
    previous = []

    def same():
        picture = session.shot()
        if previous and previous[-1].rgb == picture.rgb:
            return picture
        previous[:] = [picture]
        return None

    return wait_for(same, "the grid to settle", timeout=20, interval=0.5)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--tomo", required=True)
    parser.add_argument("--probe", required=True)
    parser.add_argument("--sample", required=True)
    parser.add_argument("--output", required=True)
    options = parser.parse_args()
    output = os.path.abspath(options.output)
    with Session(options.tomo, options.probe, WIDTH, HEIGHT, None) as session:
        start_with_sample(session, options.sample)
        session.xdotool("mousemove", 0, session.height - 1)
        picture = settled_shot(session)
        ppm = os.path.join(session.root, "grid.ppm")
        picture.save_ppm(ppm)
        x, y, width, height = session.client
        width, height = min(width, WIDTH - x), min(height, HEIGHT - y)
        subprocess.run(["convert", ppm, "-crop", "%dx%d+%d+%d" % (width, height, x, y),
                        "+repage", output], check=True, timeout=60)
    print(output)


if __name__ == "__main__":
    sys.exit(main())
