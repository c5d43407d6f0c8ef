#!/usr/bin/env python3
"""Plays a ThreadSanitizer build of the real SDL game under a virtual X server for about
30 s with xdotool: pointer moves, clicks of both buttons, the arrow keys, Alt+Enter and
finally Escape. Fails on any ThreadSanitizer report (the game thread and the display
refresh thread share the screen and input state), or when the game does not end well.

    tsan_play.py GAME RUN_DIR SUPPRESSIONS [SECONDS]
"""

import os
import random
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # leave no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import SCREEN_HEIGHT, SCREEN_WIDTH, Stage, check, end_with_escape, main_of, xdotool  # noqa: E402


def play(game_path, run_dir, suppressions, seconds="30"):
    log = tempfile.TemporaryFile("w+")  # a pipe could fill up and stop the game
    with Stage() as stage:
        environment = dict(stage.environment,
                           TSAN_OPTIONS=f"suppressions={os.path.abspath(suppressions)} halt_on_error=0 exitcode=66")
        game = stage.start_game([os.path.abspath(game_path)], run_dir, environment,
                                stdout=subprocess.DEVNULL, stderr=log, text=True)
        actions = act_randomly(environment, game, float(seconds))
        check(game.poll() is None, "the game ended before Escape")
        status = end_with_escape(environment, game, 30)
    log.seek(0)
    errors = log.read()
    print(f"played: {actions}")
    races = errors.count("WARNING: ThreadSanitizer")
    if races:
        sys.stderr.write(errors)
    check(races == 0, f"ThreadSanitizer reported {races} problem(s)")
    check(status == 0, f"the game ended with status {status}")


def act_randomly(environment, game, seconds):
    """Pointer moves, clicks, keys and Alt+Enter every 4 s until `seconds` have passed."""
    chooser = random.Random(11)  # the same play every run
    actions = {"moves": 0, "clicks": 0, "keys": 0, "toggles": 0}
    found = xdotool(environment, "search", "--sync", "--name", "^crowdfire$", timeout=60).split()
    xdotool(environment, "windowfocus", found[0])
    end = time.monotonic() + seconds
    next_toggle = time.monotonic() + 4
    while time.monotonic() < end and game.poll() is None:
        x, y = chooser.randrange(SCREEN_WIDTH), chooser.randrange(SCREEN_HEIGHT)
        xdotool(environment, "mousemove", x, y)
        actions["moves"] += 1
        roll = chooser.random()
        if roll < 0.3:
            xdotool(environment, "click", chooser.choice([1, 3]))
            actions["clicks"] += 1
        elif roll < 0.5:
            # The sound keys and F12 write the settings and screenshots on their own thread.
            key = chooser.choice(["Left", "Right", "KP_4", "KP_6", "equal", "minus", "m", "F12"])
            xdotool(environment, "keydown", key, "sleep", 0.2, "keyup", key)
            actions["keys"] += 1
        if time.monotonic() > next_toggle:
            xdotool(environment, "key", "alt+Return")
            actions["toggles"] += 1
            next_toggle = time.monotonic() + 4
        time.sleep(0.05)
    return actions


if __name__ == "__main__":
    sys.exit(main_of(__doc__, play, (3, 4), "no data race under ThreadSanitizer"))
