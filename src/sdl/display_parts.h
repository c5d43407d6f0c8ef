// The SDL display in five files, each keeping its own state, and what they ask of each
// other. Private to src/sdl. Everything here runs on the display refresh thread, which
// owns every SDL video call; "under the lock" means the screen lock is held.
//   display_sdl.cpp     the refresh thread, the stall watch and the display contract
//   window_sdl.cpp      the window, full screen and the switches between them
//   present_sdl.cpp     the picture: through a renderer, or scaled onto the window surface
//   input_sdl.cpp       the keyboard and the mouse
//   controller_sdl.cpp  game controllers
#pragma once

#include <SDL.h>

#include "sdl/display_layout.h"

// ---- window_sdl.cpp ---------------------------------------------------------------------

// Starts SDL's video, opens the window (full screen when asked and possible) and its
// picture, a window `windowScale` times the page (0: the largest that fits). False, with
// SDL's error set to the cause, when nothing can be shown.
bool openDisplay(bool fullScreen, int windowScale);
void closeDisplay();
SDL_Window* gameWindow();
// The form the game is shown in now: full screen (or the borderless window that waits for
// it) or a window. Under the lock.
bool windowIsFullScreen();
// Full screen and window swap places; if the new form cannot be had, the old one stays.
// Under the lock.
void toggleFullScreen();
// The same, asked for by the player (Alt+Enter, the window manager's maximise): the form
// is remembered for the next start. Under the lock.
void switchFormForPlayer();
// The switch to full screen that opening put off, once the first picture is up. Outside
// the lock: it may wait on the window manager.
void enterFullScreenWhenShown();
// A window event that is not about focus or the pointer: the window's form or its
// picture. Under the lock.
void handleWindowFormEvent(const SDL_WindowEvent& event);

// ---- present_sdl.cpp --------------------------------------------------------------------

// The renderer or the window surface the picture goes out through; false when neither works.
bool createPresenter(SDL_Window* window);
void destroyPresenter();
// "renderer" or "surface".
const char* presentingPath();
// Every row is sent again and the borders are painted (a new size, a new form, an exposed window).
void redrawPicture();
// Measures where the picture sits in the window now. The refresh thread's own: called
// under the lock (a new form, settleLayout) and outside it (the present, on a new surface
// or a redraw); the game's thread never reads this measure, only the one settleLayout keeps.
void measureLayout();
// Once a pass, under the lock: measures the layout again if a redraw is pending and keeps
// it for pictureLayout.
void settleLayout();
// The layout as settled by the last pass: what the pointer is mapped through. Under the lock.
const DisplayLayout& pictureLayout();
// Takes the rows of the visible page the game changed since the last pass; under the lock.
void takeChangedRows();
// Shows the rows taken; outside the lock.
void presentPicture();
// True once any pixel shown is not black.
bool pictureIsUp();
// The renderer lost its texture or its device: build them again before the next present.
void presenterReset();

// ---- input_sdl.cpp ----------------------------------------------------------------------

// Keyboard, mouse, focus and pointer-crossing events; false for any other event. Under the lock.
bool handleInputEvent(const SDL_Event& event);
// The key table follows the keyboard's state; under the lock.
void refreshKeys();
// Forgets where the pointer was (a new display).
void forgetPointer();
// The display moved the pointer to window point (x, y); under the lock.
void pointerMovedTo(int x, int y);
// The page pixel under the pointer for the game; under the lock. False when it cannot be
// reported (a window the pointer is not over).
bool pointerOnPage(int& x, int& y);

// ---- controller_sdl.cpp -----------------------------------------------------------------

// Opens SDL's game controllers once the first picture is up (or a second after the first
// call, if the game shows only black). Called after every pass; outside the lock.
void openControllersWhenShown();
// Pads plugged in or pulled out, and their button presses; false for any other event.
// Under the lock.
bool handleControllerEvent(const SDL_Event& event);
// The pads' reading in the input state follows the open pads; under the lock.
void refreshControllers();
// Closes every pad and the subsystem, ready for another display.
void closeControllers();
