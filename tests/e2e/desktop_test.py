#!/usr/bin/env python3
"""What a desktop player meets around the game itself, under a virtual X server, with a
fresh XDG_CONFIG_HOME and XDG_PICTURES_DIR (never the real home):

- the command line: --help and --version answer with no display at all, a misspelt
  option is named and refused with status 2;
- remembered settings: equals pressed twice in one game and minus once in the next leave
  a settings file reading effects 3, then 2, the second game starting from the first's;
- a settings file overwritten with garbage: each bad line is named, the game shows its
  first picture, Escape ends it with status 0, and the file is left as it was;
- F12 pressed twice writes two PNG files of the picture on screen.

    desktop_test.py GAME RUN_DIR
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # leave no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pixels  # noqa: E402
from harness import Stage, TestFailure, check, main_of, wait_for  # noqa: E402
from play_test import Session, focus_game_window, wait_for_game_window  # noqa: E402


def check_command_line(game, home):
    environment = {name: value for name, value in os.environ.items()
                   if name not in ("DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER")}
    environment["HOME"] = home

    def run(*arguments):
        return subprocess.run([game, *arguments], env=environment, capture_output=True, text=True, timeout=10)
    for option, says in (("--help", "--fullscreen"), ("--version", "crowdfire ")):
        answer = run(option)
        check(answer.returncode == 0, f"{option} ended with status {answer.returncode}: {answer.stderr}")
        check(says in answer.stdout and not answer.stderr, f"{option} printed {answer.stdout!r} {answer.stderr!r}")
    answer = run("--fulscreen")
    check(answer.returncode == 2, f"a misspelt option ended with status {answer.returncode}")
    lines = answer.stderr.splitlines()
    check(len(lines) == 1 and "--fulscreen" in lines[0] and "--help" in lines[0] and not answer.stdout,
          f"a misspelt option is not named in one line pointing at --help: {answer.stderr!r}")
    check(not os.listdir(home), "the command line alone wrote files")
    print("command line: --help and --version with no display, a misspelt option refused with 2")


class Game:
    """One game on the session's display, from the first picture to Escape."""

    def __init__(self, session, game, run_dir, environment):
        self.session = session
        self.process = session.stage.start_game([game], run_dir, environment, stdout=subprocess.PIPE,
                                        stderr=subprocess.PIPE, text=True)
        session.geometry = None
        wait_for_game_window(session)
        focus_game_window(session)
        time.sleep(0.3)  # a few frames with the keyboard before the first key

    def key(self, name):
        self.session.xdotool("key", "--delay", "60", name)

    def end(self):
        self.session.xdotool("key", "Escape")
        try:
            out, err = self.process.communicate(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            raise TestFailure("Escape did not end the game")
        check(self.process.returncode == 0, f"the game ended with status {self.process.returncode}: {err}")
        return out, err


def settings_effects(path):
    try:
        with open(path, encoding="utf-8", errors="replace") as settings:
            found = re.findall(r"^effects = (\d)$", settings.read(), re.MULTILINE)
    except FileNotFoundError:
        return None
    return int(found[0]) if len(found) == 1 else None


def check_remembered_level(session, game, run_dir, environment, settings):
    first = Game(session, game, run_dir, environment)
    first.key("equal")
    first.key("equal")
    wait_for("the settings file to read effects = 3", 15, lambda: settings_effects(settings) == 3)
    first.end()
    second = Game(session, game, run_dir, environment)
    second.key("minus")
    wait_for("the settings file to read effects = 2", 15, lambda: settings_effects(settings) == 2)
    second.end()
    with open(settings) as written:
        print("settings after two games:\n" + written.read().rstrip())


def png_size(path):
    with open(path, "rb") as picture:
        head = picture.read(24)
    check(head[:8] == b"\x89PNG\r\n\x1a\n" and head[12:16] == b"IHDR", f"{path} is not a PNG")
    return int.from_bytes(head[16:20], "big"), int.from_bytes(head[20:24], "big")


def check_garbage_and_screenshots(session, game, run_dir, environment, settings, pictures, world):
    garbage = bytes(range(256)) * 3 + b"\nscale = 99\n\x00\x00\xff"
    with open(settings, "wb") as damaged:
        damaged.write(garbage)
    played = Game(session, game, run_dir, environment)
    shots = os.path.join(pictures, "crowdfire")
    played.key("F12")
    played.key("F12")
    wait_for("two screenshots", 10, lambda: os.path.isdir(shots) and len(os.listdir(shots)) == 2)
    out, err = played.end()
    named = [line for line in err.splitlines() if settings in line]
    check(len(named) >= 2 and any("scale" in line for line in named), f"the bad lines are not named: {err!r}")
    with open(settings, "rb") as kept:
        check(kept.read() == garbage, "the damaged file was rewritten though nothing was changed")
    for name in sorted(os.listdir(shots)):
        path = os.path.join(shots, name)
        width, height = png_size(path)
        check(width >= 320 and height >= 240 and width * 3 == height * 4, f"{name} is {width} x {height}")
        ppm = subprocess.run(["/usr/bin/convert", path, "-depth", "8", "ppm:-"], check=True,
                             capture_output=True).stdout
        picture = pixels.parse_ppm(ppm)
        page = pixels.PageGeometry(picture.width, picture.height).extract(picture)
        match = pixels.scene_match(page, world, 160)
        check(match > 0.8, f"{name} does not show the scene ({match:.2f})")
        check(path in out, f"the game did not say where {name} went: {out!r}")
        print(f"screenshot {name}: {width} x {height}, {match:.0%} of it the scene")


def run(game, run_dir):
    game = os.path.abspath(game)
    home = tempfile.mkdtemp(prefix="crowdfire-desktop-")
    try:
        check_command_line(game, home)
        config, pictures = os.path.join(home, "config"), os.path.join(home, "pictures")
        settings = os.path.join(config, "crowdfire", "settings.conf")
        world = pixels.load_world(os.path.join(run_dir, "BACKG11a24.BMP"), os.path.join(run_dir, "BACKG12a24.BMP"))
        with Stage() as stage:
            session = Session(stage, world, None)
            environment = dict(stage.environment, HOME=home, XDG_CONFIG_HOME=config, XDG_PICTURES_DIR=pictures)
            check_remembered_level(session, game, run_dir, environment, settings)
            check_garbage_and_screenshots(session, game, run_dir, environment, settings, pictures, world)
    finally:
        shutil.rmtree(home, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main_of(__doc__, run, (2,), "options, remembered settings and screenshots behave"))
