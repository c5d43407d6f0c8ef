// libFuzzer target: loadBitmap on any bytes at all. Besides the sanitizers' checks, every
// call is held against a plain reading of the loading rules, written here without the
// loader's seeking and buffering: the result code and every pixel of the work page must
// be what the rules give for these bytes.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "gfx/display.h"
#include "gfx/display_headless.h"
#include "gfx/screen.h"

namespace {

constexpr int width = 320, height = 240;
constexpr int64_t widthLimit = 32768;  // the loader refuses wider files
int fileDescriptor = -1;
std::string filePath;
std::vector<uint32_t> startImage;  // an image header and a page of pixels no file can give

uint32_t u32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// The page as loading must leave it; kept from call to call, so no call allocates it.
std::vector<uint32_t> expectedPage;

// The result code loading these bytes must give, and what it must do to expectedPage.
int loadingRules(const uint8_t* data, size_t size) {
    if (size < 54 || data[0] != 'B' || data[1] != 'M' || u32(data + 14) != 40) return resultBadFile;
    int64_t offset = u32(data + 10), w = int32_t(u32(data + 18)), h = int32_t(u32(data + 22));
    int bits = data[28] | data[29] << 8;
    if (bits == 15 || bits == 16) return resultInvalid;
    if (bits != 24 || u32(data + 30) != 0) return resultBadFile;
    if (w <= 0 || w > widthLimit || offset < 54 || offset > int64_t(size)) return resultBadFile;
    if (h <= 0) return resultOk;
    int64_t rowsStart = 54 + 4 * ((offset - 54) / 4), rowBytes = (w * 3 + 3) / 4 * 4;
    // File row r is page row h - 1 - r; rows below the page are only passed over.
    for (int64_t r = std::max<int64_t>(0, h - height); r < h; ++r) {
        int64_t at = rowsStart + r * rowBytes;
        if (at + w * 3 > int64_t(size)) return resultBadFile;
        const uint8_t* p = data + at;
        uint32_t* row = &expectedPage[size_t(h - 1 - r) * width];
        for (int64_t x = 0; x < std::min<int64_t>(w, width); ++x, p += 3)
            row[x] = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
    }
    return resultOk;
}

[[noreturn]] void mismatch(const char* what, size_t where) {
    std::fprintf(stderr, "fuzz_bitmap: %s (at %zu) differs from the loading rules\n", what, where);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    selectDisplay(headlessBackend);
    if (openScreen(width, height, 24, 2, 1, 0) != resultOk) std::abort();
    setPages(1, 0);
    // The file lives in memory and is opened by its /proc path, as a picture on disk would be.
    fileDescriptor = memfd_create("fuzz-bitmap", MFD_CLOEXEC);
    if (fileDescriptor < 0) std::abort();
    filePath = "/proc/self/fd/" + std::to_string(fileDescriptor);
    startImage.assign(1 + size_t(width) * height, 0);
    startImage[0] = imageHeader(width, height);
    for (size_t i = 1; i < startImage.size(); ++i) startImage[i] = 0x5A000000u | uint32_t(i * 2654435761u >> 8);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (ftruncate(fileDescriptor, 0) != 0 || pwrite(fileDescriptor, data, size, 0) != ssize_t(size)) std::abort();
    putImage(0, 0, startImage.data(), opaque, -1);  // top bytes set: no loaded pixel has them
    const uint32_t* page = pagePixels(workPageIndex());
    expectedPage.assign(page, page + width * height);
    int expected = loadingRules(data, size);
    int result = loadBitmap(filePath.c_str());
    if (result != expected) mismatch("the result", size_t(result));
    for (size_t i = 0; i < expectedPage.size(); ++i)
        if (page[i] != expectedPage[i]) mismatch("the page pixel", i);
    return 0;
}
