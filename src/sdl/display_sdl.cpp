// The SDL display. One thread, the display refresh thread, owns every SDL video call: it
// opens the window, shows the visible page, refreshes the key table and handles window
// events, then waits about 10 ms or until the game shows a new page. The game's thread
// only leaves requests (pointer moves, pointer visibility) for it under the screen lock.
// The window, the picture, the input and the pads are the other parts (display_parts.h);
// this file runs the refresh thread, watches for a stalled game and is the display contract.
#include <pthread.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>

#include "gfx/display.h"
#include "gfx/input.h"
#include "gfx/screen.h"
#include "sdl/display_parts.h"
#include "sdl/display_sdl.h"
#include "sdl/display_stats.h"
#include "sdl/sdl_parts.h"

namespace {

// Requests from the game's thread; under the screen lock.
struct Requests {
    bool movePending = false;
    int moveX = 0, moveY = 0;
    long moveTicket = 0;  // counts the moves asked for
    bool cursorPending = false;
    bool cursorVisible = true;
    bool captionPending = false;
    char caption[64] = {};
};
Requests requests;

std::thread refreshThread;
std::mutex signalMutex;
std::condition_variable signal;
bool wakeRequested = false;
bool stopRequested = false;
enum class Opening { pending, opened, failed } opening = Opening::pending;
std::string failure;
long movesDone = 0;                  // under signalMutex: moves carried out, for movePointer to wait on
long movesCarriedOut = 0;            // the refresh thread's own count
std::atomic<long> wakesFromGame{0};  // pages shown (and pointer requests): the game is alive
StallWatch stallWatch;               // the refresh thread's own

// Input, pads, the window's form, or a lost texture: each part takes its own events. Closing
// the window (close box, Alt+F4, a quit request) is ignored: only Escape ends the game.
void handleEvent(const SDL_Event& event) {
    if (handleInputEvent(event) || handleControllerEvent(event)) return;
    switch (event.type) {
        case SDL_WINDOWEVENT: handleWindowFormEvent(event.window); break;
        case SDL_RENDER_TARGETS_RESET:
        case SDL_RENDER_DEVICE_RESET: presenterReset(); break;
        default: break;
    }
}

// Events first, then the game's requests, so a pointer move is not undone by an older
// motion event still in the queue.
void carryOutRequests() {
    if (requests.captionPending) {
        const std::string title = std::string("crowdfire replay ") + requests.caption;
        SDL_SetWindowTitle(gameWindow(), title.c_str());
        requests.captionPending = false;
    }
    if (requests.cursorPending) {
        SDL_ShowCursor(requests.cursorVisible ? SDL_ENABLE : SDL_DISABLE);
        requests.cursorPending = false;
    }
    if (!requests.movePending) return;
    int x = 0, y = 0;
    windowPointFromPage(pictureLayout(), requests.moveX, requests.moveY, x, y);
    SDL_WarpMouseInWindow(gameWindow(), x, y);
    movesCarriedOut = requests.moveTicket;
    pointerMovedTo(x, y);
    requests.movePending = false;
}

// A game that shows no new page for a while gets the desktop back for its player (see
// StallWatch); called under the lock, after the events.
void watchTheGame() {
    double now = double(SDL_GetTicks64()) / 1000.0;
    if (watchForStall(stallWatch, wakesFromGame.load(), now, windowIsFullScreen(), inputActive()) != StallStep::none)
        toggleFullScreen();
}

void refreshPass() {
    {
        ScreenLockScope lock;
        takeChangedRows();
        SDL_Event event;
        while (SDL_PollEvent(&event)) handleEvent(event);
        watchTheGame();
        refreshKeys();
        refreshControllers();
        settleLayout();
        carryOutRequests();
    }
    presentPicture();
}

void reportOpening(Opening result) {
    std::lock_guard<std::mutex> guard(signalMutex);
    opening = result;
    if (result == Opening::failed) failure = SDL_GetError();
    signal.notify_all();
}

// Sleeps about 10 ms, less when the game shows a new page or wants the pointer moved.
// Returns false when the display is to stop.
bool waitForWork() {
    std::unique_lock<std::mutex> guard(signalMutex);
    movesDone = movesCarriedOut;
    signal.notify_all();
    signal.wait_for(guard, std::chrono::milliseconds(10), [] { return wakeRequested || stopRequested; });
    wakeRequested = false;
    return !stopRequested;
}

void refreshUntilStopped(bool fullScreen, int windowScale) {
    displayStatsOpen();
    if (!openDisplay(fullScreen, windowScale)) {
        reportOpening(Opening::failed);
        return;
    }
    displayStatsPath(presentingPath());
    {
        ScreenLockScope lock;
        settleLayout();  // a new picture is always due for a redraw: this measures it
    }
    stallWatch = StallWatch{wakesFromGame.load(), double(SDL_GetTicks64()) / 1000.0, false};
    reportOpening(Opening::opened);
    do {
        refreshPass();
        enterFullScreenWhenShown();
        openControllersWhenShown();
    } while (waitForWork());
    closeControllers();
    displayStatsClose();
    closeDisplay();
}

void refreshLoop(bool fullScreen, int windowScale) {
    pthread_setname_np(pthread_self(), "display");
    refreshUntilStopped(fullScreen, windowScale);
    releaseSdlThreadStorage();
}

}  // namespace

namespace sdlDisplay {

bool start(bool fullScreen, int windowScale, const char*& error) {
    {
        std::lock_guard<std::mutex> guard(signalMutex);
        opening = Opening::pending;
        stopRequested = wakeRequested = false;
        movesDone = 0;
    }
    movesCarriedOut = 0;
    requests = Requests{};
    forgetPointer();
    refreshThread = std::thread(refreshLoop, fullScreen, windowScale);
    std::unique_lock<std::mutex> guard(signalMutex);
    signal.wait(guard, [] { return opening != Opening::pending; });
    if (opening == Opening::opened) return true;
    guard.unlock();
    refreshThread.join();
    error = failure.c_str();
    return false;
}

void stop() {
    if (!refreshThread.joinable()) return;
    // Xlib ends the process from the refresh thread when the X server goes away, and the
    // screen is then closed at exit on that same thread: it cannot wait for itself.
    if (refreshThread.get_id() == std::this_thread::get_id()) {
        refreshThread.detach();
        return;
    }
    {
        std::lock_guard<std::mutex> guard(signalMutex);
        stopRequested = true;
    }
    signal.notify_all();
    refreshThread.join();
}

void wake() {
    wakesFromGame.fetch_add(1);
    {
        std::lock_guard<std::mutex> guard(signalMutex);
        wakeRequested = true;
    }
    signal.notify_all();
}

bool pointer(int& x, int& y) { return pointerOnPage(x, y); }

// Waits for the refresh thread to move the pointer, so the next getMouse sees it there;
// not when the caller holds the screen lock, which the refresh thread needs first.
void movePointer(int x, int y) {
    long ticket = 0;
    {
        ScreenLockScope lock;
        requests.movePending = true;
        requests.moveX = x;
        requests.moveY = y;
        ticket = ++requests.moveTicket;
    }
    wake();
    if (screenLockHeldHere()) return;
    std::unique_lock<std::mutex> guard(signalMutex);
    signal.wait_for(guard, std::chrono::milliseconds(500), [ticket] { return movesDone >= ticket || stopRequested; });
}

void showPointer(bool visible) {
    ScreenLockScope lock;
    requests.cursorPending = true;
    requests.cursorVisible = visible;
    wake();
}

// The window's title: the refresh thread owns the window.
void caption(const char* text) {
    ScreenLockScope lock;
    requests.captionPending = true;
    std::snprintf(requests.caption, sizeof requests.caption, "%s", text);
    wake();
}

}  // namespace sdlDisplay

const DisplayBackend sdlBackend = {sdlDisplay::start,   sdlDisplay::stop,        sdlDisplay::wake,
                                   sdlDisplay::pointer, sdlDisplay::movePointer, sdlDisplay::showPointer,
                                   sdlDisplay::caption};
