// Game controllers: the reading each platform takes from its pads (SDL's game controllers
// on the desktop, standard-mapping gamepads in a browser) and the one mapping from it to
// what a mouse and a keyboard give the game: the crosshair's position, the two buttons,
// and the scroll and Escape entries of the key table. getMouse (input.cpp) applies it once
// a game frame, so the game never learns that a controller is there, and a pad feels the
// same on every platform.
#pragma once

#include <cstdint>

// Buttons by their place on the pad, as both platforms name them: south is the lower face
// button (A on an Xbox pad, the cross on a PlayStation pad), west the left one, and so on.
constexpr uint32_t padSouth = 1u << 0;
constexpr uint32_t padEast = 1u << 1;
constexpr uint32_t padWest = 1u << 2;
constexpr uint32_t padNorth = 1u << 3;
constexpr uint32_t padBack = 1u << 4;  // Back, Select, View, Share
constexpr uint32_t padGuide = 1u << 5;
constexpr uint32_t padStart = 1u << 6;  // Start, Menu, Options
constexpr uint32_t padLeftStick = 1u << 7;
constexpr uint32_t padRightStick = 1u << 8;
constexpr uint32_t padLeftShoulder = 1u << 9;
constexpr uint32_t padRightShoulder = 1u << 10;
constexpr uint32_t padUp = 1u << 11;
constexpr uint32_t padDown = 1u << 12;
constexpr uint32_t padLeft = 1u << 13;
constexpr uint32_t padRight = 1u << 14;

// The pads as the platform last read them, all of them folded into one (addPadReading).
// Sticks run from -1 to 1, right and down positive; triggers from 0 (released) to 1.
struct ControllerReading {
    float leftX = 0, leftY = 0, rightX = 0, rightY = 0;
    float leftTrigger = 0, rightTrigger = 0;
    uint32_t buttons = 0;  // held now
    // Pressed since the game last read them, even if let go since: a tap shorter than the
    // platform's reading interval still reaches the game once.
    uint32_t buttonsPressedUnread = 0;
    // Back and Start held together on one pad: the folded buttons cannot tell that from
    // Back on one pad and Start on another.
    bool backAndStartOnOnePad = false;
};

// What the fold remembers of one pad from one reading to the next; the platform keeps one
// beside each pad it has open, from the moment it opens it.
struct PadMemory {
    // A stuck Back, or a user mapping that reads it as held, is never a player asking to
    // end the game: a pad's Back counts only once that pad has been seen without it.
    bool backSeenUp = false;
};

// Folds one more pad into `all`: each stick is the one pushed furthest on any pad, each
// trigger the one pulled furthest, and a button held on any pad is held, but for a Back
// held since the pad was opened (see PadMemory).
void addPadReading(ControllerReading& all, const ControllerReading& pad, PadMemory& memory);

// The mapping's numbers. The dead zone is radial and wide enough for a worn stick that no
// longer rests at the centre; past it the speed grows with the square of the tilt, so a
// small tilt creeps a pixel at a time for fine aim, and full tilt (from 0.95 on, which
// every stick reaches, diagonals included) crosses the page's width in 35 frames, half a
// second. The triggers fire past 0.3 of their travel and let go below 0.2, so a finger
// resting on one near the threshold does not stutter. Holding Back for 70 frames (one
// second) ends the game, or Back and Start held together on one pad: never a single press.
constexpr double stickDeadZone = 0.2;
constexpr double stickFullTilt = 0.95;
constexpr int fullTiltCrossingFrames = 35;
constexpr double triggerPressAt = 0.3;
constexpr double triggerReleaseBelow = 0.2;
constexpr int quitHoldFrames = 70;

// Where the mouse is, when it can be told.
struct MouseSpot {
    bool known = false;
    int x = 0, y = 0;
};

// What the mapping carries from one frame to the next.
struct ControllerMemory {
    // The crosshair the sticks move, in page pixels with the fraction a slow stick has
    // built up; -1 until any position is known.
    double aimX = -1, aimY = -1;
    bool aiming = false;      // the sticks have the crosshair: the mouse has not moved since
    bool stickMoved = false;  // a stick moved the crosshair in the last frame
    MouseSpot mouseSeen;      // the mouse as the last frame saw it, to tell when it moves
    MouseSpot pointerPlaced;  // where the mapping put the system pointer, until the mouse is seen there
    bool fireHeld = false;    // the right trigger, past its thresholds
    bool bombHeld = false;    // the left trigger
    int backHeldFrames = 0;
};

// What the pads give the game in one frame.
struct ControllerFrame {
    bool aims = false;  // the crosshair is at (x, y), wherever the mouse is
    int x = 0, y = 0;
    // A stick has just come to rest: the system pointer is to be put at (x, y), so that the
    // mouse, when it moves, goes on from the crosshair instead of jumping back.
    bool placePointer = false;
    int buttons = 0;  // leftButton (fire), rightButton (bomb), as input.h numbers them
    bool scrollLeft = false, scrollRight = false;
    bool quit = false;
};

// One game frame of the pads on a page of pageWidth x pageHeight pixels. The last mover
// has the crosshair: a stick out of its dead zone takes it from wherever it was, and the
// mouse takes it back as soon as it moves (both in one frame: the mouse).
ControllerFrame stepController(ControllerMemory& memory, const ControllerReading& pads, const MouseSpot& mouse,
                               int pageWidth, int pageHeight);

// Focus lost or regained: triggers, buttons and a Back being held are forgotten, as every
// key and mouse button is. The crosshair stays where it is.
void releaseController(ControllerMemory& memory);
