// Game controllers through SDL's game-controller API: its own database of pads, plus any
// mapping SDL_GAMECONTROLLERCONFIG (or SDL_GAMECONTROLLERCONFIG_FILE) names, as SDL reads
// them. Pads plugged in before the game or during it are opened as they are announced,
// and one pulled out is closed; the input state holds all of them folded into one reading
// (gfx/controller.h), which the game's thread maps once a frame. Everything here runs on
// the refresh thread, which owns every SDL call of the display.
#include "gfx/controller.h"

#include <algorithm>

#include "gfx/input.h"
#include "sdl/display_parts.h"
#include "sdl/sdl_parts.h"

namespace {

// More pads than this at once are left unopened.
constexpr int padCapacity = 8;

struct OpenPad {
    SDL_GameController* pad = nullptr;
    SDL_JoystickID instance = -1;
    PadMemory memory;  // a new pad starts with a fresh one
};

struct Controllers {
    bool subsystemOpen = false;
    bool gaveUp = false;  // the subsystem would not open: the game goes on without pads
    bool asked = false;
    Uint64 firstAskedAt = 0;  // SDL ticks of the first pass that asked to open them
    OpenPad pads[padCapacity];
    uint32_t pressedSinceRefresh = 0;  // pad buttons pressed since the reading was last reported
};
Controllers controllers;

struct ButtonTie {
    SDL_GameControllerButton button;
    uint32_t bit;
};

constexpr ButtonTie buttonTies[] = {
    {SDL_CONTROLLER_BUTTON_A, padSouth},
    {SDL_CONTROLLER_BUTTON_B, padEast},
    {SDL_CONTROLLER_BUTTON_X, padWest},
    {SDL_CONTROLLER_BUTTON_Y, padNorth},
    {SDL_CONTROLLER_BUTTON_BACK, padBack},
    {SDL_CONTROLLER_BUTTON_GUIDE, padGuide},
    {SDL_CONTROLLER_BUTTON_START, padStart},
    {SDL_CONTROLLER_BUTTON_LEFTSTICK, padLeftStick},
    {SDL_CONTROLLER_BUTTON_RIGHTSTICK, padRightStick},
    {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, padLeftShoulder},
    {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, padRightShoulder},
    {SDL_CONTROLLER_BUTTON_DPAD_UP, padUp},
    {SDL_CONTROLLER_BUTTON_DPAD_DOWN, padDown},
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, padLeft},
    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, padRight},
};

uint32_t padBit(Uint8 button) {
    for (const ButtonTie& tie : buttonTies)
        if (tie.button == button) return tie.bit;
    return 0;
}

// SDL's axes run from -32768 to 32767, its triggers from 0 to 32767.
float axisOf(SDL_GameController* pad, SDL_GameControllerAxis axis) {
    return std::clamp(float(SDL_GameControllerGetAxis(pad, axis)) / 32767.0f, -1.0f, 1.0f);
}

ControllerReading readPad(SDL_GameController* pad) {
    ControllerReading reading;
    reading.leftX = axisOf(pad, SDL_CONTROLLER_AXIS_LEFTX);
    reading.leftY = axisOf(pad, SDL_CONTROLLER_AXIS_LEFTY);
    reading.rightX = axisOf(pad, SDL_CONTROLLER_AXIS_RIGHTX);
    reading.rightY = axisOf(pad, SDL_CONTROLLER_AXIS_RIGHTY);
    reading.leftTrigger = axisOf(pad, SDL_CONTROLLER_AXIS_TRIGGERLEFT);
    reading.rightTrigger = axisOf(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT);
    for (const ButtonTie& tie : buttonTies)
        if (SDL_GameControllerGetButton(pad, tie.button)) reading.buttons |= tie.bit;
    return reading;
}

// SDL announces every pad already plugged in when the subsystem opens, and each one
// plugged in later; a pad announced twice is opened once.
void openPad(int deviceIndex) {
    const SDL_JoystickID instance = SDL_JoystickGetDeviceInstanceID(deviceIndex);
    OpenPad* unused = nullptr;
    for (OpenPad& open : controllers.pads) {
        if (open.pad && open.instance == instance) return;
        if (!open.pad && !unused) unused = &open;
    }
    if (!unused) return;
    SDL_GameController* pad = SDL_GameControllerOpen(deviceIndex);
    if (pad) *unused = OpenPad{pad, instance, PadMemory{}};
}

void closePad(SDL_JoystickID instance) {
    for (OpenPad& open : controllers.pads) {
        if (!open.pad || open.instance != instance) continue;
        SDL_GameControllerClose(open.pad);
        open = OpenPad{};
    }
}

}  // namespace

// SDL lists the machine's input devices when the subsystem opens; where that takes a
// while, it comes after the game's first picture (or a second after the display opened,
// if the game shows only black), never before it.
void openControllersWhenShown() {
    if (controllers.subsystemOpen || controllers.gaveUp) return;
    const Uint64 now = SDL_GetTicks64();
    if (!controllers.asked) controllers.firstAskedAt = now;
    controllers.asked = true;
    if (!pictureIsUp() && now < controllers.firstAskedAt + 1000) return;
    controllers.subsystemOpen = openSdlPart(SDL_INIT_GAMECONTROLLER);
    controllers.gaveUp = !controllers.subsystemOpen;
}

// A pad announced before the subsystem is open is announced again when it opens.
bool handleControllerEvent(const SDL_Event& event) {
    switch (event.type) {
        case SDL_CONTROLLERDEVICEADDED:
            if (controllers.subsystemOpen) openPad(event.cdevice.which);
            return true;
        case SDL_CONTROLLERDEVICEREMOVED: closePad(event.cdevice.which); return true;
        case SDL_CONTROLLERBUTTONDOWN:
            if (inputActive()) controllers.pressedSinceRefresh |= padBit(event.cbutton.button);
            return true;
        case SDL_CONTROLLERBUTTONUP:
        case SDL_CONTROLLERAXISMOTION:
        case SDL_CONTROLLERDEVICEREMAPPED: return true;  // refreshControllers reads the pads as they are
        default: return false;
    }
}

void refreshControllers() {
    ControllerReading all;
    all.buttonsPressedUnread = controllers.pressedSinceRefresh;
    controllers.pressedSinceRefresh = 0;
    for (OpenPad& open : controllers.pads)
        if (open.pad) addPadReading(all, readPad(open.pad), open.memory);
    reportControllers(all);
}

void closeControllers() {
    for (OpenPad& open : controllers.pads)
        if (open.pad) SDL_GameControllerClose(open.pad);
    if (controllers.subsystemOpen) closeSdlPart(SDL_INIT_GAMECONTROLLER);
    controllers = Controllers{};
}
