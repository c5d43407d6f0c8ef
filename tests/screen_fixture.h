// A headless 320 x 240 screen with two pages, as the game opens it, for the graphics tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "gfx/headless.h"
#include "gfx/pixel_spans.h"
#include "gfx/screen.h"

class HeadlessScreen : public ::testing::Test {
protected:
    void SetUp() override {
        selectDisplay(headlessBackend);
        ASSERT_EQ(openScreen(320, 240, 24, 2, 1, 0), resultOk) << screenError();
        useDrawingForm(bestDrawingForm());
    }
    void TearDown() override {
        closeScreen();
        useDrawingForm(bestDrawingForm());
    }

    static uint32_t pixel(int page, int x, int y) { return pagePixels(page)[y * 320 + x]; }
    static uint32_t workPixel(int x, int y) { return pixel(workPageIndex(), x, y); }

    // An image buffer of the given size, every pixel `colour`.
    static std::vector<uint32_t> solidImage(int width, int height, uint32_t colour) {
        std::vector<uint32_t> image(1 + size_t(width) * size_t(height), colour);
        image[0] = imageHeader(width, height);
        return image;
    }
    // Pixel (x, y) of the image is x + 1000 * y + 1, so every pixel says where it came from.
    static std::vector<uint32_t> numberedImage(int width, int height) {
        std::vector<uint32_t> image = solidImage(width, height, 0);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) image[1 + size_t(y) * width + x] = uint32_t(x + 1000 * y + 1);
        return image;
    }
    static int countNonZero(int page) {
        int n = 0;
        for (int i = 0; i < 320 * 240; ++i) n += pagePixels(page)[i] != 0;
        return n;
    }
};
