#!/usr/bin/env python3
"""Alt+Enter under a virtual X server with no window manager: the window must really be
what the game believes it is. Full screen covers the whole screen, a window does not,
and a second Alt+Enter brings full screen back for real (SDL alone reports full screen
there while the window keeps its windowed size).

    fullscreen_test.py GAME RUN_DIR
"""

import os
import subprocess
import sys

sys.dont_write_bytecode = True  # leave no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import (SCREEN_HEIGHT, SCREEN_WIDTH, Stage, TestFailure, check, end_with_escape,  # noqa: E402
                     main_of, wait_for, xdotool)


def geometry(environment):
    """(x, y, width, height) of the game's window as the X server has it, or None. Found
    again every time: SDL may replace its first window when it sets up the renderer."""
    try:
        window = xdotool(environment, "search", "--name", "^crowdfire$").split()[-1]
        values = {}
        for line in xdotool(environment, "getwindowgeometry", "--shell", window).split():
            name, _, value = line.partition("=")
            values[name] = value
        return tuple(int(values[name]) for name in ("X", "Y", "WIDTH", "HEIGHT"))
    except (subprocess.CalledProcessError, IndexError, KeyError, ValueError):
        return None


def run(game_path, run_dir):
    with Stage() as stage:
        game = stage.start_game([os.path.abspath(game_path)], run_dir,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        toggle_twice(stage.environment)
        check(game.poll() is None, "the game ended before Escape")
        status = end_with_escape(stage.environment, game, 10)
        check(status == 0, f"the game ended with status {status}")


def toggle_twice(environment):
    whole_screen = (0, 0, SCREEN_WIDTH, SCREEN_HEIGHT)

    def form(expected_full):
        def probe():
            seen = geometry(environment)
            return seen is not None and (seen == whole_screen) == expected_full
        return probe
    wait_for("the game to open full screen", 20, form(True))
    # Keys sent while the game is still starting (SDL may replace its window then)
    # are lost, so the first Alt+Enter is tried again until the game answers it.
    for _ in range(10):
        try:
            window = xdotool(environment, "search", "--name", "^crowdfire$").split()[-1]
            xdotool(environment, "windowfocus", window)
            xdotool(environment, "key", "alt+Return")
            wait_for("Alt+Enter 1 to give a window", 3, form(False))
            break
        except (TestFailure, subprocess.CalledProcessError, IndexError):
            pass  # a window replaced under us, or a key the game was not ready for
    for turn in range(1, 3):
        if turn > 1:
            xdotool(environment, "key", "alt+Return")
        wait_for(f"Alt+Enter {2 * turn - 1} to give a window", 5, form(False))
        print(f"Alt+Enter {2 * turn - 1}: window at {geometry(environment)}")
        xdotool(environment, "key", "alt+Return")
        wait_for(f"Alt+Enter {2 * turn} to cover the whole screen again", 5, form(True))
        print(f"Alt+Enter {2 * turn}: full screen at {geometry(environment)}")


if __name__ == "__main__":
    sys.exit(main_of(__doc__, run, (2,), "full screen and window follow Alt+Enter"))
