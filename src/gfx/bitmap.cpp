// Loading a Windows bitmap onto the work page. Every header field is untrusted: a file
// that lies about its size or layout is refused or read only as far as it goes, and
// nothing is read or written outside the file, the row buffer or the page.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "gfx/screen.h"
#include "gfx/screen_state.h"

namespace {

constexpr int headerSize = 54;
constexpr int32_t widthLimit = 32768;

struct BitmapHeader {
    uint32_t pixelOffset;
    int32_t width, height;
    uint16_t bitsPerPixel;
    uint32_t compression;
};

uint32_t readU32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t readU16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Result 0 when the header describes a file we can draw, else the result to give.
int readHeader(std::FILE* f, int64_t fileSize, BitmapHeader& h) {
    uint8_t bytes[headerSize];
    if (std::fread(bytes, 1, headerSize, f) != size_t(headerSize)) return resultBadFile;
    if (bytes[0] != 'B' || bytes[1] != 'M' || readU32(bytes + 14) != 40) return resultBadFile;
    h.pixelOffset = readU32(bytes + 10);
    h.width = int32_t(readU32(bytes + 18));
    h.height = int32_t(readU32(bytes + 22));
    h.bitsPerPixel = readU16(bytes + 28);
    h.compression = readU32(bytes + 30);
    if (h.bitsPerPixel == 15 || h.bitsPerPixel == 16) return resultInvalid;
    if (h.bitsPerPixel != 24 || h.compression != 0) return resultBadFile;
    if (h.width <= 0 || h.width > widthLimit) return resultBadFile;
    if (h.pixelOffset < uint32_t(headerSize) || int64_t(h.pixelOffset) > fileSize) return resultBadFile;
    return resultOk;
}

void writeRow(int pageRow, const uint8_t* pixels, int columns) {
    uint32_t* target = screen.rowTable[pageRow];
    for (int x = 0; x < columns; ++x, pixels += 3)
        target[x] = uint32_t(pixels[0]) | uint32_t(pixels[1]) << 8 | uint32_t(pixels[2]) << 16;
}

// Rows run bottom-up: the file's first row is page row height - 1. Rows that fall below
// the page are passed over by seeking, so a huge height costs nothing but the check.
int drawRows(std::FILE* f, int64_t fileSize, const BitmapHeader& h) {
    int64_t dataStart = headerSize + 4 * ((int64_t(h.pixelOffset) - headerSize) / 4);
    int64_t rowBytes = (int64_t(h.width) * 3 + 3) / 4 * 4;
    int64_t pixelBytes = int64_t(h.width) * 3;
    int64_t rowsBelowPage = std::max<int64_t>(0, int64_t(h.height) - screen.height);
    int64_t firstDrawn = dataStart + rowsBelowPage * rowBytes;
    if (firstDrawn + pixelBytes > fileSize) return resultBadFile;
    if (std::fseek(f, long(firstDrawn), SEEK_SET) != 0) return resultBadFile;
    std::unique_ptr<uint8_t[]> row(new (std::nothrow) uint8_t[size_t(rowBytes)]);
    if (!row) return resultBadFile;
    int columns = std::min<int>(h.width, screen.width);
    int result = resultOk;
    ScreenLockScope lock;
    for (int pageRow = int(std::min<int64_t>(h.height, screen.height)) - 1; pageRow >= 0; --pageRow) {
        // The last row may lack its padding; its pixels are all that must be there.
        if (std::fread(row.get(), 1, size_t(rowBytes), f) < size_t(pixelBytes)) {
            result = resultBadFile;  // a short file keeps the rows already drawn
            break;
        }
        writeRow(pageRow, row.get(), columns);
    }
    if (screen.workPage == screen.visiblePage) std::memset(screen.dirty.get(), 1, size_t(screen.height));
    return result;
}

// Opens a regular file for reading. The open itself must not wait: opening a FIFO (or a
// device) blocks until someone writes to it, and a start-up stuck there shows a full
// screen that nothing can close. Anything but a regular file is refused unread.
File openRegularFile(const char* path, int64_t& size) {
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || fcntl(fd, F_SETFL, 0) != 0) {
        close(fd);
        return nullptr;
    }
    size = int64_t(info.st_size);
    File f(fdopen(fd, "rb"));
    if (!f) close(fd);
    return f;
}

}  // namespace

int loadBitmap(const char* path) {
    if (!screen.open || path == nullptr) return resultInvalid;
    int64_t fileSize = 0;
    File f = openRegularFile(path, fileSize);
    if (!f) return resultNotFound;
    int first = std::fgetc(f.get());
    if (first != 'B') return resultBadFile;
    std::rewind(f.get());
    BitmapHeader header{};
    int result = readHeader(f.get(), fileSize, header);
    if (result != resultOk) return result;
    if (header.height <= 0) return resultOk;
    // The page rows only take 32-bit pixels; the game never opens another depth.
    if (screen.bytesPerPixel != 4) return resultInvalid;
    return drawRows(f.get(), fileSize, header);
}
