"""What every end-to-end script shares: checks that fail with a sentence, a virtual X server
with a home of its own for the games started on it, the teardown that leaves no game and
no server behind whatever failed, and the script's main, which turns a failure into
"FAIL: ..." and status 1."""

import atexit
import os
import shutil
import subprocess
import sys
import tempfile
import time

SCREEN_WIDTH, SCREEN_HEIGHT = 800, 600  # not a multiple of the page: it is scaled by 2 and centred


class TestFailure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise TestFailure(message)


def wait_for(describe, timeout, probe, interval=0.05):
    """Calls probe until it returns something true; fails after timeout seconds."""
    deadline = time.monotonic() + timeout
    while True:
        result = probe()
        if result:
            return result
        if time.monotonic() > deadline:
            raise TestFailure(f"timed out after {timeout:.0f} s waiting for {describe}")
        time.sleep(interval)


def xdotool(environment, *arguments, timeout=15):
    """xdotool on the display the environment names; its output."""
    return subprocess.run(["xdotool", *map(str, arguments)], env=environment, check=True,
                          capture_output=True, text=True, timeout=timeout).stdout


def start_x_server(width, height):
    """Starts Xvfb on a display number it picks itself, so parallel runs never collide."""
    read_end, write_end = os.pipe()
    server = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0",
         f"{width}x{height}x24", "-nolisten", "tcp", "-noreset"],
        pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as numbers:
        number = numbers.readline().strip()
    if not number.isdigit():
        server.kill()
        server.wait()
        raise TestFailure("Xvfb did not report a display number")
    return server, ":" + number


def private_home(environment):
    """The environment with a settings folder, a pictures folder and a data folder of its
    own, removed at exit: the game remembers settings, keeps screenshots and replays there,
    never in the real home, and a test always starts from the defaults."""
    home = tempfile.mkdtemp(prefix="crowdfire-test-home-")
    atexit.register(shutil.rmtree, home, True)
    return dict(environment, XDG_CONFIG_HOME=os.path.join(home, "config"),
                XDG_PICTURES_DIR=os.path.join(home, "pictures"), XDG_DATA_HOME=os.path.join(home, "data"))


class Stage:
    """A virtual X server and the games started on it, for one with-block: `environment`
    shows games this display (SDL's own X video driver, the dummy sound driver) and a home
    of their own; leaving the block kills every game still running, then the server."""

    def __init__(self, width=SCREEN_WIDTH, height=SCREEN_HEIGHT):
        self.width, self.height = width, height

    def __enter__(self):
        self.server, self.display = start_x_server(self.width, self.height)
        self.games = []
        self.environment = private_home(dict(os.environ, DISPLAY=self.display, SDL_AUDIODRIVER="dummy"))
        self.environment.pop("SDL_VIDEODRIVER", None)
        return self

    def start_game(self, command, cwd, environment=None, **popen_options):
        """The game as a process of its own (popen_options as subprocess.Popen takes them)."""
        game = subprocess.Popen(command, cwd=cwd, env=environment or self.environment, **popen_options)
        self.games.append(game)
        return game

    def __exit__(self, *failure):
        for game in self.games:
            if game.poll() is None:
                game.kill()
            game.wait()
        self.server.terminate()
        self.server.wait()


def end_with_escape(environment, game, timeout):
    """Holds Escape (the game looks once a frame) until the game has gone; its status."""
    xdotool(environment, "keydown", "Escape")
    try:
        return game.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        raise TestFailure(f"the game did not end within {timeout} s of Escape")
    finally:
        xdotool(environment, "keyup", "Escape")


def report(run, success):
    """Runs a test; says `success` and gives 0, or says FAIL and why and gives 1."""
    try:
        run()
    except TestFailure as failure:
        print(f"FAIL: {failure}", file=sys.stderr)
        return 1
    except FileNotFoundError as error:
        # A tool is named bare (xdotool) or from /usr/bin (import); anything else is a file.
        tool = os.path.dirname(str(error.filename)) in ("", "/usr/bin")
        hint = " (scripts/install-deps.sh installs the tools)" if tool else ""
        print(f"FAIL: {error.filename} not found{hint}", file=sys.stderr)
        return 1
    except subprocess.CalledProcessError as error:
        print(f"FAIL: {' '.join(map(str, error.cmd))} failed: {error.stderr or error.returncode}", file=sys.stderr)
        return 1
    except subprocess.SubprocessError as failure:
        print(f"FAIL: {failure}", file=sys.stderr)
        return 1
    print(success)
    return 0


def main_of(usage, run, argument_counts, success):
    """A script's main: run(*arguments) when it is given one of argument_counts of them,
    else the usage and status 2."""
    arguments = sys.argv[1:]
    if len(arguments) not in argument_counts:
        print(usage, file=sys.stderr)
        return 2
    return report(lambda: run(*arguments), success)
