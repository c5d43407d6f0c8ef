// SDL's parts (video, audio, game controllers, and the events part under each of them)
// count who opened them without a lock, and the game opens them on two threads: the
// window and the controllers on the display's thread, the sound on a thread of its own.
// Every opening and closing goes through here, one at a time.
#pragma once

#include <SDL.h>

// True when SDL opened `part` (an SDL_INIT_ flag).
bool openSdlPart(Uint32 part);
void closeSdlPart(Uint32 part);

// SDL keeps storage of its own for each thread that calls it (the thread's error message)
// and frees it by itself only for threads it started. A thread of ours that called SDL
// calls this as its last step.
void releaseSdlThreadStorage();
