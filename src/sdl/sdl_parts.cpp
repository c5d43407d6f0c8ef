// SDL's parts opened and closed one at a time, under one lock, whichever thread asks.
#include "sdl/sdl_parts.h"

#include <mutex>

namespace {
std::mutex partsLock;
}

bool openSdlPart(Uint32 part) {
    const std::lock_guard<std::mutex> hold(partsLock);
    return SDL_InitSubSystem(part) == 0;
}

void closeSdlPart(Uint32 part) {
    const std::lock_guard<std::mutex> hold(partsLock);
    SDL_QuitSubSystem(part);
}

void releaseSdlThreadStorage() { SDL_TLSCleanup(); }
