# Prints which of the captures (binary PPM files named on the command line) shows the
# most fire: bright orange pixels.
import sys
def fire(path):
    data = open(path, 'rb').read()
    header = data.split(maxsplit=4)
    pixels = header[4]
    return sum(1 for i in range(0, len(pixels) - 2, 3)
               if pixels[i] > 200 and 70 < pixels[i + 1] < 230 and pixels[i + 2] < 110)
print(max(sys.argv[1:], key=fire))
