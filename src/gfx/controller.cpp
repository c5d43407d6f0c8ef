// The one mapping from the pads to the pointer, buttons and keys a mouse and keyboard
// give the game (controller.h has the numbers and why).
#include "gfx/controller.h"

#include <algorithm>
#include <cmath>

#include "gfx/input.h"

namespace {

struct Velocity {
    double x = 0, y = 0;
};

// A platform's value held to -1 .. 1; anything that is not a number reads as the centre.
double axisValue(float value) {
    if (!(value == value)) return 0;
    return std::clamp(double(value), -1.0, 1.0);
}

// Pixels a frame for a stick at (x, y): nothing inside the dead zone, then the square of
// the tilt past it, up to the full-tilt speed, in the stick's own direction.
Velocity stickVelocity(float stickX, float stickY, double fullSpeed) {
    const double x = axisValue(stickX), y = axisValue(stickY);
    const double tilt = std::hypot(x, y);
    if (tilt <= stickDeadZone) return {};
    const double past = std::min(1.0, (tilt - stickDeadZone) / (stickFullTilt - stickDeadZone));
    const double speed = fullSpeed * past * past;
    return {x / tilt * speed, y / tilt * speed};
}

// Either stick aims; when both are pushed, the one pushed further.
Velocity aimVelocity(const ControllerReading& pads, double fullSpeed) {
    const Velocity left = stickVelocity(pads.leftX, pads.leftY, fullSpeed);
    const Velocity right = stickVelocity(pads.rightX, pads.rightY, fullSpeed);
    return std::hypot(right.x, right.y) > std::hypot(left.x, left.y) ? right : left;
}

bool triggerHeld(bool wasHeld, float value) {
    return value >= triggerPressAt || (wasHeld && value >= triggerReleaseBelow);
}

bool sameSpot(const MouseSpot& a, const MouseSpot& b) {
    return a.known == b.known && (!a.known || (a.x == b.x && a.y == b.y));
}

// True when the player moved the mouse since the last frame. The pointer arriving where the
// mapping itself put it is not the player's doing.
bool mouseMovedByPlayer(ControllerMemory& memory, const MouseSpot& mouse) {
    if (sameSpot(mouse, memory.mouseSeen)) return false;
    memory.mouseSeen = mouse;
    const bool arrivedWherePlaced = memory.pointerPlaced.known && sameSpot(mouse, memory.pointerPlaced);
    memory.pointerPlaced = MouseSpot{};
    return !arrivedWherePlaced;
}

// The crosshair the sticks move; it starts from wherever it was last seen, or from the
// page's centre when no position was ever known.
void moveAim(ControllerMemory& memory, Velocity velocity, int pageWidth, int pageHeight) {
    if (memory.aimX < 0 || memory.aimY < 0) {
        memory.aimX = pageWidth / 2;
        memory.aimY = pageHeight / 2;
    }
    memory.aimX = std::clamp(memory.aimX + velocity.x, 0.0, double(pageWidth - 1));
    memory.aimY = std::clamp(memory.aimY + velocity.y, 0.0, double(pageHeight - 1));
}

// Who has the crosshair this frame, and where it is.
void followPointer(ControllerMemory& memory, ControllerFrame& frame, const ControllerReading& pads,
                   const MouseSpot& mouse, int pageWidth, int pageHeight) {
    const Velocity velocity = aimVelocity(pads, double(pageWidth) / fullTiltCrossingFrames);
    const bool stickMoves = velocity.x != 0 || velocity.y != 0;
    if (mouseMovedByPlayer(memory, mouse)) memory.aiming = false;
    else if (stickMoves) memory.aiming = true;
    if (memory.aiming && stickMoves) moveAim(memory, velocity, pageWidth, pageHeight);
    if (!memory.aiming && mouse.known) {
        memory.aimX = mouse.x;
        memory.aimY = mouse.y;
    }
    frame.aims = memory.aiming;
    frame.x = int(std::floor(memory.aimX + 0.5));
    frame.y = int(std::floor(memory.aimY + 0.5));
    frame.placePointer = memory.aiming && memory.stickMoved && !stickMoves;
    if (frame.placePointer) memory.pointerPlaced = MouseSpot{true, frame.x, frame.y};
    memory.stickMoved = memory.aiming && stickMoves;
}

// Back held for a second, or Back and Start together on one pad.
bool quitAsked(ControllerMemory& memory, const ControllerReading& pads) {
    memory.backHeldFrames = (pads.buttons & padBack) ? std::min(memory.backHeldFrames + 1, quitHoldFrames) : 0;
    return memory.backHeldFrames >= quitHoldFrames || pads.backAndStartOnOnePad;
}

}  // namespace

void addPadReading(ControllerReading& all, const ControllerReading& pad, PadMemory& memory) {
    if (!(pad.buttons & padBack)) memory.backSeenUp = true;
    const uint32_t buttons = memory.backSeenUp ? pad.buttons : pad.buttons & ~padBack;
    const uint32_t pressed = memory.backSeenUp ? pad.buttonsPressedUnread : pad.buttonsPressedUnread & ~padBack;
    if (std::hypot(pad.leftX, pad.leftY) > std::hypot(all.leftX, all.leftY)) {
        all.leftX = pad.leftX;
        all.leftY = pad.leftY;
    }
    if (std::hypot(pad.rightX, pad.rightY) > std::hypot(all.rightX, all.rightY)) {
        all.rightX = pad.rightX;
        all.rightY = pad.rightY;
    }
    all.leftTrigger = std::max(all.leftTrigger, pad.leftTrigger);
    all.rightTrigger = std::max(all.rightTrigger, pad.rightTrigger);
    all.buttons |= buttons;
    all.buttonsPressedUnread |= pressed;
    all.backAndStartOnOnePad |= (buttons & (padBack | padStart)) == (padBack | padStart);
}

ControllerFrame stepController(ControllerMemory& memory, const ControllerReading& pads, const MouseSpot& mouse,
                               int pageWidth, int pageHeight) {
    ControllerFrame frame;
    followPointer(memory, frame, pads, mouse, pageWidth, pageHeight);
    memory.fireHeld = triggerHeld(memory.fireHeld, pads.rightTrigger);
    memory.bombHeld = triggerHeld(memory.bombHeld, pads.leftTrigger);
    const uint32_t pressed = pads.buttons | pads.buttonsPressedUnread;
    if (memory.fireHeld || (pressed & padSouth)) frame.buttons |= leftButton;
    if (memory.bombHeld || (pressed & (padWest | padEast))) frame.buttons |= rightButton;
    frame.scrollLeft = (pressed & (padLeft | padLeftShoulder)) != 0;
    frame.scrollRight = (pressed & (padRight | padRightShoulder)) != 0;
    frame.quit = quitAsked(memory, pads);
    return frame;
}

void releaseController(ControllerMemory& memory) {
    memory.fireHeld = false;
    memory.bombHeld = false;
    memory.backHeldFrames = 0;
    memory.stickMoved = false;
}
