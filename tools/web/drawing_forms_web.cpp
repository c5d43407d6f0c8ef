// The drawing forms held against each other in the browser, on the cases
// tests/test_pixel_spans.cpp holds them to natively (tests/drawing_cases.h): the browser
// build draws with the SSE2 form compiled to WebAssembly's SIMD, and that must give the
// scalar form's pixels, and the scalar form's canvas bytes, for every input. The browser
// test calls webDrawingFormsAgree.
#include <emscripten.h>

#include <string>

#include "gfx/display_headless.h"
#include "gfx/pixel_spans.h"
#include "gfx/screen.h"
#include "tests/drawing_cases.h"

namespace {

std::string lastAnswer;

std::string compareForms(DrawingForm vector) {
    int cases = 0;
    std::string difference = firstRuleDifference(vector, cases);
    if (difference.empty()) difference = firstPageDifference(vector, cases);
    return difference.empty() ? "agree in " + std::to_string(cases) + " cases" : "differ in " + difference;
}

}  // namespace

// "SSE2 and scalar agree in N cases", or where they first differ, or why nothing was held
// against the scalar form.
extern "C" EMSCRIPTEN_KEEPALIVE const char* webDrawingFormsAgree() {
    if (!drawingFormAvailable(DrawingForm::sse2)) {
        lastAnswer = "error: this build has no SSE2 (WebAssembly SIMD) form";
        return lastAnswer.c_str();
    }
    selectDisplay(headlessBackend);
    if (openScreen(320, 240, 24, 2, 1, 0) != resultOk) {
        lastAnswer = std::string("error: ") + screenError();
        return lastAnswer.c_str();
    }
    lastAnswer = std::string("SSE2 and scalar ") + compareForms(DrawingForm::sse2);
    useDrawingForm(bestDrawingForm());
    closeScreen();
    return lastAnswer.c_str();
}
