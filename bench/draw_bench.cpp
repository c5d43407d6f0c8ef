// The drawing rules in every form this processor has (scalar, SSE2, AVX2) on the work the
// game does in a busy frame: a page clear, two opaque backgrounds, thousands of small
// transparent sprites and a few hundred blended shadows and scorch marks. Prints
// microseconds per frame for each form.
//   build/draw_bench [FRAMES]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "gfx/display_headless.h"
#include "gfx/pixel_spans.h"
#include "gfx/screen.h"

namespace {

std::vector<uint32_t> makeImage(std::mt19937& random, int width, int height, int keyEvery) {
    std::vector<uint32_t> image(1 + size_t(width) * size_t(height));
    image[0] = imageHeader(width, height);
    for (size_t i = 1; i < image.size(); ++i)
        image[i] = keyEvery && i % size_t(keyEvery) == 0 ? 0x00FF00FFu : uint32_t(random()) & 0x00FFFFFFu;
    return image;
}

struct Frame {
    std::vector<uint32_t> background, sprite, shadow;
    std::vector<float> spriteX, spriteY, shadowX, shadowY;
};

Frame makeFrame() {
    std::mt19937 random(1);
    Frame f{makeImage(random, 320, 240, 0), makeImage(random, 16, 13, 3), makeImage(random, 17, 8, 5), {}, {}, {}, {}};
    for (int i = 0; i < 4000; ++i) {
        f.spriteX.push_back(float(int(random() % 340) - 10) + 0.3f);
        f.spriteY.push_back(float(int(random() % 250) - 5));
    }
    for (int i = 0; i < 400; ++i) {
        f.shadowX.push_back(float(int(random() % 330) - 5));
        f.shadowY.push_back(float(int(random() % 240)));
    }
    return f;
}

void drawFrame(const Frame& f) {
    clearScreen();
    putImage(-100, 0, f.background.data(), opaque, -1);
    putImage(220, 0, f.background.data(), opaque, -1);
    for (size_t i = 0; i < f.shadowX.size(); ++i)
        putImage(f.shadowX[i], f.shadowY[i], f.shadow.data(), blend, i % 2 ? 100 : 160);
    for (size_t i = 0; i < f.spriteX.size(); ++i)
        putImage(f.spriteX[i], f.spriteY[i], f.sprite.data(), transparent, -1);
}

double microsecondsPerFrame(const Frame& f, int frames) {
    drawFrame(f);  // warm the caches
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < frames; ++i) drawFrame(f);
    std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
    return spent.count() / frames;
}

}  // namespace

int main(int argc, char** argv) {
    int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;
    selectDisplay(headlessBackend);
    if (openScreen(320, 240, 24, 2, 1, 0) != resultOk) {
        std::fprintf(stderr, "draw_bench: %s\n", screenError());
        return 1;
    }
    setPages(0, 1);
    Frame f = makeFrame();
    std::printf("busy frame (clear, 2 backgrounds, 400 blends, 4000 sprites), %d frames\n", frames);
    double scalar = 0;
    for (DrawingForm form : {DrawingForm::scalar, DrawingForm::sse2, DrawingForm::avx2}) {
        if (!useDrawingForm(form)) {
            std::printf("  %-6s not available here\n", drawingFormName(form));
            continue;
        }
        double spent = microsecondsPerFrame(f, frames);
        if (form == DrawingForm::scalar) scalar = spent;
        std::printf("  %-6s %8.1f us/frame  (%.2fx scalar)\n", drawingFormName(form), spent, scalar / spent);
    }
    useDrawingForm(bestDrawingForm());
    std::printf("  budget at 70 fps: %.0f us/frame\n", 1e6 / 70);
    closeScreen();
    return 0;
}
