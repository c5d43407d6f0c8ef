#!/usr/bin/env python3
"""The picture on the SDL display's window-surface path, where our own code scales the
page: full screen on a virtual X server whose size is not a multiple of the page, then
in a window after Alt+Enter, then full screen again. Each time every page pixel must be a
uniform square of the whole scale factor, the border exactly black, and the scene's
untouched background pixels exactly the colours of the background bitmaps.

    surface_picture_test.py RUN_DIR
"""

import os
import sys
import time

sys.dont_write_bytecode = True  # leave no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pixels  # noqa: E402
from harness import Stage, TestFailure, check, main_of, wait_for  # noqa: E402
from play_test import Session, focus_game_window, quit_with_escape  # noqa: E402

SCREEN_WIDTH, SCREEN_HEIGHT = 1000, 760  # scale 3 full screen, 20-pixel black borders


class Placement:
    """Where the page lies on the screen: scale and top-left pixel."""

    def __init__(self, left, top, width, height):
        self.scale = min(width // pixels.PAGE_WIDTH, height // pixels.PAGE_HEIGHT)
        self.left = left + (width - pixels.PAGE_WIDTH * self.scale) // 2
        self.top = top + (height - pixels.PAGE_HEIGHT * self.scale) // 2


def picture_faults(screen, place, world, border_box):
    """What is wrong with the picture at place: a list of sentences, empty when right."""
    faults = []
    s = place.scale
    uneven = 0
    for y in range(pixels.PAGE_HEIGHT):
        for x in range(pixels.PAGE_WIDTH):
            first = screen.offset(place.left + x * s, place.top + y * s)
            colour = screen.data[first:first + 3]
            for dy in range(s):
                row = screen.offset(place.left + x * s, place.top + y * s + dy)
                if screen.data[row:row + 3 * s] != colour * s:
                    uneven += 1
                    break
    if uneven:
        faults.append(f"{uneven} page pixels are not uniform {s} x {s} squares")
    left, top, right, bottom = border_box
    lit = 0
    for y in range(top, bottom):
        for x in range(left, right):
            inside = (place.left <= x < place.left + pixels.PAGE_WIDTH * s and
                      place.top <= y < place.top + pixels.PAGE_HEIGHT * s)
            i = screen.offset(x, y)
            if not inside and screen.data[i:i + 3] != b"\0\0\0":
                lit += 1
    if lit:
        faults.append(f"{lit} border pixels are not black")
    page = pixels.PageGeometry.__new__(pixels.PageGeometry)
    page.scale, page.left, page.top = s, place.left, place.top
    shown = page.extract(screen)
    exact = total = 0
    for y in range(0, pixels.PAGE_HEIGHT, 2):
        for x in range(pixels.PAGE_WIDTH):
            total += 1
            i, j = shown.offset(x, y), world.offset(x + 160, y)
            exact += shown.data[i:i + 3] == world.data[j:j + 3]
    if exact < 0.9 * total:
        faults.append(f"only {exact} of {total} sampled page pixels are exactly the background's colour")
    return faults


def check_picture(session, place, border_box, what):
    def right_picture():
        screen, _ = session.screenshot()
        return (screen, []) if not picture_faults(screen, place, session.world, border_box) else None
    try:
        wait_for(f"the picture {what}", 10, right_picture, 0.3)
    except TestFailure:
        screen, _ = session.screenshot()
        if os.environ.get("CROWDFIRE_TEST_ARTIFACTS"):
            pixels.save_png(screen, os.path.join(os.environ["CROWDFIRE_TEST_ARTIFACTS"], "surface-wrong.png"))
        raise TestFailure(f"the picture {what} is wrong: " +
                          "; ".join(picture_faults(screen, place, session.world, border_box)))
    print(f"the picture {what} is right: scale {place.scale} at ({place.left}, {place.top})")


def window_placement(session):
    windows = session.xdotool("search", "--name", "^crowdfire$").split()
    check(windows, "no window is titled crowdfire")
    fields = dict(line.split("=", 1) for line in
                  session.xdotool("getwindowgeometry", "--shell", windows[0]).split())
    return Placement(int(fields["X"]), int(fields["Y"]), int(fields["WIDTH"]), int(fields["HEIGHT"]))


def run(run_dir):
    run_dir = os.path.abspath(run_dir)
    world = pixels.load_world(os.path.join(run_dir, "BACKG11a24.BMP"), os.path.join(run_dir, "BACKG12a24.BMP"))
    stats = os.path.join(run_dir, f".surface-test-{os.getpid()}")
    try:
        with Stage(SCREEN_WIDTH, SCREEN_HEIGHT) as stage:
            session = Session(stage, world, None)
            session.environment["CROWDFIRE_DISPLAY_PATH"] = "surface"
            session.environment["CROWDFIRE_DISPLAY_STATS"] = stats
            game = stage.start_game(["./crowdfire"], run_dir)
            check_three_pictures(session, stats)
            quit_with_escape(session, game)
    finally:
        if os.path.exists(stats):
            os.remove(stats)


def check_three_pictures(session, stats):
    whole = (0, 0, SCREEN_WIDTH, SCREEN_HEIGHT)
    full = Placement(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT)
    # The crowd walks in from the left and the crosshair waits at the top left: the
    # sampled background stays mostly untouched for a few seconds.
    check_picture(session, full, whole, "full screen")
    wait_for("the display's measurements", 5, lambda: os.path.exists(stats), 0.1)
    with open(stats) as lines:
        path = dict(line.split() for line in lines)["path"]
    check(path == "surface", f"the display took the {path} path, not the window surface")
    focus_game_window(session)
    session.xdotool("key", "alt+Return")
    time.sleep(0.5)
    window = window_placement(session)
    check(window.scale < full.scale, "Alt+Enter did not leave full screen")
    check_picture(session, window, (0, 0, 0, 0), "in a window")
    focus_game_window(session)
    session.xdotool("key", "alt+Return")
    check_picture(session, full, whole, "full screen again")


if __name__ == "__main__":
    sys.exit(main_of(__doc__, run, (1,), "the picture on the window surface is right, full screen and in a window"))
