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
import time

sys.dont_write_bytecode = True  # leave no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from play_test import (SCREEN_WIDTH, SCREEN_HEIGHT, TestFailure, check, private_home, start_x_server,  # noqa: E402
                       wait_for)


def xdotool(environment, *arguments, timeout=10):
    return subprocess.run(["xdotool", *map(str, arguments)], env=environment, check=True,
                          capture_output=True, text=True, timeout=timeout).stdout


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
    server, display = start_x_server()
    environment = private_home(dict(os.environ, DISPLAY=display, SDL_AUDIODRIVER="dummy"))
    environment.pop("SDL_VIDEODRIVER", None)
    game = subprocess.Popen([game_path], cwd=run_dir, env=environment,
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    whole_screen = (0, 0, SCREEN_WIDTH, SCREEN_HEIGHT)
    try:
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
        check(game.poll() is None, "the game ended before Escape")
        xdotool(environment, "keydown", "Escape")
        status = game.wait(timeout=10)
        check(status == 0, f"the game ended with status {status}")
    finally:
        if game.poll() is None:
            game.kill()
        game.wait()
        server.terminate()
        server.wait()


def main():
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    try:
        run(os.path.abspath(sys.argv[1]), sys.argv[2])
    except (TestFailure, subprocess.SubprocessError) as failure:
        print(f"FAIL: {failure}", file=sys.stderr)
        return 1
    print("full screen and window follow Alt+Enter")
    return 0


if __name__ == "__main__":
    sys.exit(main())
