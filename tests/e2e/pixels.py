"""Reading the game's picture out of screenshots: where the page lies on the screen,
what the scene looks like without anything drawn on it, and what was drawn over it."""

import subprocess
from dataclasses import dataclass

PAGE_WIDTH, PAGE_HEIGHT = 320, 240
WALKING_BAND_TOP = 30  # people walk with their tops at rows 38 to 217; the crosshair waits above
# Colours compare as equal within this sum of channel differences, so a display that
# converts colours slightly still shows "the background" where nothing is drawn.
TOLERANCE = 48


@dataclass
class Image:
    width: int
    height: int
    data: bytes  # RGB, rows top to bottom

    def offset(self, x, y):
        return (y * self.width + x) * 3


def parse_ppm(data):
    """A binary PPM (P6, 8 bits per channel) as an Image."""
    fields = []
    position = 0
    while len(fields) < 4:
        if position >= len(data):
            raise ValueError("screenshot has no complete PPM header")
        while data[position:position + 1].isspace():
            position += 1
        if data[position:position + 1] == b"#":
            position = data.index(b"\n", position)
            continue
        start = position
        while not data[position:position + 1].isspace():
            position += 1
        fields.append(data[start:position])
    if fields[0] != b"P6" or fields[3] != b"255":
        raise ValueError("not an 8-bit binary PPM screenshot")
    width, height = int(fields[1]), int(fields[2])
    pixels = data[position + 1:position + 1 + width * height * 3]
    if len(pixels) != width * height * 3:
        raise ValueError("screenshot is cut short")
    return Image(width, height, pixels)


def load_world(left_path, right_path):
    """The two background bitmaps side by side: the 640-pixel-wide scene."""
    halves = [read_bmp(left_path), read_bmp(right_path)]
    rows = []
    for y in range(PAGE_HEIGHT):
        row = b"".join(h.data[h.offset(0, y):h.offset(h.width, y)] for h in halves)
        rows.append(row)
    return Image(sum(h.width for h in halves), PAGE_HEIGHT, b"".join(rows))


def read_bmp(path):
    """A 24-bit uncompressed bottom-up BMP, as the game reads it."""
    with open(path, "rb") as bitmap:
        data = bitmap.read()
    if data[:2] != b"BM" or len(data) < 54:
        raise ValueError(f"{path} is not a BMP file")
    pixel_offset = int.from_bytes(data[10:14], "little")
    width = int.from_bytes(data[18:22], "little", signed=True)
    height = int.from_bytes(data[22:26], "little", signed=True)
    bits = int.from_bytes(data[28:30], "little")
    if bits != 24 or width <= 0 or height <= 0:
        raise ValueError(f"{path} is not a 24-bit bottom-up BMP")
    stride = (width * 3 + 3) // 4 * 4
    rows = []
    for y in range(height):
        start = pixel_offset + (height - 1 - y) * stride
        blue_green_red = data[start:start + width * 3]
        row = bytearray(width * 3)
        row[0::3], row[1::3], row[2::3] = blue_green_red[2::3], blue_green_red[1::3], blue_green_red[0::3]
        rows.append(bytes(row))
    return Image(width, height, b"".join(rows))


class PageGeometry:
    """The page shown full screen: scaled by the largest whole factor that fits, centred."""

    def __init__(self, screen_width, screen_height):
        self.scale = min(screen_width // PAGE_WIDTH, screen_height // PAGE_HEIGHT)
        if self.scale < 1:
            raise ValueError("the screen is smaller than the page")
        self.left = (screen_width - PAGE_WIDTH * self.scale) // 2
        self.top = (screen_height - PAGE_HEIGHT * self.scale) // 2

    def to_screen(self, x, y):
        """The screen pixel in the middle of page pixel (x, y)."""
        middle = self.scale // 2
        return self.left + x * self.scale + middle, self.top + y * self.scale + middle

    def extract(self, screen):
        step = 3 * self.scale
        rows = []
        for y in range(PAGE_HEIGHT):
            sx, sy = self.to_screen(0, y)
            start = screen.offset(sx, sy)
            source = screen.data[start:start + step * PAGE_WIDTH]
            row = bytearray(PAGE_WIDTH * 3)
            for channel in range(3):
                row[channel::3] = source[channel::step][:PAGE_WIDTH]
            rows.append(bytes(row))
        return Image(PAGE_WIDTH, PAGE_HEIGHT, b"".join(rows))

    def border_is_black(self, screen):
        right = self.left + PAGE_WIDTH * self.scale
        bottom = self.top + PAGE_HEIGHT * self.scale
        for y in range(0, screen.height, 7):
            for x in range(0, screen.width, 7):
                if self.left <= x < right and self.top <= y < bottom:
                    continue
                i = screen.offset(x, y)
                if max(screen.data[i:i + 3]) > 16:
                    return False
        return True


def same_colour(a, i, b, j):
    return (abs(a[i] - b[j]) + abs(a[i + 1] - b[j + 1]) + abs(a[i + 2] - b[j + 2])) <= TOLERANCE


def is_red(data, i):
    red, green, blue = data[i], data[i + 1], data[i + 2]
    return red >= 80 and red > 2 * green and red > 2 * blue


def scene_match(page, world, scroll):
    """Share of page pixels (sampled) that show the scene as seen from scroll position."""
    matches = total = 0
    for y in range(0, PAGE_HEIGHT, 3):
        for x in range(0, PAGE_WIDTH, 2):
            total += 1
            matches += same_colour(page.data, page.offset(x, y), world.data, world.offset(x + scroll, y))
    return matches / total


def drawn_over(page, world, scroll, x, y):
    return not same_colour(page.data, page.offset(x, y), world.data, world.offset(x + scroll, y))


@dataclass
class Blob:
    left: int
    top: int
    right: int
    bottom: int
    count: int

    @property
    def width(self):
        return self.right - self.left + 1

    @property
    def height(self):
        return self.bottom - self.top + 1

    @property
    def centre(self):
        return (self.left + self.right) / 2, (self.top + self.bottom) / 2


def find_blobs(page, world, scroll):
    """Groups of pixels drawn over the scene in the walking band; pixels up to two apart
    belong together, so a sprite with gaps is still one blob."""
    drawn = set()
    for y in range(WALKING_BAND_TOP, PAGE_HEIGHT):
        for x in range(PAGE_WIDTH):
            if drawn_over(page, world, scroll, x, y):
                drawn.add((x, y))
    blobs = []
    while drawn:
        start = drawn.pop()
        stack, members = [start], [start]
        while stack:
            x, y = stack.pop()
            for dy in range(-2, 3):
                for dx in range(-2, 3):
                    neighbour = (x + dx, y + dy)
                    if neighbour in drawn:
                        drawn.remove(neighbour)
                        stack.append(neighbour)
                        members.append(neighbour)
        xs = [x for x, _ in members]
        ys = [y for _, y in members]
        blobs.append(Blob(min(xs), min(ys), max(xs), max(ys), len(members)))
    return blobs


def looks_like_person(blob):
    """A whole person sprite (16 x 13 at most) away from the page's side edges."""
    return (8 <= blob.height <= 16 and 3 <= blob.width <= 18 and blob.count >= 15
            and blob.left > 2 and blob.right < PAGE_WIDTH - 3)


def find_people(page, world, scroll):
    blobs = find_blobs(page, world, scroll)
    return [blob for blob in blobs if looks_like_person(blob)], blobs


def match_movements(first, second):
    """For each person seen first, the nearest one on about the same rows seen second:
    (first blob, second blob, horizontal move)."""
    moves = []
    for before in first:
        candidates = [after for after in second if abs(after.top - before.top) <= 2]
        if not candidates:
            continue
        after = min(candidates, key=lambda a: abs(a.centre[0] - before.centre[0]))
        moves.append((before, after, after.centre[0] - before.centre[0]))
    return moves


def choose_target(moves, all_blobs):
    """A person who walked forward, well inside the page, preferably with nobody close by."""
    walkers = [person for _, person, dx in moves if dx >= 3 and 40 <= person.centre[0] <= 260]
    if not walkers:
        return None

    def neighbours(person):
        return sum(other is not person
                   and other.left <= person.right + 10 and other.right >= person.left - 10
                   and other.top <= person.bottom + 6 and other.bottom >= person.top - 6
                   for other in all_blobs)
    return min(walkers, key=lambda person: (neighbours(person), -person.count))


def static_red(first, second, world, scroll, box):
    """Red pixels drawn over the scene that did not change between two looks: blood on
    the ground (walkers move on, so whatever red they wear does not stay)."""
    left, top, right, bottom = clip(box)
    count = 0
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            i = first.offset(x, y)
            if (is_red(first.data, i) and same_colour(first.data, i, second.data, i)
                    and drawn_over(first, world, scroll, x, y)):
                count += 1
    return count


def brightness(data, i):
    return data[i] + data[i + 1] + data[i + 2]


def static_dark(first, second, world, scroll, box):
    """Pixels much darker than the scene that did not change between two looks: a scorch
    mark, or bodies and blood lying on the ground."""
    left, top, right, bottom = clip(box)
    count = 0
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            i = first.offset(x, y)
            scene = brightness(world.data, world.offset(x + scroll, y))
            if (brightness(first.data, i) * 10 < scene * 7
                    and same_colour(first.data, i, second.data, i)):
                count += 1
    return count


def drawn_count(page, world, scroll, box):
    left, top, right, bottom = clip(box)
    return sum(drawn_over(page, world, scroll, x, y)
               for y in range(top, bottom + 1) for x in range(left, right + 1))


def changed_pixels(first, second, box):
    left, top, right, bottom = clip(box)
    count = 0
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            i = first.offset(x, y)
            count += not same_colour(first.data, i, second.data, i)
    return count


def clip(box):
    left, top, right, bottom = box
    return max(left, 0), max(top, 0), min(right, PAGE_WIDTH - 1), min(bottom, PAGE_HEIGHT - 1)


def save_png(image, path):
    header = f"P6\n{image.width} {image.height}\n255\n".encode()
    subprocess.run(["/usr/bin/convert", "ppm:-", "png:" + path], input=header + image.data, check=True)
