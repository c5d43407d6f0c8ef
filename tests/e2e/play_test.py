#!/usr/bin/env python3
"""Plays the installed game the way a person would, and checks what the screen shows.

Starts a virtual X server, runs the staged launcher (which changes into the data
directory and runs the game full screen), and drives it with real X input through
xdotool: scroll left with the arrow key, shoot a walking person, drop a bomb, quit with
Escape. Every check reads the pixels of root-window screenshots: the page the game shows
is found inside the screen (scaled by a whole factor and centred), and compared with the
installed background bitmaps, which are exactly what the scene shows where nothing is
drawn over it.

    play_test.py --stage STAGE_DIR [--artifacts DIR]
"""

import argparse
import os
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # leave no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pixels  # noqa: E402
from harness import Stage, TestFailure, check, end_with_escape, report, wait_for, xdotool  # noqa: E402

PARK = (312, 4)  # page point where the pointer waits: its crosshair stays above the walking band
CLICK_HOLD = 0.08  # long enough for a frame to see the button, shorter than the 20-frame cooldown


class Session:
    """One X display (a harness.Stage): the input sent to it, the screenshots taken of it,
    and the scene (both backgrounds side by side) that the pages are compared with."""

    def __init__(self, stage, world, artifacts):
        self.stage = stage
        self.display = stage.display
        self.environment = stage.environment
        self.world = world
        self.artifacts = artifacts
        self.geometry = None
        self.last_page = None

    def xdotool(self, *arguments):
        return xdotool(self.environment, *arguments)

    def screenshot(self):
        """The whole screen as a pixels.Image, and the moment it was taken."""
        before = time.monotonic()
        data = subprocess.run(["/usr/bin/import", "-display", self.display, "-window", "root",
                               "-depth", "8", "ppm:-"],
                              env=self.environment, check=True, capture_output=True).stdout
        return pixels.parse_ppm(data), (before + time.monotonic()) / 2

    def page(self):
        """The game's page as the screen shows it, with the time it was seen."""
        screen, moment = self.screenshot()
        if self.geometry is None:
            self.geometry = pixels.PageGeometry(screen.width, screen.height)
        self.last_page = self.geometry.extract(screen)
        return self.last_page, moment

    def to_screen(self, x, y):
        return self.geometry.to_screen(x, y)

    def move(self, x, y):
        self.xdotool("mousemove", "--sync", *self.to_screen(x, y))

    def click(self, button, x, y):
        sx, sy = self.to_screen(x, y)
        park_x, park_y = self.to_screen(*PARK)
        self.xdotool("mousemove", "--sync", sx, sy, "mousedown", button, "sleep", CLICK_HOLD,
                     "mouseup", button, "mousemove", park_x, park_y)

    def save(self, name, image):
        if self.artifacts:
            pixels.save_png(image, os.path.join(self.artifacts, name))


def wait_for_game_window(session):
    """The first frame shows world x 160 to 479: no person has walked that far yet."""
    def shows_scene():
        page, _ = session.page()
        return page if pixels.scene_match(page, session.world, 160) > 0.95 else None
    return wait_for("the game to show the centre of the scene", 20, shows_scene, 0.2)


def check_letterbox(session):
    screen, _ = session.screenshot()
    check(session.geometry.border_is_black(screen),
          "the screen outside the scaled page is not black: the page is not centred as expected")


def focus_game_window(session):
    """The window is titled with the executable's name. With no window manager to give it
    the keyboard, the test does."""
    try:
        windows = session.xdotool("search", "--name", "^crowdfire$").split()
    except subprocess.CalledProcessError:
        windows = []
    check(windows, "no window is titled crowdfire")
    session.xdotool("windowfocus", windows[0])


def scroll_to_left_edge(session, start_page):
    """Holds Left until the page shows the left background from its first column."""
    session.xdotool("keydown", "Left")
    try:
        def at_left_edge():
            page, _ = session.page()
            return page if pixels.scene_match(page, session.world, 0) > 0.9 else None
        page = wait_for("scrolling to the left edge", 8, at_left_edge)
    finally:
        session.xdotool("keyup", "Left")
    # Large even areas of the scene look alike from any position, so a view that is
    # really elsewhere still matches about two thirds of the samples.
    check(pixels.scene_match(page, session.world, 160) < 0.85,
          "the scene at the left edge still matches the centre view")
    check(pixels.scene_match(start_page, session.world, 0) < 0.85,
          "the opening view already matched the left edge")
    return page


def find_walkers(session, minimum):
    def enough_people():
        page, moment = session.page()
        people, _ = pixels.find_people(page, session.world, 0)
        return (page, moment, people) if len(people) >= minimum else None
    return wait_for(f"at least {minimum} people in view", 40, enough_people, 0.3)


def look_twice(session):
    """Two looks half a second apart at a crowd of at least three: the first page, the
    second page, when the second was seen, every blob on it, and the matched moves."""
    first_page, first_time, first_people = find_walkers(session, 3)
    time.sleep(0.5)
    second_page, second_time = session.page()
    second_people, second_blobs = pixels.find_people(second_page, session.world, 0)
    moves = pixels.match_movements(first_people, second_people)
    return first_page, second_page, second_time - first_time, second_time, second_blobs, moves


def walking_speed(moves, seconds):
    """Page pixels per second of the median forward move, or None when the people seen
    do not, in the main, move right."""
    forward = sorted(dx for _, _, dx in moves if dx >= 3)
    if len(forward) < 2 or len(forward) * 2 <= len(moves):
        return None
    return forward[len(forward) // 2] / seconds


def check_crowd_moves(session):
    """People are further right half a second later. Walkers passing each other can merge
    into one blob for a moment, so a few pairs of looks are allowed."""
    for _ in range(5):
        _, _, seconds, _, _, moves = look_twice(session)
        speed = walking_speed(moves, seconds)
        if speed is not None:
            print(f"the crowd walks right at about {speed:.0f} page pixels per second")
            return speed
    raise TestFailure(f"the crowd does not walk right: horizontal moves {[dx for _, _, dx in moves]}")


def shoot_a_walker(session, speed):
    """Shoots a walking person, aiming ahead of them; when a look finds nobody to aim at,
    or a moving target is missed, it looks again. Up to six shots within a minute."""
    shots = 0
    deadline = time.monotonic() + 60
    while shots < 6 and time.monotonic() < deadline:
        before, page, seconds, seen_at, blobs, moves = look_twice(session)
        target = pixels.choose_target(moves, blobs)
        if target is None:
            continue
        shots += 1
        # The person keeps walking while we look and move the pointer.
        lead = (walking_speed(moves, seconds) or speed) * (time.monotonic() - seen_at + 0.05)
        aim_x = round((target.left + target.right) / 2 + lead)
        aim_y = target.top + 6  # inside the 12 rows from head to feet that a shot can hit
        box = (aim_x - 14, aim_y - 10, aim_x + 14, aim_y + 16)
        red_before = pixels.static_red(before, page, session.world, 0, box)
        session.click(1, aim_x, aim_y)
        time.sleep(1.2)  # the drops fly their arc and the body falls
        after_one, _ = session.page()
        time.sleep(0.6)
        after_two, _ = session.page()
        red_after = pixels.static_red(after_one, after_two, session.world, 0, box)
        print(f"shot {shots} at page ({aim_x}, {aim_y}): still red pixels near it "
              f"{red_before} before, {red_after} after")
        if red_after >= 4 and red_after >= red_before + 4:
            session.save("shot.png", after_two)
            return aim_x, aim_y
    raise TestFailure(f"none of {shots} shots left blood where it landed")


def most_change(session, box, seconds, previous):
    """The largest number of pixels in box that changed from one look to the next."""
    biggest, biggest_page = 0, previous
    start = time.monotonic()
    while time.monotonic() - start < seconds:
        page, _ = session.page()
        changed = pixels.changed_pixels(previous, page, box)
        if changed > biggest:
            biggest, biggest_page = changed, page
        previous = page
    return biggest, biggest_page


def quiet_spot(session, avoid_x):
    """A bomb target in the walking band with few people around it, away from the shot."""
    page, _ = session.page()
    spots = [(x, 160) for x in (70, 120, 170, 220, 260) if abs(x - avoid_x) > 40]
    return min(spots, key=lambda spot: pixels.drawn_count(page, session.world, 0, blast_box(*spot)))


def blast_box(x, y):
    """Where the five blasts of a bomb dropped on page point (x, y) are drawn."""
    return (x - 25, y - 30, x + 30, y + 30)


def scorch_box(x, y):
    """Where the scorch mark of a bomb dropped on page point (x, y) lies."""
    return (x - 9, y - 7, x + 11, y + 8)


def darkened_ground(session):
    """Pixels the scene shows much darker than it is, still over half a second."""
    first, _ = session.page()
    time.sleep(0.5)
    second, _ = session.page()
    return lambda box: pixels.static_dark(first, second, session.world, 0, box)


def drop_a_bomb(session, shot_x):
    """Right click: the bomb falls for about a second, then blasts fill the area around it
    and leave a scorch mark. Walking people change far fewer pixels between two looks than
    the blasts do. A busy machine can take screenshots too far apart to catch the blasts,
    which last 0.4 s, so up to three bombs are dropped on the same spot."""
    target_x, target_y = quiet_spot(session, shot_x)
    box = blast_box(target_x, target_y)
    dark_before = darkened_ground(session)(scorch_box(target_x, target_y))
    first, _ = session.page()
    walking, _ = most_change(session, box, 1.0, first)
    threshold = max(300, 2 * walking + 100)
    for attempt in range(1, 4):
        previous, _ = session.page()
        session.click(3, target_x, target_y)
        exploding, explosion_page = most_change(session, box, 3.0, previous)
        print(f"bomb {attempt} at page ({target_x}, {target_y}): at most {exploding} pixels "
              f"near it changed between two looks ({walking} before the drop)")
        if exploding >= threshold:
            break
    check(exploding >= threshold, "no explosion showed near the bombs' target")
    session.save("explosion.png", explosion_page)
    dark_after = darkened_ground(session)(scorch_box(target_x, target_y))
    print(f"scorched ground at the target: {dark_before} dark pixels before, {dark_after} after")
    check(dark_after >= dark_before + 20, "the explosion left no scorch mark at its target")


def quit_with_escape(session, game):
    status = end_with_escape(session.environment, game, 10)
    check(status == 0, f"the game ended with status {status}, not 0")


def play(stage_dir, artifacts):
    data_dir = os.path.join(stage_dir, "usr/share/games/crowdfire")
    launcher = os.path.join(stage_dir, "usr/games/crowdfire")
    check(os.access(launcher, os.X_OK), f"no launcher at {launcher}")
    world = pixels.load_world(os.path.join(data_dir, "BACKG11a24.BMP"),
                              os.path.join(data_dir, "BACKG12a24.BMP"))
    with Stage() as stage, open(os.path.join(artifacts or tempfile.gettempdir(), "game.log"), "w") as log:
        session = Session(stage, world, artifacts)
        try:
            # Started from elsewhere on purpose: the launcher must find the data itself.
            game = stage.start_game([launcher], "/", stdout=log, stderr=subprocess.STDOUT)
            play_the_game(session, game)
        except TestFailure:
            if session.last_page is not None:
                session.save("failure.png", session.last_page)
            raise


def play_the_game(session, game):
    start_page = wait_for_game_window(session)
    print(f"game shows the scene, page scaled by {session.geometry.scale} "
          f"at ({session.geometry.left}, {session.geometry.top})")
    session.save("start.png", start_page)
    check_letterbox(session)
    focus_game_window(session)
    session.move(*PARK)
    session.save("scrolled.png", scroll_to_left_edge(session, start_page))
    print("the scene scrolled to its left edge")
    shot_x, _ = shoot_a_walker(session, check_crowd_moves(session))
    drop_a_bomb(session, shot_x)
    check(game.poll() is None, "the game ended before Escape")
    quit_with_escape(session, game)
    print("Escape ended the game with status 0")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--stage", required=True, help="staging root of an install with prefix /usr")
    parser.add_argument("--artifacts", help="directory for screenshots and the game's output")
    options = parser.parse_args()
    if options.artifacts:
        os.makedirs(options.artifacts, exist_ok=True)
    return report(lambda: play(options.stage, options.artifacts), "the installed game played as expected")


if __name__ == "__main__":
    sys.exit(main())
