// The page's gamepads read once a frame and handed to the one mapping of pads
// (gfx/controller.h), each pad afresh when the list of pads changes.
#include "web/controller_web.h"

#include <cstdint>

#include "gfx/controller.h"
#include "gfx/input.h"

// Implemented in web/platform.js: writes up to `capacity` pads, gamepadValues numbers
// each, and returns how many it wrote.
extern "C" int jsReadGamepads(float* values, int capacity);

namespace {

// Per pad: left stick x and y, right stick x and y, left and right trigger (0 to 1), and
// the buttons held as a mask in the standard mapping's order.
constexpr int gamepadValues = 7;
constexpr int padCapacity = 4;

// The page lists the connected pads one after another, so a pad coming or going moves the
// others along: every pad starts afresh then, as a pad just opened does.
PadMemory padMemories[padCapacity];
int padsLastRead = 0;

// The standard mapping's buttons by index; 6 and 7 are the triggers, read as axes.
constexpr uint32_t standardButtons[] = {
    padSouth, padEast,      padWest,       padNorth, padLeftShoulder, padRightShoulder, 0,        0,        padBack,
    padStart, padLeftStick, padRightStick, padUp,    padDown,         padLeft,          padRight, padGuide,
};
constexpr int standardButtonCount = int(sizeof standardButtons / sizeof standardButtons[0]);

ControllerReading padFrom(const float* values) {
    ControllerReading pad;
    pad.leftX = values[0];
    pad.leftY = values[1];
    pad.rightX = values[2];
    pad.rightY = values[3];
    pad.leftTrigger = values[4];
    pad.rightTrigger = values[5];
    const float mask = values[6];
    const uint32_t held = mask >= 0 && mask < float(1u << standardButtonCount) ? uint32_t(mask) : 0;
    for (int b = 0; b < standardButtonCount; ++b)
        if (held & (1u << b)) pad.buttons |= standardButtons[b];
    return pad;
}

}  // namespace

// The Gamepad API gives the pads' state as it is now, so a tap that begins and ends
// between two frames is not seen.
void readGamepads() {
    float values[padCapacity * gamepadValues];
    const int count = jsReadGamepads(values, padCapacity);
    if (count != padsLastRead)
        for (PadMemory& memory : padMemories) memory = PadMemory{};
    padsLastRead = count;
    ControllerReading all;
    for (int p = 0; p < count && p < padCapacity; ++p)
        addPadReading(all, padFrom(values + p * gamepadValues), padMemories[p]);
    reportControllers(all);
}
