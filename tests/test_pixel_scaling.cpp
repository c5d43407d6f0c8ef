// Whole-factor scaling for the window-surface display: every form puts each page pixel
// in its own factor x factor square and writes nothing outside the picture.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "sdl/pixel_scaling.h"

namespace {

constexpr uint32_t untouched = 0xDEADBEEF;

TEST(PixelScaling, EveryFormFillsExactSquaresAndNothingBeyond) {
    for (DrawingForm form : {DrawingForm::scalar, DrawingForm::sse2, DrawingForm::avx2}) {
        if (!drawingFormAvailable(form)) continue;
        for (int width : {1, 2, 3, 5, 8, 9, 320})
            for (int factor = 1; factor <= 6; ++factor) {
                const int rows = 3, first = 1, last = 3;  // row 0 is not asked for
                std::vector<uint32_t> page(size_t(width) * rows);
                for (size_t i = 0; i < page.size(); ++i) page[i] = uint32_t(i * 2654435761u) & 0x00FFFFFF;
                // Two spare words at the end of each output row, as a surface's pitch may have.
                const int pitch = width * factor + 2;
                std::vector<uint32_t> out(size_t(pitch) * size_t(rows * factor) + 2, untouched);
                scalePageRows(page.data(), width, first, last, {out.data(), pitch, factor}, form);
                for (int y = 0; y < rows * factor; ++y)
                    for (int x = 0; x < pitch; ++x) {
                        uint32_t got = out[size_t(y) * size_t(pitch) + size_t(x)];
                        bool inPicture = y >= first * factor && x < width * factor;
                        uint32_t want =
                            inPicture ? page[size_t(y / factor) * size_t(width) + size_t(x / factor)] : untouched;
                        ASSERT_EQ(got, want) << drawingFormName(form) << " width " << width << " factor " << factor
                                             << " at " << x << ", " << y;
                    }
                ASSERT_EQ(out[out.size() - 1], untouched);
            }
    }
}

}  // namespace
