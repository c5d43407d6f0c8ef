// The PNG is written by Debian's libpng (its simplified writing API): a well-kept encoder
// every desktop already has, where the art tool's own writer is private to that tool.
#include "sdl/screenshot.h"

#include <png.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "gfx/screen.h"
#include "sdl/user_folders.h"
#include "sdl/write_aside.h"

namespace {

constexpr int maxScale = 8;  // a 2560 x 1920 file at most, whatever the screen

// Rows of 8-bit RGB, each page pixel repeated scale times across and down.
std::vector<uint8_t> scaledRgb(const std::vector<uint32_t>& page, int width, int height, int scale) {
    const size_t rowBytes = size_t(width) * size_t(scale) * 3;
    std::vector<uint8_t> rgb(rowBytes * size_t(height) * size_t(scale));
    for (int y = 0; y < height; ++y) {
        uint8_t* row = rgb.data() + size_t(y) * size_t(scale) * rowBytes;
        uint8_t* out = row;
        for (int x = 0; x < width; ++x) {
            const uint32_t pixel = page[size_t(y) * size_t(width) + size_t(x)];
            for (int copy = 0; copy < scale; ++copy) {
                *out++ = uint8_t(pixel >> 16);
                *out++ = uint8_t(pixel >> 8);
                *out++ = uint8_t(pixel);
            }
        }
        for (int copy = 1; copy < scale; ++copy) std::copy(row, row + rowBytes, row + size_t(copy) * rowBytes);
    }
    return rgb;
}

bool writePng(int fd, const std::vector<uint8_t>& rgb, int width, int height, std::string& problem) {
    FILE* file = fdopen(fd, "wb");
    if (!file) {
        problem = std::strerror(errno);
        close(fd);
        return false;
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(width);
    image.height = png_uint_32(height);
    image.format = PNG_FORMAT_RGB;
    const bool encoded = png_image_write_to_stdio(&image, file, 0, rgb.data(), 0, nullptr) != 0;
    if (!encoded) problem = image.message;
    const bool closed = std::fclose(file) == 0;
    if (encoded && !closed) problem = std::strerror(errno);
    return encoded && closed;
}

void reportScreenshot(const std::string& path, const std::string& problem) {
    if (path.empty()) std::fprintf(stderr, "crowdfire: cannot save the screenshot: %s\n", problem.c_str());
    else std::printf("crowdfire: screenshot saved as %s\n", path.c_str());
    std::fflush(stdout);
}

}  // namespace

std::string writeScreenshot(const std::vector<uint32_t>& page, int width, int height, int scale,
                            const std::string& folder, std::time_t taken, std::string& problem) {
    if (folder.empty()) {
        problem = "neither XDG_PICTURES_DIR nor HOME is set";
        return {};
    }
    if (!makeFolders(folder, 0755)) {
        problem = "cannot make " + folder + ": " + std::strerror(errno);
        return {};
    }
    std::string path;
    const int fd = createTimeNamedFile(folder, taken, ".png", path);
    if (fd < 0) {
        problem = "cannot create " + path + ": " + std::strerror(errno);
        return {};
    }
    const std::vector<uint8_t> rgb = scaledRgb(page, width, height, scale);
    if (writePng(fd, rgb, width * scale, height * scale, problem)) return path;
    problem = path + ": " + problem;
    unlink(path.c_str());  // half a picture is no picture
    return {};
}

void saveScreenshot(int scale) {
    std::vector<uint32_t> page(320 * 240);
    int width = 0, height = 0;
    if (!copyVisiblePage(page.data(), int(page.size()), width, height)) return;
    const std::time_t taken = std::time(nullptr);
    scale = std::clamp(scale, 1, maxScale);
    writeAside([page = std::move(page), width, height, scale, taken] {
        std::string problem;
        const std::string path = writeScreenshot(page, width, height, scale, screenshotFolder(), taken, problem);
        reportScreenshot(path, problem);
    });
}
