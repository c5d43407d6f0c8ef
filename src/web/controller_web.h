// Game controllers in a browser: the Gamepad API's pads with the standard mapping, read
// once a game frame into the input state, where the same mapping as the desktop's
// (gfx/controller.h) turns them into the pointer, buttons and keys.
#pragma once

// Reads every standard-mapping pad the page sees; called just before each frame.
void readGamepads();
