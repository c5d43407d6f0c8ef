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
from play_test import SCREEN_WIDTH, SCREEN_HEIGHT, TestFailure, check, private_home, start_x_server  # noqa: E402


def play(game_path, run_dir, suppressions, seconds):
    server, display = start_x_server()
    environment = private_home(dict(os.environ, DISPLAY=display, SDL_AUDIODRIVER="dummy",
                                    TSAN_OPTIONS=f"suppressions={suppressions} halt_on_error=0 exitcode=66"))
    environment.pop("SDL_VIDEODRIVER", None)

    def xdotool(*arguments, timeout=15):
        subprocess.run(["xdotool", *map(str, arguments)], env=environment, check=True,
                       capture_output=True, timeout=timeout)

    log = tempfile.TemporaryFile("w+")  # a pipe could fill up and stop the game
    game = subprocess.Popen([game_path], cwd=run_dir, env=environment,
                            stdout=subprocess.DEVNULL, stderr=log, text=True)
    chooser = random.Random(11)  # the same play every run
    actions = {"moves": 0, "clicks": 0, "keys": 0, "toggles": 0}
    try:
        found = subprocess.run(["xdotool", "search", "--sync", "--name", "^crowdfire$"], env=environment,
                               check=True, capture_output=True, text=True, timeout=60).stdout.split()
        xdotool("windowfocus", found[0])
        end = time.monotonic() + seconds
        next_toggle = time.monotonic() + 4
        while time.monotonic() < end and game.poll() is None:
            x, y = chooser.randrange(SCREEN_WIDTH), chooser.randrange(SCREEN_HEIGHT)
            xdotool("mousemove", x, y)
            actions["moves"] += 1
            roll = chooser.random()
            if roll < 0.3:
                xdotool("click", chooser.choice([1, 3]))
                actions["clicks"] += 1
            elif roll < 0.5:
                # The sound keys and F12 write the settings and screenshots on their own thread.
                key = chooser.choice(["Left", "Right", "KP_4", "KP_6", "equal", "minus", "m", "F12"])
                xdotool("keydown", key, "sleep", 0.2, "keyup", key)
                actions["keys"] += 1
            if time.monotonic() > next_toggle:
                xdotool("key", "alt+Return")
                actions["toggles"] += 1
                next_toggle = time.monotonic() + 4
            time.sleep(0.05)
        check(game.poll() is None, "the game ended before Escape")
        xdotool("keydown", "Escape")
        try:
            status = game.wait(timeout=30)
        except subprocess.TimeoutExpired:
            raise TestFailure("the game did not end within 30 s of Escape")
        log.seek(0)
        errors = log.read()
    finally:
        if game.poll() is None:
            game.kill()
            game.wait()
        server.terminate()
        server.wait()
    print(f"played: {actions}")
    races = errors.count("WARNING: ThreadSanitizer")
    if races:
        sys.stderr.write(errors)
    check(races == 0, f"ThreadSanitizer reported {races} problem(s)")
    check(status == 0, f"the game ended with status {status}")


def main():
    if len(sys.argv) not in (4, 5):
        print(__doc__, file=sys.stderr)
        return 2
    seconds = float(sys.argv[4]) if len(sys.argv) == 5 else 30
    try:
        play(os.path.abspath(sys.argv[1]), sys.argv[2], os.path.abspath(sys.argv[3]), seconds)
    except (TestFailure, subprocess.SubprocessError) as failure:
        print(f"FAIL: {failure}", file=sys.stderr)
        return 1
    print("no data race under ThreadSanitizer")
    return 0


if __name__ == "__main__":
    sys.exit(main())
