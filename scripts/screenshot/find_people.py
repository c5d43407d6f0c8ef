# Reads a screen capture (binary PPM) on stdin and prints "x y" in game pixels for each
# person it sees: the pixels of their shirts and dresses, exactly as the sheets hold them,
# in upright runs at least four rows tall (lying bodies are flatter).
import sys
data = sys.stdin.buffer.read()
fields, at = [], 0
while len(fields) < 4:
    while data[at:at + 1].isspace(): at += 1
    if data[at:at + 1] == b'#':
        at = data.index(b'\n', at) + 1
        continue
    end = at
    while not data[end:end + 1].isspace(): end += 1
    fields.append(data[at:end]); at = end
at += 1
width, height = int(fields[1]), int(fields[2])
pixels = data[at:]
scale = max(1, min(width // 320, height // 240))
left, top = (width - 320 * scale) // 2, (height - 240 * scale) // 2
def game_pixel(x, y):
    i = 3 * ((top + y * scale) * width + left + x * scale)
    return pixels[i] << 16 | pixels[i + 1] << 8 | pixels[i + 2]
clothes = {0x3A62B0, 0xB8642A, 0xE8E4DA, 0x84408E}
found = []
for x in range(4, 316):
    run = 0
    for y in range(38, 232):
        if game_pixel(x, y) in clothes:
            run += 1
            continue
        if run >= 4 and not any(abs(fx - x) < 7 and abs(fy - (y - run)) < 6 for fx, fy in found):
            found.append((x + 2, y - run))  # the run starts at the figure's row 5, column ~4
        run = 0
for x, y in found:
    print(x, y)
