#!/usr/bin/env python3
"""Records real_play.cfreplay: about a minute of the desktop game played under a virtual
X server with real X input (xdotool), the way a person plays: shots aimed at walking
people, several of them low at the legs so that the wounded are left to crawl, a few
bombs, the scene scrolled both ways with the arrows, and waiting. The game keeps the
replay itself, as it keeps every game; this copies it here and stores the scenario
tool's answers for it beside it (real_play.expected).

    record_real_play.py GAME RUN_DIR SCENARIO_TOOL
"""

import os
import shutil
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # leave no __pycache__ in the source tree
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))
import pixels  # noqa: E402
from harness import Stage, check, end_with_escape, main_of  # noqa: E402
from play_test import (Session, check_crowd_moves, focus_game_window, look_twice, quiet_spot,  # noqa: E402
                       scroll_to_left_edge, wait_for_game_window, walking_speed)

MINUTE = 60
# Rows below a walking person's top that a shot hits: the head from 0, the legs from 10.
AIM_ROWS = {"head": 2, "legs": 10}


def shoot(session, speed, zone):
    """Aims at a walker seen at the left edge of the scene, ahead of where they walk."""
    for _ in range(4):
        _, _, seconds, seen_at, blobs, moves = look_twice(session)
        target = pixels.choose_target(moves, blobs)
        if target is None:
            continue
        lead = (walking_speed(moves, seconds) or speed) * (time.monotonic() - seen_at + 0.05)
        aim = (round((target.left + target.right) / 2 + lead), target.top + AIM_ROWS[zone])
        session.click(1, *aim)
        print(f"shot at the {zone} of a walker, page {aim}")
        time.sleep(0.4)  # past the gun's cooldown
        return
    print(f"found nobody to shoot at the {zone}")


def bomb(session, away_from):
    spot = quiet_spot(session, away_from)
    session.click(3, *spot)
    print(f"bomb dropped at page {spot}")
    time.sleep(1.5)


def hold(session, key, seconds):
    session.xdotool("keydown", key, "sleep", seconds, "keyup", key)
    print(f"{key} held for {seconds} s")


def play(session, started):
    scroll_to_left_edge(session, wait_for_game_window(session))
    speed = check_crowd_moves(session)
    for zone in ("head", "legs", "legs", "head", "legs"):
        shoot(session, speed, zone)
    bomb(session, 160)
    time.sleep(3)  # the wounded crawl
    hold(session, "Right", 1.5)
    for x in range(30, 300, 30):  # the crosshair over the crowd, the button now and then
        session.xdotool("mousemove", "--sync", *session.to_screen(x, 120 + x % 70))
        if x % 90 == 0:
            session.xdotool("mousedown", 1, "sleep", 0.08, "mouseup", 1)
        time.sleep(0.15)
    bomb(session, 0)
    hold(session, "Right", 2.5)
    time.sleep(2)
    scroll_to_left_edge(session, session.page()[0])
    for zone in ("legs", "legs", "head", "legs"):
        shoot(session, speed, zone)
    bomb(session, 160)
    while time.monotonic() - started < MINUTE:  # waiting, the crawlers crawling
        time.sleep(0.5)


def record(game, run_dir, scenario):
    game, scenario = os.path.abspath(game), os.path.abspath(scenario)
    world = pixels.load_world(os.path.join(run_dir, "BACKG11a24.BMP"), os.path.join(run_dir, "BACKG12a24.BMP"))
    with Stage() as stage:
        session = Session(stage, world, None)
        folder = os.path.join(stage.environment["XDG_DATA_HOME"], "crowdfire", "replays")
        process = stage.start_game([game], run_dir, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        started = time.monotonic()
        wait_for_game_window(session)
        focus_game_window(session)
        play(session, started)
        status = end_with_escape(stage.environment, process, 10)
        check(status == 0, f"the game ended with status {status}")
        kept = os.listdir(folder)
        check(len(kept) == 1, f"the game kept {kept}")
        target = os.path.join(HERE, "real_play.cfreplay")
        shutil.copyfile(os.path.join(folder, kept[0]), target)
    print(f"{target}: {os.path.getsize(target)} bytes")
    subprocess.run([os.path.join(HERE, "..", "scenarios", "replay.sh"), scenario, run_dir, target, "--write"],
                   check=True)
    with open(os.path.join(HERE, "real_play.expected")) as answers:
        print(answers.read().rstrip())


if __name__ == "__main__":
    sys.exit(main_of(__doc__, record, (3,), "recorded real_play.cfreplay"))
