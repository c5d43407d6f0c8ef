# An encoder that is not ours, for the bitmap loader's tests: writes 24-bit BMP files with
# python3's standard library. Reads lines "NAME WIDTH HEIGHT OFFSET" on stdin and writes
# each file into the folder given as the argument; junk fills the gap between the headers
# and the rows. Pixel (x, y), y from the top, is the pattern the tests expect.
#   python3 bmp_encoder.py FOLDER < list
import struct, sys, os
out = sys.argv[1]
def pixel(x, y):
    return ((x * 5 + y) & 255, (x * 3 + y * 7) & 255, (x ^ y) & 255)
def write(name, w, h, offset):
    row_bytes = (w * 3 + 3) // 4 * 4
    rows = []
    for y in range(h - 1, -1, -1):
        row = bytearray()
        for x in range(w):
            row += bytes(pixel(x, y))
        row += b"\0" * (row_bytes - len(row))
        rows.append(bytes(row))
    data = b"".join(rows)
    gap = bytes((i * 37 + 11) & 255 for i in range(offset - 54))
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(os.path.join(out, name), "wb") as f:
        f.write(header + info + gap + data)
for line in sys.stdin:
    name, w, h, offset = line.split()
    write(name, int(w), int(h), int(offset))
