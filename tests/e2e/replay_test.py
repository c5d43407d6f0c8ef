#!/usr/bin/env python3
"""Replays on the desktop, under a virtual X server with a home of its own:

- a game played with real X input (the pointer moving, shots, a bomb, the arrows held)
  and ended with Escape leaves exactly one new replay, holding that input; the game
  watches it to its end (F held) under a title with its time, with every checkpoint
  matched, and the headless scenario tool plays it to the same verdict;
- a game killed with kill -9 eight seconds in, in a folder already full, leaves a replay
  that plays five seconds or more, cut short, with every checkpoint matched; the oldest
  replays made room for it, and nothing else in the folder was touched;
- files that cannot play (empty, another kind, a damaged header, a newer format, over
  8 MiB, missing, a folder) end the game with status 1 within five seconds and one line
  naming the file and the problem; a truncated copy plays what it holds, "cut short"; a
  flipped bit plays what comes before it or is refused in words; watching keeps nothing.

    replay_test.py GAME RUN_DIR SCENARIO_TOOL
"""

import os
import re
import signal
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # leave no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pixels  # noqa: E402
from harness import Stage, TestFailure, check, end_with_escape, main_of, xdotool  # noqa: E402

KEPT = 100  # replays the folder keeps
VERDICT = re.compile(r"^replay: (\d+) frames \(\d+:\d\d\), every checkpoint matched")


def chunks(replay):
    """(offset, length) of each one-second chunk after the header."""
    offset, found = 27 + replay[22], []
    while offset + 4 <= len(replay) and replay[offset] == ord("S"):
        length = 16 + int.from_bytes(replay[offset + 2:offset + 4], "little")
        found.append((offset, length))
        offset += length
    return found


def input_seen(replay):
    """What the recorded frames hold: pointer moves, each button and each arrow."""
    seen = set()
    for offset, length in chunks(replay):
        payload, i = replay[offset + 4:offset + length - 12], 0
        while i < len(payload):
            flags = payload[i]
            i += 1 + (0, 1, 2, 4)[flags >> 6]
            seen.update(name for bit, name in ((1, "left button"), (2, "right button"), (8, "left arrow"),
                                               (16, "right arrow"), (0xC0, "moves")) if flags & bit)
    return seen


class Desktop:
    """The game on the stage's display, with the replay folder it keeps."""

    def __init__(self, stage, game, run_dir):
        self.stage, self.game, self.run_dir = stage, game, run_dir
        self.folder = os.path.join(stage.environment["XDG_DATA_HOME"], "crowdfire", "replays")
        self.geometry = pixels.PageGeometry(stage.width, stage.height)

    def xdotool(self, *arguments, timeout=15):
        return xdotool(self.stage.environment, *arguments, timeout=timeout)

    def replays(self):
        return set(os.listdir(self.folder)) if os.path.isdir(self.folder) else set()

    def start(self, *arguments, title="^crowdfire$"):
        process = self.stage.start_game([self.game, *arguments], self.run_dir, stdout=subprocess.PIPE,
                                        stderr=subprocess.PIPE, text=True)
        window = self.xdotool("search", "--sync", "--name", title, timeout=60).split()[-1]
        self.xdotool("windowfocus", window)
        return process, window

    def at(self, x, y):
        return self.geometry.to_screen(x, y)

    def play(self, seconds):
        """Real X input for `seconds`: the pointer sweeping the walking band, shots, a bomb,
        each arrow held for a while, over and over."""
        sweep = [("mousemove", *self.at(x, 150 + x % 40), "sleep", 0.04) for x in range(40, 290, 25)]
        targets = ((1, 100, 165), (1, 160, 175), (1, 220, 150), (3, 150, 160))
        clicks = [self.click_words(button, x, y) for button, x, y in targets]
        arrows = [("keydown", arrow, "sleep", 0.8, "keyup", arrow) for arrow in ("Left", "Right")]
        actions = sweep + clicks + arrows
        deadline = time.monotonic() + seconds
        turn = 0
        while time.monotonic() < deadline:
            self.xdotool(*actions[turn % len(actions)])
            turn += 1

    def click_words(self, button, x, y):
        """Held 80 ms, so that a frame sees it; then past the gun's cooldown."""
        return ("mousemove", *self.at(x, y), "mousedown", button, "sleep", 0.08, "mouseup", button, "sleep", 0.3)

    def new_replay(self, before):
        made = self.replays() - before
        check(len(made) == 1, f"the game left {len(made)} new files in the replays folder: {sorted(made)}")
        return os.path.join(self.folder, made.pop())

    def watch(self, path, fast=True, timeout=60):
        """Watches a replay to its end, with F held when `fast` (the window must then stay
        long enough to be found); its status, output and, when fast, its window's title."""
        if not fast:
            process = self.stage.start_game([self.game, f"--replay={path}"], self.run_dir, stdout=subprocess.PIPE,
                                            stderr=subprocess.PIPE, text=True)
            title = None
        else:
            process, window = self.start(f"--replay={path}", title="^crowdfire replay")
            title = self.xdotool("getwindowname", window).strip()
            self.xdotool("keydown", "f")
        try:
            out, err = process.communicate(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise TestFailure(f"watching {path} did not end within {timeout} s")
        finally:
            if fast:
                self.xdotool("keyup", "f")
        return process.returncode, out, err, title


def check_played_game(desktop, scenario):
    before = desktop.replays()
    process, _ = desktop.start()
    desktop.play(10)
    check(process.poll() is None, "the game ended before Escape")
    status = end_with_escape(desktop.stage.environment, process, 10)
    check(status == 0, f"the game ended with status {status}: {process.stderr.read()}")
    path = desktop.new_replay(before)
    with open(path, "rb") as kept:
        replay = kept.read()
    missing = {"moves", "left button", "right button", "left arrow", "right arrow"} - input_seen(replay)
    check(not missing, f"the replay lacks input the game was given: {sorted(missing)}")
    status, out, err, title = desktop.watch(path)
    check(status == 0 and VERDICT.match(out) and out.count("\n") == 1,
          f"watching the played game ended with {status}: {out!r} {err!r}")
    check(re.fullmatch(r"crowdfire replay \d+:\d\d / \d+:\d\d( paused| fast forward)?", title),
          f"the window watching a replay is titled {title!r}")
    with tempfile.NamedTemporaryFile(suffix=".bmp") as picture:
        headless = subprocess.run([scenario, "--replay", path, desktop.run_dir, picture.name],
                                  capture_output=True, text=True, timeout=120)
    check(headless.returncode == 0 and headless.stdout.splitlines()[-1] == out.strip(),
          f"played headless, the replay ended with {headless.returncode}: {headless.stdout!r}")
    print(f"played 10 s: {os.path.basename(path)}, {len(replay)} bytes; watched: {out.strip()} "
          f"(title {title!r}); headless the same")
    return replay


def check_killed_game(desktop):
    os.makedirs(desktop.folder, exist_ok=True)
    old = [f"crowdfire-2001-01-01_00-{i // 60:02d}-{i % 60:02d}.cfreplay" for i in range(KEPT)]
    for name in old + ["notes.txt"]:
        open(os.path.join(desktop.folder, name), "wb").close()
    before = desktop.replays()
    process, _ = desktop.start()
    desktop.play(8)
    process.send_signal(signal.SIGKILL)
    process.wait()
    path = desktop.new_replay(before)
    gone = before - desktop.replays()
    replays_now = sum(name.endswith(".cfreplay") for name in before) + 1
    check(gone == set(old[:replays_now - KEPT]), f"the full folder let go of {sorted(gone)}")
    status, out, err, _ = desktop.watch(path)
    played = VERDICT.match(out)
    check(status == 0 and played and "cut short" in out,
          f"the killed game's replay ended with {status}: {out!r} {err!r}")
    check(int(played.group(1)) >= 5 * 70, f"the killed game's replay holds only {played.group(1)} frames")
    print(f"killed after 8 s: {out.strip()}; the folder let go of {len(gone)} oldest")


def check_refused(desktop, path, words):
    started = time.monotonic()
    answer = subprocess.run([desktop.game, f"--replay={path}"], cwd=desktop.run_dir,
                            env=desktop.stage.environment, capture_output=True, text=True, timeout=5)
    lines = answer.stderr.splitlines()
    said_once = len(lines) == 1 and path in lines[0] and words in lines[0]
    check(answer.returncode == 1 and said_once and not answer.stdout,
          f"{os.path.basename(path)} ended with {answer.returncode}, saying {answer.stderr!r}")
    print(f"refused in {time.monotonic() - started:.1f} s: {lines[0].replace(path, os.path.basename(path))}")


def check_damaged_files(desktop, replay, scratch):
    def copy(name, content):
        path = os.path.join(scratch, name)
        with open(path, "wb") as made:
            made.write(content)
        return path
    newer = bytearray(replay)
    newer[8:10] = (2).to_bytes(2, "little")
    header = bytearray(replay)
    header[23] ^= 0x01  # the version's first character: the header's checksum fails
    too_large = copy("too-large.cfreplay", replay)
    os.truncate(too_large, 8 * 1024 * 1024 + 1)
    for path, words in ((copy("empty.cfreplay", b""), "the file is empty"),
                        (copy("picture.cfreplay", b"\x89PNG\r\n\x1a\n" + replay), "not a replay"),
                        (copy("header.cfreplay", header), "the header is damaged"),
                        (copy("newer.cfreplay", newer), "made by a newer crowdfire"),
                        (too_large, "larger than any replay"),
                        (os.path.join(scratch, "missing.cfreplay"), "No such file"),
                        (scratch, "not a file")):
        check_refused(desktop, path, words)
    third = chunks(replay)[3]
    status, out, err, _ = desktop.watch(copy("truncated.cfreplay", replay[:third[0] + third[1] // 2]), fast=False)
    played = VERDICT.match(out)
    check(status == 0 and played and int(played.group(1)) == 3 * 70 and "cut short" in out,
          f"the truncated copy ended with {status}: {out!r} {err!r}")
    print(f"truncated in its fourth second: {out.strip()}")
    flipped = bytearray(replay)
    second = chunks(replay)[2]
    flipped[second[0] + 6] ^= 0x10
    flipped_path = copy("flipped.cfreplay", flipped)
    status, out, err, _ = desktop.watch(flipped_path, fast=False)
    said = (out + err).strip()
    check(status in (0, 1, 3) and said and "\n" not in out.strip(), f"a flipped bit ended with {status}: {said!r}")
    print(f"a bit flipped in the third second: status {status}, {said}")


def run(game, run_dir, scenario):
    game, scenario = os.path.abspath(game), os.path.abspath(scenario)
    started = time.monotonic()
    with Stage() as stage, tempfile.TemporaryDirectory(prefix="crowdfire-replays-") as scratch:
        desktop = Desktop(stage, game, run_dir)
        replay = check_played_game(desktop, scenario)
        check_killed_game(desktop)
        kept = desktop.replays()
        check_damaged_files(desktop, replay, scratch)
        check(desktop.replays() == kept, "watching replays added or removed files in the replays folder")
    print(f"took {time.monotonic() - started:.0f} s")


if __name__ == "__main__":
    sys.exit(main_of(__doc__, run, (3,), "replays are kept, watched and refused as they should be"))
